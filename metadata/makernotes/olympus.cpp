// Olympus maker notes: "OLYMP" and a directory eight bytes in.
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifValueName compressionNames[] = {vn(0, "SQ"), vn(1, "HQ"), vn(2, "SHQ"), otherwise(TextUnknown)};
constexpr ExifValueName macroNames[] = {vt(0, TextNormal), vt(1, TextMacro), otherwise(TextUnknown)};

constexpr ExifTagEntry olympusTable[] = {
    typedRow(0x0200, 0, 3, "Shooting Mode"),
    typedRow(0x0201, ExifShort, 1, "Compression setting", compressionNames),
    typedRow(0x0202, ExifShort, 1, "Macro Mode", macroNames),
    typedRow(0x0204, ExifRational, 1, "Digital zoom"),
    typedRow(0x0207, ExifAscii, 5, "Firmware version"),
    typedRow(0x0208, ExifAscii, 52, "Picture info"),
    typedRow(0x0209, ExifUndefined, 32, "Camera ID"),
    typedRow(0xFFFF, ExifUndefined, 0, "Olympus Unknown"),
};

}  // namespace

void olympusMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    if (!startsWithFolded(walk.data + note, size, "OLYMP")) return;
    walkStandardMakerDirectory(walk, note + 8, olympusTable);
}

}  // namespace fotrix
