#pragma once
// A deliberately plain ZIP writer of the tests' own, independent of the
// archive layer, so that the tests can make archives with any field set to
// any value (bad CRCs, lying sizes, hostile names, ZIP64 markers).
#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

namespace ziptest {

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Raw deflate of `data` (no zlib header), as members carry it.
inline Bytes deflateRaw(const Bytes& data)
{
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&s, data.size()));
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

inline uint32_t crcOf(const Bytes& data) { return static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size()))); }

struct RawMember {
    std::string name;
    Bytes data;           // the uncompressed content
    uint16_t method = 8;  // 0 stored, 8 deflated (others are written stored)
    uint16_t flags = 0;
    // Overrides of what the headers say (the defaults are the truth).
    int64_t crc = -1;
    int64_t size = -1;
    int64_t compressedSize = -1;
    int64_t offset = -1;
    std::string localName = {};  // when not empty, the local header's name
    Bytes centralExtra = {};
    Bytes localExtra = {};
    bool descriptor = false;  // zero sizes in the local header, descriptor after the data
};

struct RawArchive {
    std::vector<RawMember> members;
    std::string comment;
    int64_t entries = -1;        // override of the end record's count
    int64_t centralOffset = -1;  // override of the end record's directory offset
    int64_t centralSize = -1;
    Bytes prefix;                // bytes before the first local header
    bool zip64Locator = false;   // a ZIP64 end-of-directory locator before the end record
};

inline void put16(Bytes& b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
inline void append(Bytes& b, const std::string& more) { b.insert(b.end(), more.begin(), more.end()); }

inline Bytes buildZip(const RawArchive& archive)
{
    Bytes out = archive.prefix, central;
    for (const RawMember& m : archive.members) {
        const Bytes packed = m.method == 8 ? deflateRaw(m.data) : m.data;
        const uint32_t crc = m.crc >= 0 ? static_cast<uint32_t>(m.crc) : crcOf(m.data);
        const uint32_t size = m.size >= 0 ? static_cast<uint32_t>(m.size) : static_cast<uint32_t>(m.data.size());
        const uint32_t csize = m.compressedSize >= 0 ? static_cast<uint32_t>(m.compressedSize)
                                                     : static_cast<uint32_t>(packed.size());
        const uint32_t offset = m.offset >= 0 ? static_cast<uint32_t>(m.offset)
                                              : static_cast<uint32_t>(out.size() - archive.prefix.size());
        const std::string& localName = m.localName.empty() ? m.name : m.localName;
        const uint16_t flags = static_cast<uint16_t>(m.flags | (m.descriptor ? 8 : 0));
        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, flags);
        put16(out, m.method);
        put32(out, 0x5A210000);  // 2025-01-01 00:00
        put32(out, m.descriptor ? 0 : crc);
        put32(out, m.descriptor ? 0 : csize);
        put32(out, m.descriptor ? 0 : size);
        put16(out, static_cast<uint32_t>(localName.size()));
        put16(out, static_cast<uint32_t>(m.localExtra.size()));
        append(out, localName);
        append(out, m.localExtra);
        append(out, packed);
        if (m.descriptor) {
            put32(out, 0x08074b50);
            put32(out, crc);
            put32(out, csize);
            put32(out, size);
        }
        put32(central, 0x02014b50);
        put16(central, 0x031E);
        put16(central, 20);
        put16(central, flags);
        put16(central, m.method);
        put32(central, 0x5A210000);
        put32(central, crc);
        put32(central, csize);
        put32(central, size);
        put16(central, static_cast<uint32_t>(m.name.size()));
        put16(central, static_cast<uint32_t>(m.centralExtra.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0100644u << 16);
        put32(central, offset);
        append(central, m.name);
        append(central, m.centralExtra);
    }
    const uint32_t centralStart = static_cast<uint32_t>(out.size());
    append(out, central);
    if (archive.zip64Locator) {
        put32(out, 0x07064b50);
        put32(out, 0);
        put32(out, centralStart);
        put32(out, 0);
        put32(out, 1);
    }
    const uint32_t count = archive.entries >= 0 ? static_cast<uint32_t>(archive.entries)
                                                : static_cast<uint32_t>(archive.members.size());
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, count);
    put16(out, count);
    put32(out, archive.centralSize >= 0 ? static_cast<uint32_t>(archive.centralSize) : static_cast<uint32_t>(central.size()));
    put32(out, archive.centralOffset >= 0 ? static_cast<uint32_t>(archive.centralOffset)
                                          : centralStart - static_cast<uint32_t>(archive.prefix.size()));
    put16(out, static_cast<uint32_t>(archive.comment.size()));
    append(out, archive.comment);
    return out;
}

// A buffer of `size` bytes that deflates well (text) or not at all (noise).
inline Bytes textBytes(size_t size)
{
    static const char* words[] = {"fotrix ", "pocket ", "album ", "picture ", "zip ", "member ", "\n"};
    Bytes out;
    for (size_t i = 0; out.size() < size; ++i) append(out, std::string(words[(i * 7 + i / 3) % 7]));
    out.resize(size);
    return out;
}
inline Bytes noiseBytes(size_t size, uint32_t seed = 1)
{
    Bytes out(size);
    for (auto& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return out;
}

}  // namespace ziptest
