#pragma once
// TIFF files for the reader's tests: a writer of small files entry by entry,
// and libtiff's own decode of a file through tiff2rgba.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "reader_helpers.h"
#include "tests/support/test_support.h"

namespace tifftest {

inline std::string shellQuote(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// libtiff's own RGBA decode of a file.
inline bool tiff2rgba(const std::filesystem::path& path, testsupport::Pixels& out)
{
    testsupport::TempDir dir;
    const auto rgba = dir / "rgba.tif";
    if (testsupport::run("tiff2rgba -c none " + shellQuote(path) + " " + shellQuote(rgba) + " 2>/dev/null") != 0) return false;
    return testsupport::decodeWithMagick(rgba, out);
}

// A little-endian TIFF built entry by entry: tags with inline or trailing values.
struct TiffBuilder {
    struct Entry {
        uint16_t tag, type;
        uint32_t count;
        std::vector<uint8_t> data;
    };
    std::vector<Entry> entries;
    std::vector<uint8_t> pixels;  // placed right after the header; tag 273 points at it
    bool stripTag = true;         // tiled files built here may leave StripOffsets out

    void put(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> data)
    {
        entries.push_back({tag, type, count, std::move(data)});
    }
    void shortTag(uint16_t tag, uint16_t v) { put(tag, 3, 1, {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); }
    void longTag(uint16_t tag, uint32_t v)
    {
        put(tag, 4, 1, {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)});
    }
    // A LONG array; a single value stays inline.
    void longArray(uint16_t tag, const std::vector<uint32_t>& values)
    {
        std::vector<uint8_t> b;
        for (uint32_t v : values)
            for (int i = 0; i < 4; i++) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        put(tag, 4, static_cast<uint32_t>(values.size()), b);
    }
    void rational(uint16_t tag, uint32_t n, uint32_t d)
    {
        std::vector<uint8_t> b;
        for (uint32_t v : {n, d})
            for (int i = 0; i < 4; i++) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        put(tag, 5, 1, b);
    }
    void text(uint16_t tag, const std::string& s)
    {
        std::vector<uint8_t> b(s.begin(), s.end());
        b.push_back(0);
        put(tag, 2, static_cast<uint32_t>(b.size()), b);
    }
    // A bilevel-or-grey strip picture: width, height, bits, photometric, compression and the strip.
    static TiffBuilder picture(uint32_t w, uint32_t h, uint16_t bits, uint16_t photometric, uint16_t compression,
                               std::vector<uint8_t> strip)
    {
        TiffBuilder b;
        b.longTag(256, w);
        b.longTag(257, h);
        b.shortTag(258, bits);
        b.shortTag(259, compression);
        b.shortTag(262, photometric);
        b.longTag(279, static_cast<uint32_t>(strip.size()));
        b.pixels = std::move(strip);
        return b;
    }
    // `nextIfd` (when set) is written as the next-directory offset.
    std::vector<uint8_t> bytes(uint32_t nextIfd = 0) const
    {
        std::vector<uint8_t> f = {'I', 'I', 42, 0, 0, 0, 0, 0};
        f.insert(f.end(), pixels.begin(), pixels.end());
        if (f.size() & 1) f.push_back(0);
        std::vector<Entry> all = entries;
        if (stripTag) all.push_back({273, 4, 1, {8, 0, 0, 0}});
        std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
        const uint32_t ifd = static_cast<uint32_t>(f.size());
        for (int i = 0; i < 4; i++) f[4 + i] = static_cast<uint8_t>(ifd >> (8 * i));
        uint32_t dataPos = ifd + 2 + 12 * static_cast<uint32_t>(all.size()) + 4;
        std::vector<uint8_t> data;
        auto le16 = [&](uint16_t v) { f.push_back(static_cast<uint8_t>(v)); f.push_back(static_cast<uint8_t>(v >> 8)); };
        auto le32 = [&](uint32_t v) { le16(static_cast<uint16_t>(v)); le16(static_cast<uint16_t>(v >> 16)); };
        le16(static_cast<uint16_t>(all.size()));
        for (const Entry& e : all) {
            le16(e.tag);
            le16(e.type);
            le32(e.count);
            if (e.data.size() <= 4) {
                std::vector<uint8_t> v = e.data;
                v.resize(4, 0);
                f.insert(f.end(), v.begin(), v.end());
            } else {
                le32(dataPos + static_cast<uint32_t>(data.size()));
                data.insert(data.end(), e.data.begin(), e.data.end());
                if (data.size() & 1) data.push_back(0);
            }
        }
        le32(nextIfd);
        f.insert(f.end(), data.begin(), data.end());
        return f;
    }
};

inline readertest::Load loadBytes(const std::vector<uint8_t>& bytes, const std::function<void(fotrix::LoadParams&)>& adjust = {})
{
    testsupport::TempDir dir;
    const auto path = dir / "t.tif";
    testsupport::writeFile(path, bytes);
    return readertest::loadRgba(path, adjust);
}

}  // namespace tifftest
