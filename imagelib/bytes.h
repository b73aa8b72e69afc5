#pragma once
// ByteReader: bounded reads from a block of memory (a file section, a metadata
// block). Reads past the end return 0 and set `failed`, so a parser checks
// once after a group of reads instead of after each.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace fotrix {

struct ByteReader {
    std::span<const uint8_t> data;
    size_t pos = 0;
    bool bigEndian = false;
    bool failed = false;

    ByteReader() = default;
    ByteReader(std::span<const uint8_t> bytes, bool bigEndianOrder = false)
        : data(bytes), bigEndian(bigEndianOrder)
    {
    }

    size_t size() const { return data.size(); }
    size_t remaining() const { return pos <= data.size() ? data.size() - pos : 0; }
    bool has(size_t count) const { return count <= remaining(); }

    bool seek(size_t offset)
    {
        if (offset > data.size()) return fail();
        pos = offset;
        return true;
    }
    bool skip(size_t count)
    {
        if (!has(count)) return fail();
        pos += count;
        return true;
    }
    bool read(void* out, size_t count)
    {
        if (!has(count)) {
            std::memset(out, 0, count);
            return fail();
        }
        std::memcpy(out, data.data() + pos, count);
        pos += count;
        return true;
    }
    // A view of the next `count` bytes (empty and failed when they are not there).
    std::span<const uint8_t> take(size_t count)
    {
        if (!has(count)) {
            fail();
            return {};
        }
        auto view = data.subspan(pos, count);
        pos += count;
        return view;
    }

    uint8_t u8()
    {
        uint8_t v = 0;
        read(&v, 1);
        return v;
    }
    uint16_t u16() { return bigEndian ? u16be() : u16le(); }
    uint32_t u32() { return bigEndian ? u32be() : u32le(); }
    uint16_t u16le()
    {
        uint8_t b[2];
        read(b, 2);
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    uint16_t u16be()
    {
        uint8_t b[2];
        read(b, 2);
        return static_cast<uint16_t>(b[0] << 8 | b[1]);
    }
    uint32_t u32le()
    {
        uint8_t b[4];
        read(b, 4);
        return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
               static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    }
    uint32_t u32be()
    {
        uint8_t b[4];
        read(b, 4);
        return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
               static_cast<uint32_t>(b[2]) << 8 | static_cast<uint32_t>(b[3]);
    }

private:
    bool fail()
    {
        failed = true;
        return false;
    }
};

// Overflow-checked size arithmetic for allocations sized by file fields.
inline bool checkedMultiply(size_t a, size_t b, size_t& out)
{
    return !__builtin_mul_overflow(a, b, &out);
}
inline bool checkedMultiply(size_t a, size_t b, size_t c, size_t& out)
{
    size_t ab;
    return checkedMultiply(a, b, ab) && checkedMultiply(ab, c, out);
}

}  // namespace fotrix
