#include "imagelib/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace fotrix {

namespace {

constexpr size_t FirstBlockBytes = 32u << 10;

// Reads up to `size` bytes at `offset`, resuming interrupted and short
// reads; fewer only at the end of the file or on an error.
size_t readAt(int fd, uint8_t* out, size_t size, uint64_t offset)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

// Fills the block from the current position; false when nothing is left.
bool refill(Stream& stream)
{
    if (!stream.block) {
        // No larger than the file: a small file costs only its size.
        stream.blockCapacity = static_cast<size_t>(std::min<uint64_t>(StreamBlockBytes, stream.size));
        stream.block.reset(new (std::nothrow) uint8_t[std::max<size_t>(stream.blockCapacity, 1)]);
        if (!stream.block) return false;
        stream.blockSize = std::min(FirstBlockBytes, stream.blockCapacity);
    }
    // A reader that reads on past a whole block reads on: the next block is larger.
    const bool sequential = stream.blockFill > 0 && stream.position == stream.blockStart + stream.blockFill;
    if (sequential) stream.blockSize = std::min(stream.blockSize * 2, stream.blockCapacity);
    const uint64_t left = stream.position < stream.size ? stream.size - stream.position : 0;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(left, stream.blockSize));
    stream.blockStart = stream.position;
    stream.blockFill = want ? readAt(stream.fd, stream.block.get(), want, stream.position) : 0;
    return stream.blockFill > 0;
}

}  // namespace

Stream::~Stream() { streamClose(*this); }

int streamOpen(Stream& stream, const std::string& name)
{
    streamClose(stream);
    // Not blocking, so that naming a pipe cannot hang the open.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return 3;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        ::close(fd);
        return 3;
    }
    stream.fd = fd;
    stream.size = static_cast<uint64_t>(status.st_size);
    stream.name = name;
    return 0;
}

void streamClose(Stream& stream)
{
    if (stream.fd >= 0) ::close(stream.fd);
    stream.fd = -1;
    stream.size = 0;
    stream.failed = false;
    stream.position = 0;
    stream.blockStart = 0;
    stream.blockFill = 0;
    stream.blockCapacity = 0;
    stream.block.reset();
}

void streamRewind(Stream& stream)
{
    stream.position = 0;
    stream.failed = false;
}

bool streamFailed(const Stream& stream) { return stream.failed; }

uint64_t streamTell(const Stream& stream) { return stream.position; }

uint64_t streamRemaining(const Stream& stream)
{
    return stream.position < stream.size ? stream.size - stream.position : 0;
}

bool streamSeek(Stream& stream, uint64_t offset)
{
    if (stream.fd < 0 || offset > stream.size) {
        stream.failed = true;
        return false;
    }
    stream.position = offset;
    return true;
}

bool streamSkip(Stream& stream, int64_t distance)
{
    const int64_t target = static_cast<int64_t>(stream.position) + distance;
    if (target < 0) {
        stream.failed = true;
        return false;
    }
    return streamSeek(stream, static_cast<uint64_t>(target));
}

size_t streamRead(Stream& stream, void* buffer, size_t size)
{
    if (stream.fd < 0) {
        stream.failed = true;
        return 0;
    }
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < size) {
        if (stream.position >= stream.blockStart && stream.position < stream.blockStart + stream.blockFill) {
            const size_t at = static_cast<size_t>(stream.position - stream.blockStart);
            const size_t chunk = std::min(size - done, stream.blockFill - at);
            std::memcpy(out + done, stream.block.get() + at, chunk);
            done += chunk;
            stream.position += chunk;
            continue;
        }
        if (size - done >= StreamBlockBytes) {
            const size_t got = readAt(stream.fd, out + done, size - done, stream.position);
            done += got;
            stream.position += got;
            break;
        }
        if (!refill(stream)) break;
    }
    if (done < size) stream.failed = true;
    return done;
}
bool streamReadExact(Stream& stream, void* buffer, size_t size)
{
    return streamRead(stream, buffer, size) == size;
}

uint8_t streamU8(Stream& stream)
{
    uint8_t b = 0;
    if (!streamReadExact(stream, &b, 1)) return 0;
    return b;
}

uint16_t streamU16le(Stream& stream)
{
    uint8_t b[2] = {};
    if (!streamReadExact(stream, b, 2)) return 0;
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint16_t streamU16be(Stream& stream)
{
    uint8_t b[2] = {};
    if (!streamReadExact(stream, b, 2)) return 0;
    return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

uint32_t streamU32le(Stream& stream)
{
    uint8_t b[4] = {};
    if (!streamReadExact(stream, b, 4)) return 0;
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

uint32_t streamU32be(Stream& stream)
{
    uint8_t b[4] = {};
    if (!streamReadExact(stream, b, 4)) return 0;
    return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 | static_cast<uint32_t>(b[2]) << 8 |
           static_cast<uint32_t>(b[3]);
}

}  // namespace fotrix
