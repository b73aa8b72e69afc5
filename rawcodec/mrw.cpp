// Minolta MRW files: a list of blocks. PRD describes the picture; TTW holds a
// TIFF structure whose EXIF maker note points to the JPEG preview.
#include <cstring>

#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

constexpr int MaxBlocks = 64;

void readPictureBlock(Stream& file, uint64_t data, uint32_t length, RawScan& scan)
{
    // Version (8 bytes), sensor height and width, picture height and width.
    uint8_t prd[16];
    if (length < sizeof prd || !readAt(file, data, prd, sizeof prd)) return;
    ByteReader fields(prd, true);
    offerSize(scan, fields.u16At(14), fields.u16At(12));
}

}  // namespace

bool mrwScan(Stream& file, RawScan& scan)
{
    uint8_t header[8];
    if (!readAt(file, 0, header, 8) || std::memcmp(header, "\0MRM", 4) != 0) return false;
    scan.kind = "Minolta MRW";
    const uint64_t end = std::min<uint64_t>(8ull + ByteReader(header, true).u32At(4), file.size);
    uint64_t pos = 8;
    for (int i = 0; i < MaxBlocks && pos + 8 <= end; ++i) {
        uint8_t block[8];
        if (!readAt(file, pos, block, 8)) break;
        const uint32_t length = ByteReader(block, true).u32At(4);
        const uint64_t data = pos + 8;
        if (length > end - data) break;
        if (std::memcmp(block, "\0PRD", 4) == 0) readPictureBlock(file, data, length, scan);
        else if (std::memcmp(block, "\0TTW", 4) == 0) {
            RawScan tiff;
            tiffScan(file, {data, data + length}, TiffFlavour::Minolta, tiff);
            scan.candidates = std::move(tiff.candidates);
            scan.exifOrientation = tiff.exifOrientation;
            if (scan.width == 0) offerSize(scan, tiff.width, tiff.height);
        }
        pos = data + length;
    }
    return true;
}

}  // namespace fotrix::raw
