// Sigma X3F files: a header with the picture size and rotation, and a
// directory at the end of the file listing the sections; picture sections
// whose format is 18 hold a JPEG rendering.
#include <cstring>

#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

constexpr uint32_t MaxSections = 256;
constexpr uint32_t JpegFormat = 18;
constexpr uint32_t PictureHeaderBytes = 28;

int orientationOfRotation(uint32_t degrees)
{
    switch (degrees) {
    case 90: return 6;
    case 180: return 3;
    case 270: return 8;
    default: return 1;
    }
}

// A picture section: "SECi", version, type, format, columns, rows, row size, data.
void readPictureSection(Stream& file, uint64_t offset, uint32_t length, RawScan& scan)
{
    uint8_t head[PictureHeaderBytes];
    if (length <= PictureHeaderBytes || !readAt(file, offset, head, sizeof head)) return;
    if (std::memcmp(head, "SECi", 4) != 0 || ByteReader(head, false).u32At(12) != JpegFormat) return;
    addCandidate(scan, file, offset + PictureHeaderBytes, length - PictureHeaderBytes);
}

}  // namespace

bool x3fScan(Stream& file, RawScan& scan)
{
    uint8_t header[40];
    if (!readAt(file, 0, header, sizeof header) || std::memcmp(header, "FOVb", 4) != 0) return false;
    scan.kind = "Sigma X3F";
    ByteReader fields(header, false);
    offerSize(scan, fields.u32At(28), fields.u32At(32));
    scan.exifOrientation = orientationOfRotation(fields.u32At(36));

    uint8_t tail[4], directory[12];
    if (file.size < 16 || !readAt(file, file.size - 4, tail, 4)) return true;
    const uint64_t at = ByteReader(tail, false).u32At(0);
    if (!readAt(file, at, directory, sizeof directory) || std::memcmp(directory, "SECd", 4) != 0) return true;
    const uint32_t count = std::min(ByteReader(directory, false).u32At(8), MaxSections);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t entry[12];
        if (!readAt(file, at + 12 + 12ull * i, entry, sizeof entry)) break;
        ByteReader section(entry, false);
        const uint32_t offset = section.u32At(0), length = section.u32At(4);
        if (std::memcmp(entry + 8, "IMAG", 4) == 0 || std::memcmp(entry + 8, "IMA2", 4) == 0)
            readPictureSection(file, offset, length, scan);
    }
    return true;
}

}  // namespace fotrix::raw
