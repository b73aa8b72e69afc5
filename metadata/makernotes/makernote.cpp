// Hands a maker note to the decoder of the maker named by the Make tag.
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

using MakerDecoder = void (*)(ExifWalk&, size_t, size_t);

struct MakerEntry {
    int maker;
    MakerDecoder decode;
};

constexpr MakerEntry decoders[] = {
    {MakerCanon, canonMakerNote},     {MakerOlympus, olympusMakerNote}, {MakerFujifilm, fujifilmMakerNote},
    {MakerNikon, nikonMakerNote},     {MakerCasio, casioMakerNote},     {MakerMinolta, minoltaMakerNote},
    {MakerSigma, sigmaMakerNote},     {MakerSanyo, sanyoMakerNote},
};

// Offset base of the standard directories: the TIFF header after "Exif", 0, 0.
constexpr size_t StandardBase = 6;

}  // namespace

void walkStandardMakerDirectory(ExifWalk& walk, size_t dir, std::span<const ExifTagEntry> table,
                                MakerFormatter formatter)
{
    MakerDirectory d;
    d.dir = dir;
    d.base = StandardBase;
    d.bigEndian = walk.bigEndian;
    d.table = table;
    d.formatter = formatter;
    exifWalkMakerDirectory(walk, d);
}

void makerNoteDecode(ExifWalk& walk, size_t note, size_t noteSize)
{
    if (note > walk.size || noteSize > walk.size - note) return;
    for (const MakerEntry& entry : decoders)
        if (entry.maker == walk.maker) entry.decode(walk, note, noteSize);
}

}  // namespace fotrix
