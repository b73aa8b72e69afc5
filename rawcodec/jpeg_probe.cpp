// A quick look at a JPEG stream inside a raw file: its frame size, and the
// orientation in its EXIF segment, without starting the decoder.
#include <cstring>

#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

// Segments before the frame header that we are willing to step over.
constexpr int MaxSegments = 64;

bool isFrameMarker(uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Moves `pos` to the segment with a marker satisfying `wanted`; gives its
// marker and the length of its payload (without the two length bytes).
template <typename Wanted>
bool findSegment(Stream& file, uint64_t& pos, uint64_t end, Wanted wanted, uint8_t& marker, uint16_t& payload)
{
    for (int i = 0; i < MaxSegments; ++i) {
        uint8_t head[4];
        if (pos + 4 > end || !readAt(file, pos, head, 4) || head[0] != 0xFF) return false;
        const uint16_t length = static_cast<uint16_t>(head[2] << 8 | head[3]);
        if (length < 2) return false;
        // A start of scan before the frame header: nothing of use follows.
        if (head[1] == 0xDA || head[1] == 0xD9) return false;
        if (wanted(head[1])) {
            marker = head[1];
            payload = static_cast<uint16_t>(length - 2);
            pos += 4;
            return pos + payload <= end;
        }
        pos += 2 + static_cast<uint64_t>(length);
    }
    return false;
}

bool startsJpeg(Stream& file, uint64_t offset, uint64_t length)
{
    uint8_t soi[2];
    return length >= 4 && readAt(file, offset, soi, 2) && soi[0] == 0xFF && soi[1] == 0xD8;
}

}  // namespace

bool jpegProbe(Stream& file, uint64_t offset, uint64_t length, uint32_t& width, uint32_t& height)
{
    if (!startsJpeg(file, offset, length)) return false;
    uint64_t pos = offset + 2;
    uint8_t marker = 0;
    uint16_t payload = 0;
    if (!findSegment(file, pos, offset + length, isFrameMarker, marker, payload) || payload < 6) return false;
    uint8_t frame[6];
    if (!readAt(file, pos, frame, sizeof frame)) return false;
    // Baseline, extended and progressive Huffman frames: lossless and
    // arithmetic-coded streams are the raw data itself or not decodable.
    if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2) return false;
    const unsigned precision = frame[0], components = frame[5];
    height = static_cast<uint32_t>(frame[1] << 8 | frame[2]);
    width = static_cast<uint32_t>(frame[3] << 8 | frame[4]);
    return precision == 8 && (components == 1 || components == 3) && width > 0 && height > 0;
}

int jpegExifOrientation(Stream& file, uint64_t offset, uint64_t length)
{
    if (!startsJpeg(file, offset, length)) return 0;
    uint64_t pos = offset + 2;
    uint8_t marker = 0;
    uint16_t payload = 0;
    auto isApp1 = [](uint8_t m) { return m == 0xE1; };
    while (findSegment(file, pos, offset + length, isApp1, marker, payload)) {
        uint8_t id[6];
        if (payload > 14 && readAt(file, pos, id, 6) && std::memcmp(id, "Exif\0\0", 6) == 0) {
            RawScan exif;
            const TiffWindow window{pos + 6, pos + payload};
            if (tiffScan(file, window, TiffFlavour::Plain, exif)) return exif.exifOrientation;
            return 0;
        }
        pos += payload;
    }
    return 0;
}

}  // namespace fotrix::raw
