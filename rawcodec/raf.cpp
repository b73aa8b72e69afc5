// Fujifilm RAF files: a fixed header whose offsets point to the JPEG
// rendering and to a table of records describing the sensor picture.
#include <cstring>

#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

constexpr uint64_t JpegPointer = 84;  // offset, length of the JPEG; then of the record table
constexpr uint16_t RecordFullSize = 0x100;
constexpr uint32_t MaxRecords = 256;

// Records: a count, then (tag, size, data) with 16-bit big-endian tag and size.
void readRecords(Stream& file, uint64_t offset, uint64_t length, RawScan& scan)
{
    uint8_t countBytes[4];
    if (length < 4 || !readAt(file, offset, countBytes, 4)) return;
    const uint32_t count = std::min(ByteReader(countBytes, true).u32At(0), MaxRecords);
    uint64_t pos = offset + 4;
    const uint64_t end = offset + length;
    for (uint32_t i = 0; i < count && pos + 4 <= end; ++i) {
        uint8_t head[4];
        if (!readAt(file, pos, head, 4)) return;
        ByteReader record(head, true);
        const uint16_t tag = record.u16At(0), size = record.u16At(2);
        uint8_t value[4];
        if (tag == RecordFullSize && size >= 4 && pos + 8 <= end && readAt(file, pos + 4, value, 4))
            offerSize(scan, ByteReader(value, true).u16At(2), ByteReader(value, true).u16At(0));
        pos += 4ull + size;
    }
}

}  // namespace

bool rafScan(Stream& file, RawScan& scan)
{
    uint8_t magic[16], pointers[16];
    if (!readAt(file, 0, magic, sizeof magic) || std::memcmp(magic, "FUJIFILMCCD-RAW ", 16) != 0) return false;
    if (!readAt(file, JpegPointer, pointers, sizeof pointers)) return false;
    scan.kind = "Fujifilm RAF";
    ByteReader fields(pointers, true);
    const uint32_t jpegOffset = fields.u32At(0), jpegLength = fields.u32At(4);
    const uint32_t tableOffset = fields.u32At(8), tableLength = fields.u32At(12);
    if (tableOffset < file.size) readRecords(file, tableOffset, std::min<uint64_t>(tableLength, file.size - tableOffset), scan);
    addCandidate(scan, file, jpegOffset, jpegLength);
    scan.exifOrientation = jpegExifOrientation(file, jpegOffset, std::min<uint64_t>(jpegLength, file.size));
    return true;
}

}  // namespace fotrix::raw
