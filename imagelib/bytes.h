#pragma once
// ByteReader: bounded reads from a block of memory (a file section, a metadata
// block). Reads past the end return 0 and set `failed`, so a parser checks
// once after a group of reads instead of after each. This is the one way the
// libraries below the application decode file bytes: sequential reads in the
// block's byte order or a fixed one, reads at an offset that leave the
// position alone, peeks, and sub-ranges with the same order.
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

    // A view of the next `count` bytes without moving (empty when they are not
    // there; a peek does not fail the reader).
    std::span<const uint8_t> peek(size_t count) const
    {
        return has(count) ? data.subspan(pos, count) : std::span<const uint8_t>{};
    }
    // Whether [offset, offset + count) lies inside the block.
    bool contains(size_t offset, size_t count) const
    {
        return offset <= data.size() && count <= data.size() - offset;
    }
    // A reader over [offset, offset + count) in the same byte order; empty and
    // failed (this reader too) when the range is not inside the block.
    ByteReader sub(size_t offset, size_t count)
    {
        if (!contains(offset, count)) {
            fail();
            ByteReader empty({}, bigEndian);
            empty.failed = true;
            return empty;
        }
        return ByteReader(data.subspan(offset, count), bigEndian);
    }
    // A reader over the same bytes in another byte order, at the same position.
    ByteReader withOrder(bool bigEndianOrder) const
    {
        ByteReader other(data, bigEndianOrder);
        other.pos = pos;
        return other;
    }
    // Copies `count` bytes at `offset` without moving (zeros and failed when
    // they are not all there).
    bool readAt(size_t offset, void* out, size_t count)
    {
        if (!contains(offset, count)) {
            std::memset(out, 0, count);
            return fail();
        }
        std::memcpy(out, data.data() + offset, count);
        return true;
    }

    // Reads at an offset, leaving the position alone.
    uint8_t u8At(size_t offset)
    {
        uint8_t v = 0;
        readAt(offset, &v, 1);
        return v;
    }
    uint16_t u16At(size_t offset) { return bigEndian ? u16beAt(offset) : u16leAt(offset); }
    uint32_t u32At(size_t offset) { return bigEndian ? u32beAt(offset) : u32leAt(offset); }
    uint16_t u16leAt(size_t offset)
    {
        uint8_t b[2];
        readAt(offset, b, 2);
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    uint16_t u16beAt(size_t offset)
    {
        uint8_t b[2];
        readAt(offset, b, 2);
        return static_cast<uint16_t>(b[0] << 8 | b[1]);
    }
    uint32_t u32leAt(size_t offset)
    {
        uint8_t b[4];
        readAt(offset, b, 4);
        return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
               static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    }
    uint32_t u32beAt(size_t offset)
    {
        uint8_t b[4];
        readAt(offset, b, 4);
        return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
               static_cast<uint32_t>(b[2]) << 8 | static_cast<uint32_t>(b[3]);
    }

    uint8_t u8()
    {
        uint8_t v = 0;
        read(&v, 1);
        return v;
    }
    uint16_t u16() { return bigEndian ? u16be() : u16le(); }
    uint32_t u32() { return bigEndian ? u32be() : u32le(); }
    uint16_t u16le() { return advance(2, u16leAt(pos)); }
    uint16_t u16be() { return advance(2, u16beAt(pos)); }
    uint32_t u32le() { return advance(4, u32leAt(pos)); }
    uint32_t u32be() { return advance(4, u32beAt(pos)); }

private:
    bool fail()
    {
        failed = true;
        return false;
    }
    // Moves past a value just read at `pos` (a failed read leaves `pos` where it
    // was, as a sequential read past the end always has).
    template <typename T>
    T advance(size_t count, T value)
    {
        if (has(count)) pos += count;
        return value;
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
