#pragma once
// BufferedInput: byte-at-a-time reading for the readers of run-length, LZW and
// text formats (GIF, PCX, Targa, PNM), which would otherwise make one stdio
// call per byte. It reads the stream in blocks and never past the file's end,
// so the stream's failure flag is only set by a real read error; the end of
// the data is reported as -1 by next() and as a short count by read().
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imagelib/stream.h"

namespace fotrix {

class BufferedInput {
public:
    // Refills of a full stream block bypass the stream's own block, so the
    // bytes are copied once, in reads of 128 kB.
    explicit BufferedInput(Stream& stream, size_t capacity = StreamBlockBytes)
        : stream_(stream), buffer_(std::max<size_t>(1, std::min<uint64_t>(capacity, streamRemaining(stream))))
    {
    }

    // The next byte, or -1 at the end of the data.
    int next()
    {
        if (pos_ < end_) return buffer_[pos_++];
        if (!refill()) return -1;
        return buffer_[pos_++];
    }

    // Copies up to `size` bytes; returns how many there were. Once the buffer
    // is drained, a request of at least a block goes from the stream straight
    // into `out`, saving a copy of bulk pixel data.
    size_t read(uint8_t* out, size_t size)
    {
        size_t done = 0;
        while (done < size) {
            if (pos_ == end_ && size - done >= buffer_.size()) {
                const size_t got = readDirect(out + done, size - done);
                done += got;
                if (got == 0) break;
                continue;
            }
            if (pos_ == end_ && !refill()) break;
            const size_t chunk = std::min(size - done, end_ - pos_);
            std::memcpy(out + done, buffer_.data() + pos_, chunk);
            pos_ += chunk;
            done += chunk;
        }
        return done;
    }

    // Skips up to `size` bytes; true when all were there.
    bool skip(size_t size)
    {
        while (size > 0) {
            if (pos_ == end_ && !refill()) return false;
            const size_t chunk = std::min(size, end_ - pos_);
            pos_ += chunk;
            size -= chunk;
        }
        return true;
    }

    // Direct access to what is buffered, for the hot loops of the decoders.
    const uint8_t* data() const { return buffer_.data() + pos_; }
    size_t available() const { return end_ - pos_; }
    void consume(size_t count) { pos_ += std::min(count, end_ - pos_); }
    // Makes at least one byte available; false at the end of the data.
    bool fill() { return pos_ < end_ || refill(); }

private:
    size_t readDirect(uint8_t* out, size_t size)
    {
        if (ended_) return 0;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(streamRemaining(stream_), size));
        const size_t got = want ? streamRead(stream_, out, want) : 0;
        if (got == 0) ended_ = true;
        return got;
    }

    bool refill()
    {
        if (ended_) return false;
        const uint64_t remaining = streamRemaining(stream_);
        const size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, buffer_.size()));
        const size_t got = want ? streamRead(stream_, buffer_.data(), want) : 0;
        pos_ = 0;
        end_ = got;
        if (got == 0) ended_ = true;
        return got > 0;
    }

    Stream& stream_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool ended_ = false;
};

}  // namespace fotrix
