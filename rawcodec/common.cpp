// Helpers shared by the container parsers.
#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

bool readAt(Stream& file, uint64_t offset, void* out, size_t size)
{
    if (offset > file.size || size > file.size - offset) return false;
    file.failed = false;
    if (!streamSeek(file, offset) || !streamReadExact(file, out, size)) {
        file.failed = false;
        return false;
    }
    return true;
}

void addCandidate(RawScan& scan, const Stream& file, uint64_t offset, uint64_t length)
{
    // Anything shorter cannot hold a JPEG header, let alone a picture.
    constexpr uint64_t MinimumJpeg = 32;
    if (length < MinimumJpeg || offset >= file.size || length > file.size - offset) return;
    if (scan.candidates.size() >= MaxCandidates) return;
    for (const PreviewCandidate& c : scan.candidates)
        if (c.offset == offset && c.length == length) return;
    scan.candidates.push_back({offset, length});
}

void offerSize(RawScan& scan, uint32_t width, uint32_t height)
{
    // The load pipeline takes no side of 400000 pixels or more; a larger
    // figure is damage, not a picture size.
    constexpr uint32_t MaxSide = 399999;
    if (width == 0 || height == 0 || width > MaxSide || height > MaxSide) return;
    if (static_cast<uint64_t>(width) * height > static_cast<uint64_t>(scan.width) * scan.height) {
        scan.width = width;
        scan.height = height;
    }
}

}  // namespace fotrix::raw
