#pragma once
// Stream: the open picture file a reader reads from. Reads past the end set a
// sticky `failed` flag instead of inventing bytes; readers check
// streamFailed() after a group of reads and answer 4 (or 2 before their
// header is accepted).
//
// Every reader's bytes come through here, so this is where the file is read
// in large blocks: small reads are served from a read-ahead block that grows
// from 32 kB to 128 kB while the reader keeps reading on (a header probe of
// a large file reads little), and a read of at least a full block goes from
// the file straight into the caller's memory. Seeks only move the position;
// the block is kept while the position stays inside it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace fotrix {

// The largest read-ahead block, and the size from which reads bypass it.
constexpr size_t StreamBlockBytes = 128u << 10;

struct Stream {
    Stream() = default;
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    uint64_t size = 0;
    std::string name;
    bool failed = false;

    // The open file, the reading position and the block read ahead: the
    // file's bytes blockStart .. blockStart + blockFill - 1.
    int fd = -1;
    uint64_t position = 0;
    uint64_t blockStart = 0;
    size_t blockFill = 0;
    size_t blockSize = 0;      // the next refill's size
    size_t blockCapacity = 0;  // the block's allocation: at most StreamBlockBytes
    std::unique_ptr<uint8_t[]> block;
};

// Opens `name` for reading; 0, or 3 when it cannot be opened or is empty.
int streamOpen(Stream& stream, const std::string& name);
void streamClose(Stream& stream);

// Back to the start, with the failure flag cleared.
void streamRewind(Stream& stream);
bool streamFailed(const Stream& stream);
uint64_t streamTell(const Stream& stream);
uint64_t streamRemaining(const Stream& stream);
// Absolute seek; seeking past the end fails.
bool streamSeek(Stream& stream, uint64_t offset);
// Relative move forward (or back for negative distances).
bool streamSkip(Stream& stream, int64_t distance);

// Reads up to `size` bytes; returns how many were read (fewer at the end, and
// then the stream is marked failed).
size_t streamRead(Stream& stream, void* buffer, size_t size);
// Reads exactly `size` bytes or fails.
bool streamReadExact(Stream& stream, void* buffer, size_t size);

uint8_t streamU8(Stream& stream);
uint16_t streamU16le(Stream& stream);
uint16_t streamU16be(Stream& stream);
uint32_t streamU32le(Stream& stream);
uint32_t streamU32be(Stream& stream);

inline uint16_t byteSwap16(uint16_t v) { return static_cast<uint16_t>(v << 8 | v >> 8); }
inline uint32_t byteSwap32(uint32_t v)
{
    return v << 24 | (v & 0xFF00) << 8 | (v >> 8 & 0xFF00) | v >> 24;
}

}  // namespace fotrix
