// Bounded reads from memory or from a window of a stream.
#include "imagelib/byte_source.h"

#include <cstring>

namespace fotrix {

ByteSource ByteSource::memory(std::span<const uint8_t> bytes)
{
    ByteSource source;
    source.memory_ = bytes;
    source.size_ = bytes.size();
    return source;
}

ByteSource ByteSource::window(Stream& stream, uint64_t base, uint64_t end)
{
    ByteSource source;
    source.stream_ = &stream;
    source.base_ = base;
    source.size_ = end > base ? end - base : 0;
    return source;
}

bool ByteSource::readAt(uint64_t offset, void* out, size_t count) const
{
    if (!contains(offset, count)) return false;
    if (!stream_) {
        if (count) std::memcpy(out, memory_.data() + offset, count);
        return true;
    }
    Stream& stream = *stream_;
    const uint64_t at = base_ + offset;
    if (at > stream.size || count > stream.size - at) return false;
    stream.failed = false;
    const bool good = streamSeek(stream, at) && streamReadExact(stream, out, count);
    stream.failed = false;
    return good;
}

}  // namespace fotrix
