#include "imagelib/stream.h"

#include <sys/stat.h>

namespace fotrix {

int streamOpen(Stream& stream, const std::string& name)
{
    streamClose(stream);
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0)
        return 3;
    stream.file = std::fopen(name.c_str(), "rb");
    if (!stream.file) return 3;
    // Readers mostly read rows; a larger buffer saves system calls.
    std::setvbuf(stream.file, nullptr, _IOFBF, 1 << 16);
    stream.size = static_cast<uint64_t>(status.st_size);
    stream.name = name;
    stream.failed = false;
    return 0;
}

void streamClose(Stream& stream)
{
    if (stream.file) std::fclose(stream.file);
    stream.file = nullptr;
    stream.size = 0;
    stream.failed = false;
}

void streamRewind(Stream& stream)
{
    if (stream.file) std::fseek(stream.file, 0, SEEK_SET);
    stream.failed = false;
}

bool streamFailed(const Stream& stream) { return stream.failed; }

uint64_t streamTell(const Stream& stream)
{
    long position = stream.file ? std::ftell(stream.file) : -1;
    return position < 0 ? 0 : static_cast<uint64_t>(position);
}

uint64_t streamRemaining(const Stream& stream)
{
    const uint64_t position = streamTell(stream);
    return position < stream.size ? stream.size - position : 0;
}

bool streamSeek(Stream& stream, uint64_t offset)
{
    if (!stream.file || offset > stream.size || std::fseek(stream.file, static_cast<long>(offset), SEEK_SET) != 0) {
        stream.failed = true;
        return false;
    }
    return true;
}

bool streamSkip(Stream& stream, int64_t distance)
{
    const int64_t target = static_cast<int64_t>(streamTell(stream)) + distance;
    if (target < 0) {
        stream.failed = true;
        return false;
    }
    return streamSeek(stream, static_cast<uint64_t>(target));
}

size_t streamRead(Stream& stream, void* buffer, size_t size)
{
    if (!stream.file) {
        stream.failed = true;
        return 0;
    }
    const size_t got = std::fread(buffer, 1, size, stream.file);
    if (got < size) stream.failed = true;
    return got;
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
