// Building an IPTC dataset area and writing it into a JPEG file's APP13.
#include <algorithm>
#include <cstring>

#include "fileio/atomic_replace.h"
#include "imagelib/result.h"
#include "metadata/iptc.h"
#include "metadata/jpeg_segments.h"

namespace fotrix {

namespace {

// A record 2 value must keep its length below the extended-length flag.
constexpr size_t MaxValueBytes = 0x7FFF;
// The segment's own length field limits the area.
constexpr size_t MaxSegmentPayload = 0xFFFF - 2;
constexpr size_t SegmentOverhead = 26;  // length field and Photoshop resource header

void putDataset(std::vector<uint8_t>& out, int dataset, const std::string& text)
{
    size_t length = std::min(text.size(), MaxValueBytes);
    out.insert(out.end(), {0x1C, 0x02, static_cast<uint8_t>(dataset), static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(length)});
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}

bool isPhotoshopApp13(const uint8_t* data, const JpegSegment& segment)
{
    return segment.marker == 0xED && segment.size >= 4 + 13 && std::memcmp(data + segment.start + 4, "Photoshop 3.0", 13) == 0;
}

bool holdsIptc(const uint8_t* data, const JpegSegment& segment)
{
    return isPhotoshopApp13(data, segment) && iptcFind(data + segment.start + 4, segment.size - 4) != nullptr;
}

// Where the new segment goes. Returns false when there is no place.
// `replace` is the Photoshop APP13 to replace, or -1 for an insertion at `at`.
bool findPlace(const uint8_t* data, const std::vector<JpegSegment>& segments, size_t& at, int& replace)
{
    replace = -1;
    int app14 = -1, highestApp = -1, frame = -1;
    for (size_t i = 0; i < segments.size(); ++i) {
        uint8_t m = segments[i].marker;
        if (m == 0xDA) break;
        if (isPhotoshopApp13(data, segments[i])) {
            replace = static_cast<int>(i);
            at = segments[i].start;
            return true;
        }
        if (m == 0xEE && app14 < 0) app14 = static_cast<int>(i);
        if (m >= 0xE0 && m <= 0xEC && (highestApp < 0 || m >= segments[size_t(highestApp)].marker))
            highestApp = static_cast<int>(i);
        // Any frame header will do; the segment must come before it.
        bool isFrame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (isFrame && frame < 0) frame = static_cast<int>(i);
    }
    if (app14 >= 0) at = segments[size_t(app14)].start;
    else if (highestApp >= 0) at = segments[size_t(highestApp)].start + segments[size_t(highestApp)].size;
    else if (frame >= 0) at = segments[size_t(frame)].start;
    else return false;
    return true;
}

std::vector<uint8_t> makeSegment(const std::vector<uint8_t>& area)
{
    std::vector<uint8_t> segment;
    size_t length = area.size() + SegmentOverhead;
    segment.reserve(length + 2);
    segment.insert(segment.end(), {0xFF, 0xED, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
    static const char header[] = "Photoshop 3.0\0" "8BIM\x04\x04\0\0\0\0";
    segment.insert(segment.end(), header, header + sizeof header - 1);
    segment.insert(segment.end(), area.begin(), area.end());
    return segment;
}


}  // namespace

bool iptcBuild(const IptcRecord& record, std::vector<uint8_t>& area)
{
    std::vector<uint8_t> datasets;
    for (int dataset = 255; dataset >= 0; --dataset) {
        if (const std::vector<std::string>* list = iptcList(record, dataset)) {
            for (const std::string& item : *list)
                if (!item.empty()) putDataset(datasets, dataset, item);
        } else if (!record.slots[dataset].empty()) {
            putDataset(datasets, dataset, record.slots[dataset]);
        }
    }
    if (datasets.size() > 0xFFFF) return false;
    area.clear();
    area.push_back(static_cast<uint8_t>(datasets.size() >> 8));
    area.push_back(static_cast<uint8_t>(datasets.size()));
    area.insert(area.end(), datasets.begin(), datasets.end());
    return true;
}

int iptcWriteJpeg(const char* path, const IptcRecord& record)
{
    std::vector<uint8_t> area;
    if (!iptcBuild(record, area)) return 6;
    if (area.size() <= 2) return 1;  // nothing to write
    if (area.size() % 2) area.push_back(0);
    if (area.size() + SegmentOverhead - 2 > MaxSegmentPayload) return 6;

    std::vector<uint8_t> file;
    if (readWholeFile(path, file) != 0) return 3;
    std::vector<JpegSegment> segments;
    if (!jpegListSegments(file.data(), file.size(), segments)) return 6;
    size_t at = 0;
    int replace = -1;
    if (!findPlace(file.data(), segments, at, replace)) return 6;
    std::vector<uint8_t> segment = makeSegment(area);

    AtomicReplace out;
    if (const ReplaceStatus opened = out.open(path); opened != ReplaceStatus::Ok)
        return opened == ReplaceStatus::ReadOnly ? ResultReadOnly : 6;
    bool ok = out.write(file.data(), at) && out.write(segment.data(), segment.size());
    // Copy the rest, leaving out the replaced segment and any later Photoshop
    // segment that still holds IPTC data, which would contradict the new one.
    size_t pos = at;
    for (size_t i = 0; ok && i < segments.size() && segments[i].marker != 0xDA; ++i) {
        const JpegSegment& s = segments[i];
        if (s.start < at) continue;
        bool drop = static_cast<int>(i) == replace || (replace >= 0 && holdsIptc(file.data(), s));
        if (!drop) continue;
        ok = out.write(file.data() + pos, s.start - pos);
        pos = s.start + s.size;
    }
    ok = ok && out.write(file.data() + pos, file.size() - pos);
    return ok && out.commit() == ReplaceStatus::Ok ? 0 : 6;  // the temporary goes with `out` otherwise
}

}  // namespace fotrix
