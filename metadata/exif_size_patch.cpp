// Patching the pixel size that the EXIF sub-directory records, after a
// transform changed the picture's size.
#include "metadata/exif_walk.h"
#include "metadata/jpeg_transform.h"

namespace fotrix {

namespace {

// Offsets here come from one 64 KiB marker segment, so they must fit 16 bits.
bool usableOffset(uint32_t offset, uint32_t length) { return offset <= 0xFFFF && offset + 2 <= length; }

// Position of the entry with `tag` in the directory at `dir`, or 0.
uint32_t findEntry(ByteReader& tiff, uint32_t length, uint32_t dir, uint32_t tag)
{
    uint32_t n = tiff.u16At(dir);
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t pos = dir + 2 + 12 * i;
        if (pos + 12 > length) return 0;
        if (tiff.u16At(pos) == tag) return pos;
    }
    return 0;
}

}  // namespace

int exifPatchPixelSize(unsigned char* tiff, unsigned length, unsigned width, unsigned height)
{
    if (!tiff || length < 12) return 0;
    bool bigEndian;
    if (tiff[0] == 'I' && tiff[1] == 'I') bigEndian = false;
    else if (tiff[0] == 'M' && tiff[1] == 'M') bigEndian = true;
    else return 0;
    ByteReader bytes({tiff, length}, bigEndian);
    if (bytes.u16At(2) != 42) return 0;
    uint32_t ifd0 = bytes.u32At(4);
    if (!usableOffset(ifd0, length)) return 0;
    uint32_t pointer = findEntry(bytes, length, ifd0, 34665);
    if (!pointer) return 0;
    uint32_t sub = bytes.u32At(pointer + 8);
    if (!usableOffset(sub, length)) return 0;
    uint32_t n = bytes.u16At(sub);
    if (n < 2) return 0;
    int patched = 0;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t pos = sub + 2 + 12 * i;
        if (pos + 12 > length) break;
        uint32_t tag = bytes.u16At(pos);
        if (tag != 40962 && tag != 40963) continue;
        writeU16(tiff + pos + 2, ExifLong, bigEndian);
        writeU32(tiff + pos + 4, 1, bigEndian);
        writeU32(tiff + pos + 8, tag == 40962 ? width : height, bigEndian);
        ++patched;
    }
    return patched;
}

}  // namespace fotrix
