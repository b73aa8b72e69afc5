// A quick look at a JPEG stream inside a raw file: its frame size, and the
// orientation in its EXIF segment, without starting the decoder.
#include <cstring>

#include "imagelib/jpeg_markers.h"
#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

bool isFrameMarker(uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// The segments of the JPEG stream at `offset` (none when it does not start
// with a start of image).
JpegMarkerWalk segmentsOf(Stream& file, uint64_t offset, uint64_t length)
{
    const ByteSource source = ByteSource::window(file, offset, offset + length);
    return JpegMarkerWalk(length >= 4 && jpegStartsImage(source) ? source : ByteSource::memory({}));
}

// The next segment with a marker satisfying `wanted` before the start of scan.
template <typename Wanted>
bool findSegment(JpegMarkerWalk& walk, Wanted wanted, JpegMarkerSegment& segment)
{
    while (walk.next(segment)) {
        // A start of scan before the frame header: nothing of use follows.
        if (segment.marker == JpegStartOfScan) return false;
        if (wanted(segment.marker)) return true;
    }
    return false;
}

}  // namespace

bool jpegProbe(Stream& file, uint64_t offset, uint64_t length, uint32_t& width, uint32_t& height)
{
    JpegMarkerWalk walk = segmentsOf(file, offset, length);
    JpegMarkerSegment segment;
    if (!findSegment(walk, isFrameMarker, segment) || segment.payloadSize() < 6) return false;
    uint8_t frame[6];
    if (!readAt(file, offset + segment.payload(), frame, sizeof frame)) return false;
    // Baseline, extended and progressive Huffman frames: lossless and
    // arithmetic-coded streams are the raw data itself or not decodable.
    if (segment.marker != 0xC0 && segment.marker != 0xC1 && segment.marker != 0xC2) return false;
    ByteReader fields(frame, true);
    const unsigned precision = fields.u8At(0), components = fields.u8At(5);
    height = fields.u16At(1);
    width = fields.u16At(3);
    return precision == 8 && (components == 1 || components == 3) && width > 0 && height > 0;
}

int jpegExifOrientation(Stream& file, uint64_t offset, uint64_t length)
{
    JpegMarkerWalk walk = segmentsOf(file, offset, length);
    JpegMarkerSegment segment;
    auto isApp1 = [](uint8_t m) { return m == 0xE1; };
    while (findSegment(walk, isApp1, segment)) {
        const uint64_t pos = offset + segment.payload(), payload = segment.payloadSize();
        uint8_t id[6];
        if (payload > 14 && readAt(file, pos, id, 6) && std::memcmp(id, "Exif\0\0", 6) == 0) {
            RawScan exif;
            const TiffWindow window{pos + 6, pos + payload};
            if (tiffScan(file, window, TiffFlavour::Plain, exif)) return exif.exifOrientation;
            return 0;
        }
    }
    return 0;
}

}  // namespace fotrix::raw
