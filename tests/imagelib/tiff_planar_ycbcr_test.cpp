// TIFF reader, YCbCr in separate planes stored in tiles: files built here
// from the planes, compared with the same planes stored in strips and with
// the same samples stored as contiguous blocks; a tiled copy made by tiffcp
// compared with tiff2rgba; damaged and missing chroma tiles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imagelib/load.h"
#include "reader_helpers.h"
#include "tests/support/test_support.h"
#include "tiff_test_files.h"

using namespace fotrix;
using testsupport::Pixels;
using tifftest::loadBytes;
using tifftest::TiffBuilder;

namespace {

// A luma plane at full size and two chroma planes subsampled h x v, with
// detail in every plane (no two neighbours alike).
struct Planes {
    uint32_t width = 0, height = 0;
    uint16_t h = 1, v = 1;
    std::vector<uint8_t> samples[3];

    uint32_t planeWidth(int p) const { return p == 0 ? width : (width + h - 1) / h; }
    uint32_t planeHeight(int p) const { return p == 0 ? height : (height + v - 1) / v; }
    uint8_t at(int p, uint32_t x, uint32_t y) const { return samples[p][static_cast<size_t>(y) * planeWidth(p) + x]; }
};

Planes makePlanes(uint32_t width, uint32_t height, uint16_t h, uint16_t v)
{
    Planes planes{width, height, h, v, {}};
    for (int p = 0; p < 3; p++)
        for (uint32_t y = 0; y < planes.planeHeight(p); y++)
            for (uint32_t x = 0; x < planes.planeWidth(p); x++)
                planes.samples[p].push_back(p == 0 ? static_cast<uint8_t>(16 + (x * 29 + y * 53) % 220)
                                                   : static_cast<uint8_t>(128 + ((x * 11 + y * 7 + p * 5) % 61) - 30));
    return planes;
}

// Literal runs only: enough to carry the data through the PackBits decoder.
std::vector<uint8_t> packBits(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < raw.size(); i += 128) {
        const size_t n = std::min<size_t>(128, raw.size() - i);
        out.push_back(static_cast<uint8_t>(n - 1));
        out.insert(out.end(), raw.begin() + i, raw.begin() + i + n);
    }
    return out;
}

void commonTags(TiffBuilder& b, const Planes& planes, uint16_t compression, uint16_t planar)
{
    b.longTag(256, planes.width);
    b.longTag(257, planes.height);
    b.shortTag(258, 8);
    b.shortTag(259, compression);
    b.shortTag(262, 6);
    b.shortTag(277, 3);
    b.shortTag(284, planar);
    b.put(530, 3, 2, {static_cast<uint8_t>(planes.h), 0, static_cast<uint8_t>(planes.v), 0});
}

struct TileOptions {
    uint32_t tileWidth = 16, tileLength = 16;
    uint16_t compression = 1;
    bool lumaOnly = false;       // the tile tables list the luma tiles alone
    bool lastTileShort = false;       // the last tile's byte count covers half of it
    bool lastTileBeyondFile = false;  // the last tile's offset lies past the end of the file
};

// The published tiled layout of separate planes: the luma tiles, then the
// Cb tiles, then the Cr tiles, each plane in rows of tiles from the top. A
// chroma tile covers the picture area of a luma tile, so it holds the tile
// size divided by the subsampling; parts beyond the plane are padding.
std::vector<uint8_t> tiledFile(const Planes& planes, const TileOptions& o)
{
    TiffBuilder b;
    b.stripTag = false;
    commonTags(b, planes, o.compression, 2);
    b.longTag(322, o.tileWidth);
    b.longTag(323, o.tileLength);
    const uint32_t across = (planes.width + o.tileWidth - 1) / o.tileWidth;
    const uint32_t down = (planes.height + o.tileLength - 1) / o.tileLength;
    std::vector<uint32_t> offsets, counts;
    for (int p = 0; p < (o.lumaOnly ? 1 : 3); p++) {
        const uint32_t tw = p == 0 ? o.tileWidth : o.tileWidth / planes.h;
        const uint32_t tl = p == 0 ? o.tileLength : o.tileLength / planes.v;
        for (uint32_t ty = 0; ty < down; ty++)
            for (uint32_t tx = 0; tx < across; tx++) {
                std::vector<uint8_t> tile;
                for (uint32_t y = ty * tl; y < (ty + 1) * tl; y++)
                    for (uint32_t x = tx * tw; x < (tx + 1) * tw; x++)
                        tile.push_back(x < planes.planeWidth(p) && y < planes.planeHeight(p) ? planes.at(p, x, y) : 0xEE);
                if (o.compression == 32773) tile = packBits(tile);
                offsets.push_back(8 + static_cast<uint32_t>(b.pixels.size()));
                counts.push_back(static_cast<uint32_t>(tile.size()));
                b.pixels.insert(b.pixels.end(), tile.begin(), tile.end());
            }
    }
    if (o.lastTileShort) counts.back() /= 2;
    if (o.lastTileBeyondFile) offsets.back() = 0x7FFFFFF0;
    b.longArray(324, offsets);
    b.longArray(325, counts);
    return b.bytes();
}

// The same planes in one strip per plane.
std::vector<uint8_t> stripFile(const Planes& planes)
{
    TiffBuilder b;
    b.stripTag = false;
    commonTags(b, planes, 1, 2);
    std::vector<uint32_t> offsets, counts;
    for (int p = 0; p < 3; p++) {
        offsets.push_back(8 + static_cast<uint32_t>(b.pixels.size()));
        counts.push_back(static_cast<uint32_t>(planes.samples[p].size()));
        b.pixels.insert(b.pixels.end(), planes.samples[p].begin(), planes.samples[p].end());
    }
    b.longArray(273, offsets);
    b.longArray(279, counts);
    return b.bytes();
}

// The same samples as contiguous blocks: h x v luma samples, then Cb and Cr.
std::vector<uint8_t> blockFile(const Planes& planes)
{
    std::vector<uint8_t> strip;
    for (uint32_t by = 0; by < planes.planeHeight(1); by++)
        for (uint32_t bx = 0; bx < planes.planeWidth(1); bx++) {
            for (uint32_t j = 0; j < planes.v; j++)
                for (uint32_t i = 0; i < planes.h; i++) {
                    const uint32_t x = std::min(bx * planes.h + i, planes.width - 1);
                    const uint32_t y = std::min(by * planes.v + j, planes.height - 1);
                    strip.push_back(planes.at(0, x, y));
                }
            strip.push_back(planes.at(1, bx, by));
            strip.push_back(planes.at(2, bx, by));
        }
    TiffBuilder b = TiffBuilder::picture(planes.width, planes.height, 8, 6, 1, strip);
    commonTags(b, planes, 1, 1);
    return b.bytes();
}

using testsupport::rgbDifference;

}  // namespace

TEST(TiffPlanarYCbCrTiles, SameAsStripsAndBlocks)
{
    // 37 x 29 in tiles of 16 x 16 (or 32 x 16): the right and bottom tiles
    // are cut, and the chroma planes end inside their last tiles.
    const std::pair<uint16_t, uint16_t> subsamplings[] = {{2, 2}, {2, 1}, {4, 2}, {4, 4}, {1, 1}};
    for (const auto& [h, v] : subsamplings) {
        SCOPED_TRACE(std::to_string(h) + "x" + std::to_string(v));
        const Planes planes = makePlanes(37, 29, h, v);
        readertest::Load blocks = loadBytes(blockFile(planes));
        ASSERT_EQ(blocks.code, 0) << blocks.info.errorText;
        readertest::Load strips = loadBytes(stripFile(planes));
        ASSERT_EQ(strips.code, 0) << strips.info.errorText;
        EXPECT_EQ(rgbDifference(strips.pixels, blocks.pixels), 0);
        for (const TileOptions& options : {TileOptions{}, TileOptions{32, 16, 32773}}) {
            SCOPED_TRACE(options.tileWidth);
            readertest::Load tiles = loadBytes(tiledFile(planes, options));
            ASSERT_EQ(tiles.code, 0) << tiles.info.errorText;
            EXPECT_STREQ(tiles.info.description, "TIFF (Tiled)");
            EXPECT_EQ(tiles.info.colourModel, 4);
            EXPECT_EQ(rgbDifference(tiles.pixels, blocks.pixels), 0);
        }
    }
}

TEST(TiffPlanarYCbCrTiles, TiledCopyByTiffcpMatchesTiff2rgba)
{
    // Full-size chroma planes, which libtiff reads, retiled by libtiff.
    testsupport::TempDir dir;
    const auto tiled = dir / "tiled.tif";
    const auto source = testsupport::testdata("libtiff-net/flower/flower-ycbcr-separate-08.tif");
    ASSERT_EQ(testsupport::run("tiffcp -t -w 16 -l 16 " + tifftest::shellQuote(source) + " " +
                               tifftest::shellQuote(tiled)), 0);
    Pixels reference;
    ASSERT_TRUE(tifftest::tiff2rgba(tiled, reference));
    readertest::Load load = readertest::loadRgba(tiled);
    ASSERT_EQ(load.code, 0) << load.info.errorText;
    EXPECT_STREQ(load.info.description, "TIFF (Tiled)");
    EXPECT_LE(rgbDifference(load.pixels, testsupport::toRgba(reference)), 1);
}

TEST(TiffPlanarYCbCrTiles, MissingAndShortChromaTiles)
{
    const Planes planes = makePlanes(37, 29, 2, 2);
    readertest::Load whole = loadBytes(tiledFile(planes, {}));
    ASSERT_EQ(whole.code, 0);
    auto tolerate = [](LoadParams& p) { p.options |= ToleratePartial; };

    // Tile tables that list the luma tiles alone: 4; with ToleratePartial
    // the luma shows as grey (neutral chroma).
    TileOptions lumaOnly;
    lumaOnly.lumaOnly = true;
    EXPECT_EQ(loadBytes(tiledFile(planes, lumaOnly)).code, 4);
    readertest::Load grey = loadBytes(tiledFile(planes, lumaOnly), tolerate);
    ASSERT_EQ(grey.code, 0) << grey.info.errorText;
    for (uint32_t y = 0; y < planes.height; y += 7)
        for (uint32_t x = 0; x < planes.width; x += 5) {
            const uint8_t* px = &grey.pixels.data[(static_cast<size_t>(y) * planes.width + x) * 4];
            EXPECT_EQ(px[0], planes.at(0, x, y));
            EXPECT_EQ(px[1], planes.at(0, x, y));
            EXPECT_EQ(px[2], planes.at(0, x, y));
        }

    // The last Cr tile holds half its bytes, or lies beyond the end of the
    // file: 4; with ToleratePartial the picture is kept, equal to the whole
    // file outside the bottom right tile (columns from 32, rows from 16).
    for (int damage = 0; damage < 2; damage++) {
        SCOPED_TRACE(damage);
        TileOptions damaged;
        damaged.lastTileShort = damage == 0;
        damaged.lastTileBeyondFile = damage == 1;
        const std::vector<uint8_t> file = tiledFile(planes, damaged);
        EXPECT_EQ(loadBytes(file).code, 4);
        readertest::Load partial = loadBytes(file, tolerate);
        ASSERT_EQ(partial.code, 0) << partial.info.errorText;
        ASSERT_EQ(partial.pixels.data.size(), whole.pixels.data.size());
        int differing = 0;
        for (uint32_t y = 0; y < planes.height; y++)
            for (uint32_t x = 0; x < planes.width; x++) {
                const size_t i = (static_cast<size_t>(y) * planes.width + x) * 4;
                const bool same = std::memcmp(&partial.pixels.data[i], &whole.pixels.data[i], 3) == 0;
                if (x < 32 || y < 16) ASSERT_TRUE(same) << x << "," << y;
                else differing += !same;
            }
        EXPECT_GT(differing, 0);  // the damaged tile's area lost its colour
    }
}
