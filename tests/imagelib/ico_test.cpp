// Icon reader: the bitmap entries of the image-rs, Pillow and TwelveMonkeys
// icons and of icons ImageMagick writes, compared with ImageMagick (mask as
// alpha) and with the image-rs reference decodes; entries by frame; 15/16-bit
// entries and damaged files built here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "reader_helpers.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using testsupport::Pixels;
using testsupport::testdata;

namespace {

const int IcoFormat = 12;

// Colour where the reference is opaque, and alpha everywhere.
void expectSameIcon(const Pixels& ours, const Pixels& reference, bool compareAlpha)
{
    const Pixels ref = testsupport::toRgba(reference);
    ASSERT_EQ(ours.width, ref.width);
    ASSERT_EQ(ours.height, ref.height);
    int colour = 0, alpha = 0;
    for (size_t i = 0; i < ref.data.size(); i += 4) {
        if (compareAlpha) alpha = std::max(alpha, std::abs(ours.data[i + 3] - ref.data[i + 3]));
        if (ref.data[i + 3] == 0) continue;
        for (int c = 0; c < 3; c++) colour = std::max(colour, std::abs(ours.data[i + c] - ref.data[i + c]));
    }
    EXPECT_EQ(colour, 0);
    EXPECT_EQ(alpha, 0);
}

void put16(std::vector<uint8_t>& v, unsigned x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x)
{
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

// One bitmap entry: the 40-byte header, palette, colour rows, mask rows.
std::vector<uint8_t> iconBitmap(int width, int height, int bits, const std::vector<uint8_t>& palette,
                                const std::vector<uint8_t>& colourRows, const std::vector<uint8_t>& maskRows)
{
    std::vector<uint8_t> b;
    put32(b, 40);
    put32(b, width);
    put32(b, height * 2);
    put16(b, 1);
    put16(b, bits);
    for (int i = 0; i < 6; i++) put32(b, 0);
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), colourRows.begin(), colourRows.end());
    b.insert(b.end(), maskRows.begin(), maskRows.end());
    return b;
}

std::vector<uint8_t> iconFile(const std::vector<std::vector<uint8_t>>& entries)
{
    std::vector<uint8_t> f;
    put16(f, 0);
    put16(f, 1);
    put16(f, static_cast<unsigned>(entries.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
    for (const auto& e : entries) {
        for (int i = 0; i < 8; i++) f.push_back(0);
        put32(f, static_cast<uint32_t>(e.size()));
        put32(f, offset);
        offset += static_cast<uint32_t>(e.size());
    }
    for (const auto& e : entries) f.insert(f.end(), e.begin(), e.end());
    return f;
}

// A 2 x 1 24-bit entry whose pixels are (r, g, b) and (b, g, r); the mask makes the second transparent.
std::vector<uint8_t> tinyEntry(uint8_t r, uint8_t g, uint8_t b)
{
    return iconBitmap(2, 1, 24, {}, {b, g, r, r, g, b, 0, 0}, {0x40, 0, 0, 0});
}

}  // namespace

TEST(IcoReader, BitmapEntriesMatchImageMagick)
{
    const char* files[] = {
        "image-rs/images/ico/images/smile.ico",
        "image-rs/images/ico/images/bmp-24bpp-mask.ico",
        "image-rs/images/ico/images/bmp-32bpp-alpha.ico",
        "image-rs/images/ico/images/multiple_entries_with_different_bit_depth.ico",
        "image-rs/images/ico/images/two-entry-order-test.ico",
        "pillow/ico/hopper.ico",
        "pillow/ico/python.ico",
        "twelvemonkeys/ico/ico/JavaCup.ico",
        "twelvemonkeys/ico/ico/joypad.ico",
        "twelvemonkeys/ico/ico/favicon.ico",
        "twelvemonkeys/ico/ico/rgb24bitmask.ico",
    };
    int compared = 0;
    for (const char* file : files) {
        FileInfo info;
        ASSERT_EQ(getFileInfo(testdata(file).string(), -1, 0, info), 0) << file;
        const int count = static_cast<int>(info.imageCount);
        freeFileInfo(info);
        for (int frame = 0; frame < count; frame++) {
            SCOPED_TRACE(std::string(file) + " entry " + std::to_string(frame));
            Pixels reference;
            ASSERT_TRUE(readertest::magickFrame(testdata(file), frame, reference));
            readertest::Load load = readertest::loadRgba(testdata(file), [&](LoadParams& p) {
                p.frameIndex = frame;
                p.icoMaskAsAlpha = 1;
            });
            ASSERT_EQ(load.code, 0) << load.info.errorText;
            EXPECT_EQ(load.info.formatIndex, IcoFormat);
            expectSameIcon(load.pixels, reference, true);
            compared++;
        }
    }
    EXPECT_GE(compared, 30);
}

TEST(IcoReader, OneBitEntriesKeepTheirColours)
{
    for (const char* file : {"pillow/ico/black_and_white.ico", "pillow/ico/hopper_mask.ico"}) {
        SCOPED_TRACE(file);
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(testdata(file), 0, reference));
        readertest::Load load = readertest::loadRgba(testdata(file));
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        expectSameIcon(load.pixels, reference, false);

        LoadParams params;
        loadParamsDefaults(params);
        Bitmap bitmap;
        ASSERT_EQ(loadBitmap(testdata(file).string(), bitmap, params, nullptr), 0);
        EXPECT_TRUE(bitmap.type == Binary || bitmap.type == Indexed) << bitmap.type;
        bitmapFree(bitmap);
    }
}

// Entries stored as PNG streams go through the PNG reader, alpha included,
// in a file of Pillow's and image-rs's and in one ImageMagick writes with a
// 256-pixel entry (ImageMagick stores that size as PNG).
TEST(IcoReader, PngEntriesDecodeWithTheirAlpha)
{
    for (const char* name : {"png-32bpp-alpha.ico", "png_l8.ico", "png_rgb8.ico"}) {
        SCOPED_TRACE(name);
        const auto ico = testdata("image-rs/images/ico/images/") / name;
        Pixels reference;
        ASSERT_TRUE(testsupport::decodeWithMagick(testdata("image-rs/reference/ico/images/") / (std::string(name) + ".png"),
                                                  reference));
        const readertest::Load load = readertest::loadRgba(ico);
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_EQ(load.info.formatIndex, IcoFormat);
        expectSameIcon(load.pixels, reference, true);
    }
    testsupport::TempDir dir;
    const auto source = dir / "s.png";
    const auto ico = dir / "big.ico";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 256x256 radial-gradient:red-none -depth 8 '" + source.string() +
                               "'"), 0);
    ASSERT_EQ(testsupport::run("/usr/bin/convert '" + source.string() + "' -define icon:auto-resize=256,16 '" +
                               ico.string() + "'"), 0);
    for (int frame = 0; frame < 2; frame++) {
        SCOPED_TRACE(frame);
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(ico, frame, reference));
        const readertest::Load load = readertest::loadRgba(ico, [&](LoadParams& p) { p.frameIndex = frame; });
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_EQ(load.pixels.width, frame == 0 ? 256 : 16);
        expectSameIcon(load.pixels, reference, true);
    }
}

// One-bit entries honour the mask as alpha like the deeper ones.
TEST(IcoReader, OneBitEntriesTakeTheMaskAsAlpha)
{
    int clear = 0;  // hopper_mask's mask clears part of the picture
    for (const char* file : {"pillow/ico/black_and_white.ico", "pillow/ico/hopper_mask.ico"}) {
        SCOPED_TRACE(file);
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(testdata(file), 0, reference));
        const readertest::Load load = readertest::loadRgba(testdata(file), [](LoadParams& p) { p.icoMaskAsAlpha = 1; });
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        expectSameIcon(load.pixels, reference, true);
        for (size_t i = 3; i < load.pixels.data.size(); i += 4) clear += load.pixels.data[i] == 0;
    }
    EXPECT_GT(clear, 0);
}

// Pillow's decode of an icon's largest entry, as RGBA.
bool pillowIcon(const std::filesystem::path& path, Pixels& out)
{
    testsupport::TempDir dir;
    const auto png = dir / "p.png";
    return testsupport::run("/usr/bin/python3 -c \"from PIL import Image; Image.open('" + path.string() +
                            "').convert('RGBA').save('" + png.string() + "')\" 2>/dev/null") == 0 &&
           testsupport::decodeWithMagick(png, out);
}

// A frame the directory lacks reads the data after the directory, PNG
// stream or bitmap alike: the first entry of these one-entry icons.
TEST(IcoReader, FrameBeyondTheDirectoryReadsTheDataAfterIt)
{
    testsupport::TempDir dir;
    const auto ico = dir / "one.ico";
    ASSERT_EQ(testsupport::run("/usr/bin/python3 -c \"from PIL import Image; Image.linear_gradient('L').resize((40, 40))"
                               ".convert('LA').save('" + ico.string() + "', sizes=[(40, 40)])\""),
              0);
    for (const auto& path : {ico, testdata("pillow/ico/hopper.ico")}) {
        SCOPED_TRACE(path.string());
        Pixels reference;
        ASSERT_TRUE(pillowIcon(path, reference));
        for (uint32_t frame : {0u, 1u, 7u}) {
            const readertest::Load load = readertest::loadRgba(path, [&](LoadParams& p) { p.frameIndex = frame; });
            ASSERT_EQ(load.code, 0) << frame << " " << load.info.errorText;
            EXPECT_EQ(load.info.imageCount, 1u);
            expectSameIcon(load.pixels, reference, true);
        }
    }
}

// A V5 bitmap header (124 bytes) starts like the 40-byte one; the colours
// follow it. This file's colour profile lies where the mask should be, so
// only the colours are compared (Pillow reads the profile as mask,
// ImageMagick decodes other colours altogether).
TEST(IcoReader, LaterBitmapHeadersAreRead)
{
    const auto path = testdata("image-rs/images/ico/images/bmp_v5_with_icc.ico");
    Pixels reference;
    ASSERT_TRUE(pillowIcon(path, reference));
    const readertest::Load load = readertest::loadRgba(path);
    ASSERT_EQ(load.code, 0) << load.info.errorText;
    EXPECT_EQ(load.pixels.width, 127);
    EXPECT_EQ(load.pixels.height, 64);
    EXPECT_EQ(readertest::maxColourDifference(load.pixels, reference, false), 0);
}

TEST(IcoReader, MatchesImageRsReferences)
{
    for (const char* name : {"smile.ico", "bmp-24bpp-mask.ico", "bmp-32bpp-alpha.ico",
                             "multiple_entries_with_different_bit_depth.ico"}) {
        SCOPED_TRACE(name);
        const auto ico = testdata("image-rs/images/ico/images/") / name;
        Pixels reference;
        ASSERT_TRUE(testsupport::decodeWithMagick(testdata("image-rs/reference/ico/images/") / (std::string(name) + ".png"),
                                                  reference));
        // The reference is the largest, deepest entry.
        FileInfo info;
        ASSERT_EQ(getFileInfo(ico.string(), -1, 0, info), 0);
        int best = -1, bestScore = -1;
        for (uint32_t frame = 0; frame < info.imageCount; frame++) {
            readertest::Load load = readertest::loadRgba(ico, [&](LoadParams& q) { q.frameIndex = frame; });
            ASSERT_EQ(load.code, 0);
            const int score = load.pixels.width * 64 + load.info.bitsPerComponent * load.info.componentCount;
            if (load.pixels.width == reference.width && score > bestScore) {
                bestScore = score;
                best = static_cast<int>(frame);
            }
        }
        freeFileInfo(info);
        ASSERT_GE(best, 0);
        readertest::Load load = readertest::loadRgba(ico, [&](LoadParams& q) {
            q.frameIndex = best;
            q.icoMaskAsAlpha = 1;
        });
        ASSERT_EQ(load.code, 0);
        expectSameIcon(load.pixels, reference, true);
    }
}

TEST(IcoReader, WrittenByImageMagick)
{
    testsupport::TempDir dir;
    const auto source = dir / "s.png";
    const auto ico = dir / "w.ico";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 48x48 radial-gradient:yellow-navy -alpha set -channel A "
                               "-fx 'i<24?1:0.4' +channel '" + source.string() + "'"), 0);
    ASSERT_EQ(testsupport::run("/usr/bin/convert '" + source.string() + "' -define icon:auto-resize=48,32,16 '" +
                               ico.string() + "'"), 0);
    for (int frame = 0; frame < 3; frame++) {
        SCOPED_TRACE(frame);
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(ico, frame, reference));
        readertest::Load load = readertest::loadRgba(ico, [&](LoadParams& p) { p.frameIndex = frame; });
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        expectSameIcon(load.pixels, reference, true);
    }
}

TEST(IcoReader, FrameSelectionAndSize)
{
    testsupport::TempDir dir;
    const auto path = dir / "three.ico";
    testsupport::writeFile(path, iconFile({tinyEntry(10, 20, 30), tinyEntry(40, 50, 60), tinyEntry(70, 80, 90)}));
    readertest::Load third = readertest::loadRgba(path, [](LoadParams& p) {
        p.frameIndex = 2;
        p.icoMaskAsAlpha = 1;
    });
    ASSERT_EQ(third.code, 0) << third.info.errorText;
    EXPECT_EQ(third.info.imageCount, 3u);
    ASSERT_EQ(third.pixels.width, 2);
    ASSERT_EQ(third.pixels.height, 1);  // the header's height is 2: colour bitmap and mask
    const std::vector<uint8_t> expected = {70, 80, 90, 255, 90, 80, 70, 0};
    EXPECT_EQ(third.pixels.data, expected);

    // Without the mask option the mask is not applied.
    readertest::Load plain = readertest::loadRgba(path, [](LoadParams& p) { p.frameIndex = 2; });
    ASSERT_EQ(plain.code, 0);
    EXPECT_EQ(plain.pixels.data[7], 255);
    // A frame beyond the directory reads the data after it: the first entry.
    readertest::Load beyond = readertest::loadRgba(path, [](LoadParams& p) { p.frameIndex = 9; });
    ASSERT_EQ(beyond.code, 0);
    EXPECT_EQ(beyond.pixels.data[0], 10);
}

TEST(IcoReader, PackedAndPaletteDepths)
{
    testsupport::TempDir dir;
    const auto path = dir / "d.ico";
    // 16-bit 5-5-5: pure red, pure blue.
    testsupport::writeFile(path, iconFile({iconBitmap(2, 1, 16, {}, {0x00, 0x7C, 0x1F, 0x00}, {0, 0, 0, 0})}));
    readertest::Load packed = readertest::loadRgba(path);
    ASSERT_EQ(packed.code, 0) << packed.info.errorText;
    EXPECT_EQ(packed.pixels.data, (std::vector<uint8_t>{255, 0, 0, 255, 0, 0, 255, 255}));

    // 4-bit with a palette of two entries (coloursUsed 2) and indices 1, 0, 1.
    std::vector<uint8_t> entry = iconBitmap(3, 1, 4, {1, 2, 3, 0, 200, 150, 100, 0}, {0x10, 0x10, 0, 0}, {0, 0, 0, 0});
    entry[32] = 2;  // coloursUsed
    testsupport::writeFile(path, iconFile({entry}));
    readertest::Load indexed = readertest::loadRgba(path, [](LoadParams& p) { p.icoMaskAsAlpha = 1; });
    ASSERT_EQ(indexed.code, 0) << indexed.info.errorText;
    EXPECT_EQ(indexed.pixels.data,
              (std::vector<uint8_t>{100, 150, 200, 255, 3, 2, 1, 255, 100, 150, 200, 255}));
}

TEST(IcoReader, DamagedFiles)
{
    testsupport::TempDir dir;
    const auto path = dir / "bad.ico";
    const std::vector<uint8_t> good = iconFile({tinyEntry(1, 2, 3)});
    auto code = [&](const std::vector<uint8_t>& bytes) {
        testsupport::writeFile(path, bytes);
        return readertest::loadRgba(path, [](LoadParams& p) { p.formatIndex = IcoFormat; }).code;
    };
    std::vector<uint8_t> reserved = good;
    reserved[0] = 1;
    EXPECT_EQ(code(reserved), 2);
    std::vector<uint8_t> noImages = good;
    noImages[4] = 0;
    EXPECT_EQ(code(noImages), 2);
    EXPECT_EQ(code(std::vector<uint8_t>(good.begin(), good.begin() + 15)), 2);  // short directory
    std::vector<uint8_t> offsetBeyond = good;
    offsetBeyond[20] = 0xFF;
    EXPECT_EQ(code(offsetBeyond), 2);
    std::vector<uint8_t> planes = good;
    planes[22 + 12] = 2;
    EXPECT_EQ(code(planes), 2);
    std::vector<uint8_t> tooWide = good;
    tooWide[22 + 4] = 0x80;
    tooWide[22 + 5] = 0x3E;  // 16000
    EXPECT_EQ(code(tooWide), 2);
    EXPECT_EQ(code(std::vector<uint8_t>(good.begin(), good.end() - 9)), 4);  // cut in the colour rows

    for (const char* file : {"image-rs/bad/ico/Bad_smile-incorrect-image-length.ico",
                             "image-rs/regression/ico/oom-ff076e7064c13ec1f8e2c5bbbfb7a77a08db2361.ico",
                             "image-rs/regression/ico/crash-981fee302fe0fc543ee48292cc3d6ace7e97e633.ico",
                             "image-rs/regression/ico/oom-0d0085eb7f66ea55d9119206235cd29e089b9140.ico",
                             "image-rs/images/ico/images/truncated_mask_32bpp.ico",
                             "pillow/ico/decompression_bomb.ico", "pillow/ico/hopper_unexpected.ico"}) {
        SCOPED_TRACE(file);
        const int result = readertest::loadRgba(testdata(file), [](LoadParams& p) { p.icoMaskAsAlpha = 1; }).code;
        EXPECT_TRUE(result == 0 || result == 2 || result == 4 || result == 9) << result;
    }
}
