// Canon CRW files: a CIFF heap of records, some of which are heaps
// themselves. The JPEG pictures are records 0x2007 (the full-size rendering)
// and 0x2008 (the thumbnail); record 0x1810 gives the picture size and the
// camera's rotation.
#include <cstring>
#include <set>
#include <utility>

#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

constexpr int MaxDepth = 8;
constexpr int MaxHeaps = 128;
constexpr uint32_t MaxRecords = 1024;

constexpr uint16_t RecordJpgFromRaw = 0x2007;
constexpr uint16_t RecordThumbnail = 0x2008;
constexpr uint16_t RecordImageInfo = 0x1810;

struct CiffWalk {
    Stream& file;
    bool big = false;
    RawScan& scan;
    std::set<std::pair<uint64_t, uint64_t>> visited;  // (start, length): a sub-heap may start where its parent does
    int heaps = 0;
};

// Rotation in degrees (clockwise to view the picture upright) as an EXIF orientation.
int orientationOfRotation(int32_t degrees)
{
    switch (degrees) {
    case 90: return 6;
    case 180: return 3;
    case 270: return 8;
    default: return 1;
    }
}

void readImageInfo(CiffWalk& w, uint64_t at, uint32_t size)
{
    uint8_t info[16];
    if (size < sizeof info || !readAt(w.file, at, info, sizeof info)) return;
    ByteReader fields(info, w.big);
    offerSize(w.scan, fields.u32At(0), fields.u32At(4));
    w.scan.exifOrientation = orientationOfRotation(static_cast<int32_t>(fields.u32At(12)));
}

void walkHeap(CiffWalk& w, uint64_t start, uint64_t length, int depth);

void readRecord(CiffWalk& w, ByteReader record, uint64_t start, uint64_t length, int depth)
{
    const uint16_t tag = record.u16At(0);
    // Records kept inside the table itself hold no picture.
    if ((tag & 0xC000) != 0) return;
    const uint32_t size = record.u32At(2), offset = record.u32At(6);
    if (offset > length || size > length - offset) return;
    const uint64_t at = start + offset;
    const uint16_t dataType = tag & 0x3800, id = tag & 0x3FFF;
    if (dataType == 0x2800 || dataType == 0x3000) walkHeap(w, at, size, depth + 1);
    else if (id == RecordJpgFromRaw || id == RecordThumbnail) addCandidate(w.scan, w.file, at, size);
    else if (id == RecordImageInfo) readImageInfo(w, at, size);
}

// A heap ends with the offset of its record table; the table is a count and
// 10-byte records (tag, size, offset from the heap's start).
void walkHeap(CiffWalk& w, uint64_t start, uint64_t length, int depth)
{
    if (depth > MaxDepth || length < 6 || w.heaps >= MaxHeaps || !w.visited.insert({start, length}).second) return;
    ++w.heaps;
    uint8_t tail[4], countBytes[2];
    if (!readAt(w.file, start + length - 4, tail, 4)) return;
    const uint32_t table = ByteReader(tail, w.big).u32At(0);
    if (table > length - 6 || !readAt(w.file, start + table, countBytes, 2)) return;
    const uint32_t count = ByteReader(countBytes, w.big).u16At(0);
    if (count > MaxRecords || 10ull * count > length - table - 2) return;
    std::vector<uint8_t> records(10ull * count);
    if (!readAt(w.file, start + table + 2, records.data(), records.size())) return;
    ByteReader recordTable(records, w.big);
    for (uint32_t i = 0; i < count; ++i) readRecord(w, recordTable.sub(10 * size_t(i), 10), start, length, depth);
}

}  // namespace

bool crwScan(Stream& file, RawScan& scan)
{
    uint8_t header[14];
    if (!readAt(file, 0, header, sizeof header) || std::memcmp(header + 6, "HEAPCCDR", 8) != 0) return false;
    const bool big = header[0] == 'M' && header[1] == 'M';
    if (!big && !(header[0] == 'I' && header[1] == 'I')) return false;
    const uint32_t headerLength = ByteReader(header, big).u32At(2);
    if (headerLength < sizeof header || headerLength >= file.size) return false;
    scan.kind = "Canon CRW";
    CiffWalk w{file, big, scan, {}, 0};
    walkHeap(w, headerLength, file.size - headerLength, 0);
    return true;
}

}  // namespace fotrix::raw
