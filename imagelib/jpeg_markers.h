#pragma once
// The one walker over a JPEG stream's marker segments, from the start of
// image to the start of scan: the metadata listing of a JPEG file, the raw
// containers' look at an embedded preview. Fill bytes before a marker are
// stepped over; a standalone marker (restart, start or end of image) before
// the scan, a length that leaves the stream or too many segments end it.
#include <cstdint>

#include "imagelib/byte_source.h"

namespace fotrix {

// Segments a walk steps over before it gives up: real files hold a dozen,
// a large ICC profile split in chunks a few hundred.
constexpr int JpegMaxSegments = 1024;

constexpr uint8_t JpegStartOfImage = 0xD8;
constexpr uint8_t JpegEndOfImage = 0xD9;
constexpr uint8_t JpegStartOfScan = 0xDA;

// One marker segment: the marker, where its 0xFF stands and the length
// field's value (the payload and the two length bytes).
struct JpegMarkerSegment {
    uint8_t marker = 0;
    uint64_t start = 0;
    uint32_t length = 0;

    uint64_t payload() const { return start + 4; }
    uint32_t payloadSize() const { return length - 2; }
    uint64_t end() const { return start + 2 + length; }
};

// Whether the stream starts with a start-of-image marker.
bool jpegStartsImage(const ByteSource& source);

class JpegMarkerWalk {
public:
    explicit JpegMarkerWalk(const ByteSource& source) : source_(source) {}

    // The next segment after the start of image (or after the last one
    // given); false at the end, at damage, or after the start of scan.
    bool next(JpegMarkerSegment& segment);

private:
    ByteSource source_;
    uint64_t pos_ = 2;
    int segments_ = 0;
    bool done_ = false;
};

}  // namespace fotrix
