#pragma once
// ByteSource: bounded random access to a structure's bytes, wherever they
// are: a block in memory or a window of a stream. Offsets count from the
// structure's first byte; a read that does not lie wholly inside fails and
// leaves the stream usable. The directory and marker walkers read through it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imagelib/stream.h"

namespace fotrix {

class ByteSource {
public:
    static ByteSource memory(std::span<const uint8_t> bytes);
    // [base, end) of `stream`; the stream may turn out shorter than `end`.
    static ByteSource window(Stream& stream, uint64_t base, uint64_t end);

    uint64_t size() const { return size_; }
    bool contains(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
    // Copies `count` bytes at `offset`; false when they are not all inside.
    bool readAt(uint64_t offset, void* out, size_t count) const;

private:
    std::span<const uint8_t> memory_;
    Stream* stream_ = nullptr;
    uint64_t base_ = 0;
    uint64_t size_ = 0;
};

}  // namespace fotrix
