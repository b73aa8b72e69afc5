// The BMP, Targa, GIF, JPEG and PNG writers, checked byte by byte where the
// layout is fixed and against ImageMagick, Pillow, pngcheck, gifsicle and
// djpeg for what they decode.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "imagelib/formats.h"
#include "imagelib/save.h"
#include "tests/imagelib/writer_helpers.h"
#include "tests/support/bitmap_support.h"

namespace {

using namespace fotrix;
using testsupport::Pixels;
using testsupport::TempDir;
using writertest::expectedRgba;
using writertest::makePicture;
using writertest::save;

using Picture = testsupport::OwnedBitmap;

uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t le32(const std::vector<uint8_t>& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }
uint32_t be32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

void setComment(Bitmap& bitmap, const char* text)
{
    std::free(bitmap.comment);
    bitmap.comment = strdup(text);
}

// Every layout in every format that takes it decodes to the same pixels in
// ImageMagick and Pillow.
TEST(Writers, losslessFormatsRoundTripInImageMagickAndPillow)
{
    TempDir dir;
    struct Case {
        unsigned type;
        int colours;
    };
    const Case cases[] = {{Binary, 2}, {Grey, 256}, {Grey, 16}, {Indexed, 10}, {Indexed, 256}, {Rgb, 0},
                          {Bgr, 0}, {Rgba, 0}, {Cmyk, 0}};
    struct Variant {
        const char* format;
        void (*adjust)(SaveParams&);
        bool bmpRle = false;
    };
    const Variant variants[] = {
        {"bmp", nullptr},
        {"bmp", [](SaveParams& p) { p.rle = 1; }, true},
        {"bmp", [](SaveParams& p) { p.os2Bitmap = 1; }},
        {"tga", nullptr},
        {"tga", [](SaveParams& p) { p.rle = 1; }},
        {"png", nullptr},
        {"png", [](SaveParams& p) { p.interlace = 1; }},
        {"gif", nullptr},
        {"gif", [](SaveParams& p) { p.interlace = 1; p.gif87a = 1; }},
    };
    int checked = 0;
    for (const Case& c : cases) {
        Picture p;
        makePicture(p.bitmap, c.type, 37, 23, c.colours > 0 ? c.colours : 256, c.type * 7 + c.colours);
        if (c.type == Rgba)  // alpha only where the format keeps it
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x) bitmapRow(p.bitmap, y)[x * 4 + 3] = 255;
        if (c.type == Cmyk) continue;  // checked separately: the conversion is lossy
        // Runs of equal pixels, so that run-length packets are used too.
        for (int x = 0; x < 20; ++x) std::memcpy(bitmapRow(p.bitmap, 3) + x * (c.type & AnyTrueColour ? p.bitmap.bytesPerPixel : 1),
                                                 bitmapRow(p.bitmap, 3), c.type & AnyTrueColour ? p.bitmap.bytesPerPixel : 1);
        const Pixels expected = expectedRgba(p.bitmap);
        for (const Variant& v : variants) {
            const auto path = dir / (std::string("t.") + v.format);
            const int result = save(path, p.bitmap, v.format, v.adjust);
            if (std::string(v.format) == "gif" && (c.type & AnyTrueColour)) {
                EXPECT_EQ(result, ResultLayoutRefused);
                continue;
            }
            ASSERT_EQ(result, ResultOk) << v.format << " type " << c.type;
            Pixels magick, pillow;
            // ImageMagick reads no one-bit Targa files; Pillow does.
            if (!(c.type == Binary && std::string(v.format) == "tga")) {
                ASSERT_TRUE(writertest::decodeWithMagickRgba(path, magick)) << v.format << " type " << c.type;
                EXPECT_EQ(testsupport::maxDifference(magick, expected), 0) << v.format << " type " << c.type;
            }
            // Pillow 9.4 drops the last nibble of odd RLE4 absolute runs; ImageMagick above decodes them.
            if (v.bmpRle && c.colours > 0 && c.colours <= 16 && c.type != Binary)
                continue;
            ASSERT_TRUE(writertest::decodeWithPillow(path, pillow)) << v.format << " type " << c.type;
            EXPECT_EQ(testsupport::maxDifference(pillow, expected), 0) << v.format << " type " << c.type;
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
}

TEST(Writers, bmpHeaderOfOnePixel)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Rgb, 1, 1);
    p.bitmap.dpiX = 72;
    p.bitmap.dpiY = 300;
    ASSERT_EQ(save(dir / "one.bmp", p.bitmap, "bmp"), ResultOk);
    const auto b = testsupport::readFile(dir / "one.bmp");
    ASSERT_EQ(b.size(), 58u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(le32(b, 2), 58u);
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(le16(b, 28), 24u);
    EXPECT_EQ(le32(b, 38), 2834u);
    EXPECT_EQ(le32(b, 42), 11811u);
    const uint8_t* px = p.bitmap.pixels;
    EXPECT_EQ(b[54], px[2]);  // B, G, R and one pad byte
    EXPECT_EQ(b[56], px[0]);
    EXPECT_EQ(b[57], 0);
}

TEST(Writers, bmpPaletteDepthFollowsColourCount)
{
    TempDir dir;
    Picture grey16, grey256, os2;
    makePicture(grey16.bitmap, Grey, 9, 4, 16);
    ASSERT_EQ(save(dir / "g16.bmp", grey16.bitmap, "bmp"), ResultOk);
    auto b = testsupport::readFile(dir / "g16.bmp");
    EXPECT_EQ(le16(b, 28), 4u);
    EXPECT_EQ(le32(b, 10), 54u + 64u);
    EXPECT_EQ(b[54 + 4 * 15], 255);  // the last level of the ramp is white
    EXPECT_EQ(b[54 + 4 * 1], 17);
    makePicture(grey256.bitmap, Grey, 9, 4, 256);
    ASSERT_EQ(save(dir / "g256.bmp", grey256.bitmap, "bmp"), ResultOk);
    EXPECT_EQ(le16(testsupport::readFile(dir / "g256.bmp"), 28), 8u);
    makePicture(os2.bitmap, Indexed, 9, 4, 256);
    ASSERT_EQ(save(dir / "os2.bmp", os2.bitmap, "bmp", [](SaveParams& s) { s.os2Bitmap = 1; }), ResultOk);
    b = testsupport::readFile(dir / "os2.bmp");
    EXPECT_EQ(le32(b, 14), 12u);
    EXPECT_EQ(le32(b, 10), 794u);
    EXPECT_EQ(b.size(), 794u + 4 * 12);
}

TEST(Writers, bmpRunLengthCodes)
{
    TempDir dir;
    Picture p8, p4;
    const uint8_t row[] = {5, 5, 5, 1, 2, 3, 4, 4, 7, 9};
    bitmapAllocate(p8.bitmap, Indexed, 4, 10, 1);
    std::memcpy(p8.bitmap.pixels, row, 10);
    ASSERT_EQ(save(dir / "r8.bmp", p8.bitmap, "bmp", [](SaveParams& s) { s.rle = 1; }), ResultOk);
    auto b = testsupport::readFile(dir / "r8.bmp");
    EXPECT_EQ(le32(b, 30), 1u);
    const std::vector<uint8_t> rle8(b.begin() + le32(b, 10), b.end());
    EXPECT_EQ(rle8, (std::vector<uint8_t>{3, 5, 0, 3, 1, 2, 3, 0, 2, 4, 1, 7, 1, 9, 0, 0, 0, 1}));

    bitmapAllocate(p4.bitmap, Indexed, 4, 10, 1);
    p4.bitmap.colorCount = 16;
    std::memcpy(p4.bitmap.pixels, row, 10);
    ASSERT_EQ(save(dir / "r4.bmp", p4.bitmap, "bmp", [](SaveParams& s) { s.rle = 1; }), ResultOk);
    b = testsupport::readFile(dir / "r4.bmp");
    EXPECT_EQ(le32(b, 30), 2u);
    const std::vector<uint8_t> rle4(b.begin() + le32(b, 10), b.end());
    EXPECT_EQ(rle4, (std::vector<uint8_t>{3, 0x55, 0, 3, 0x12, 0x30, 2, 0x44, 2, 0x79, 0, 0, 0, 1}));
}

TEST(Writers, targaPacketsAndHeader)
{
    TempDir dir;
    Picture p, binary;
    bitmapAllocate(p.bitmap, Rgb, 4, 200, 1);
    setComment(p.bitmap, "hello");
    ASSERT_EQ(save(dir / "run.tga", p.bitmap, "tga", [](SaveParams& s) { s.rle = 1; }), ResultOk);
    const auto b = testsupport::readFile(dir / "run.tga");
    ASSERT_EQ(b.size(), 18u + 6 + 4 + 4);
    EXPECT_EQ(b[0], 6);   // image ID: the comment and its zero byte
    EXPECT_EQ(b[2], 10);  // run-length true colour
    EXPECT_EQ(b[16], 24);
    EXPECT_EQ(b[17], 32);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[18])), "hello");
    EXPECT_EQ(b[24], 255);
    EXPECT_EQ(b[28], 199);

    makePicture(binary.bitmap, Binary, 20, 3);
    ASSERT_EQ(save(dir / "bin.tga", binary.bitmap, "tga", [](SaveParams& s) { s.rle = 1; }), ResultOk);
    const auto c = testsupport::readFile(dir / "bin.tga");
    EXPECT_EQ(c[2], 3);
    EXPECT_EQ(c[16], 1);
    EXPECT_EQ(c.size(), 18u + 3 * 3);
}

TEST(Writers, targaRunLengthMatchesImageMagick)
{
    TempDir dir;
    for (unsigned type : {Indexed, Grey, Rgb, Rgba}) {
        Picture p;
        makePicture(p.bitmap, type, 300, 5, 4, type);  // few values: long runs and raw stretches
        if (type & AnyTrueColour)
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 300; ++x)
                    std::memset(bitmapRow(p.bitmap, y) + x * p.bitmap.bytesPerPixel, (x / 7 + y) % 3 * 100,
                                p.bitmap.bytesPerPixel);
        ASSERT_EQ(save(dir / "r.tga", p.bitmap, "tga", [](SaveParams& s) { s.rle = 1; }), ResultOk);
        Pixels decoded;
        ASSERT_TRUE(writertest::decodeWithMagickRgba(dir / "r.tga", decoded));
        EXPECT_EQ(testsupport::maxDifference(decoded, expectedRgba(p.bitmap)), 0) << type;
    }
}

TEST(Writers, gifStructure)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Indexed, 6, 2, 2);
    p.bitmap.transparentIndex = 1;
    setComment(p.bitmap, "note");
    ASSERT_EQ(save(dir / "a.gif", p.bitmap, "gif"), ResultOk);
    const auto b = testsupport::readFile(dir / "a.gif");
    EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
    EXPECT_EQ(b[10], 128);  // global table of 2 entries: b = 1
    size_t at = 13 + 6;
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + at, b.begin() + at + 8)),
              (std::vector<uint8_t>{33, 249, 4, 1, 0, 0, 1, 0}));
    at += 8;
    EXPECT_EQ(b[at], 33);
    EXPECT_EQ(b[at + 1], 254);
    EXPECT_EQ(b[at + 2], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[at + 3])), "note");
    at += 3 + 5 + 1;
    EXPECT_EQ(b[at], 44);
    EXPECT_EQ(b[at + 9], 0);
    EXPECT_EQ(b[at + 10], 2);  // minimum code size
    EXPECT_EQ(b.back(), 59);
    if (testsupport::haveTool("gifsicle")) {
        std::string info;
        EXPECT_EQ(testsupport::run("gifsicle --info '" + (dir / "a.gif").string() + "' 2>&1", &info), 0);
        EXPECT_NE(info.find("comment"), std::string::npos) << info;
        EXPECT_NE(info.find("transparent 1"), std::string::npos) << info;
    }
}

// Interlaced rows go out in the order 0, 8, 4, 2, 6, 1, 3, 5, 7, 9; a
// decoder that puts them back gives the original picture.
TEST(Writers, gifInterlaceAndLongStreams)
{
    TempDir dir;
    Picture rows, noise;
    bitmapAllocate(rows.bitmap, Grey, 4, 3, 10);
    for (int y = 0; y < 10; ++y) std::memset(bitmapRow(rows.bitmap, y), y * 20, 3);
    ASSERT_EQ(save(dir / "i.gif", rows.bitmap, "gif", [](SaveParams& s) { s.interlace = 1; }), ResultOk);
    Pixels decoded;
    ASSERT_TRUE(writertest::decodeWithMagickRgba(dir / "i.gif", decoded));
    EXPECT_EQ(testsupport::maxDifference(decoded, expectedRgba(rows.bitmap)), 0);
    std::string info;
    ASSERT_EQ(testsupport::run("gifsicle --info '" + (dir / "i.gif").string() + "' 2>&1", &info), 0);
    EXPECT_NE(info.find("interlaced"), std::string::npos) << info;

    // Enough noise to fill the 4096-code table many times over.
    for (int colours : {2, 3, 16, 256}) {
        makePicture(noise.bitmap, Indexed, 301, 257, colours, colours);
        ASSERT_EQ(save(dir / "n.gif", noise.bitmap, "gif"), ResultOk);
        ASSERT_TRUE(writertest::decodeWithMagickRgba(dir / "n.gif", decoded));
        EXPECT_EQ(testsupport::maxDifference(decoded, expectedRgba(noise.bitmap)), 0) << colours;
        EXPECT_EQ(testsupport::run("gifsicle --info '" + (dir / "n.gif").string() + "' >/dev/null 2>&1"), 0);
        bitmapFree(noise.bitmap);
    }
}

// Marker segments of a JPEG file in order: (marker, payload).
std::vector<std::pair<int, std::vector<uint8_t>>> jpegMarkers(const std::vector<uint8_t>& b)
{
    std::vector<std::pair<int, std::vector<uint8_t>>> markers;
    size_t at = 2;
    while (at + 4 <= b.size() && b[at] == 0xFF && b[at + 1] != 0xDA) {
        const size_t length = b[at + 2] << 8 | b[at + 3];
        if (at + 2 + length > b.size()) break;
        markers.push_back({b[at + 1], std::vector<uint8_t>(b.begin() + at + 4, b.begin() + at + 2 + length)});
        at += 2 + length;
    }
    return markers;
}

TEST(Writers, jpegComponentsAndLossyError)
{
    TempDir dir;
    Picture rgb, grey, binary;
    makePicture(rgb.bitmap, Bgr, 64, 48);
    // Smooth content, so that the lossy error stays small.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* px = bitmapRow(rgb.bitmap, y) + 3 * x;
            px[0] = static_cast<uint8_t>(x * 4), px[1] = static_cast<uint8_t>(y * 5), px[2] = 128;
        }
    ASSERT_EQ(save(dir / "c.jpg", rgb.bitmap, "jpeg", [](SaveParams& s) { s.quality = 95; }), ResultOk);
    Pixels decoded;
    ASSERT_TRUE(writertest::decodeWithMagickRgba(dir / "c.jpg", decoded));
    EXPECT_LE(testsupport::maxDifference(decoded, expectedRgba(rgb.bitmap)), 8);
    ASSERT_TRUE(writertest::decodeWithPillow(dir / "c.jpg", decoded));
    EXPECT_LE(testsupport::maxDifference(decoded, expectedRgba(rgb.bitmap)), 8);

    makePicture(grey.bitmap, Grey, 16, 16, 256);
    ASSERT_EQ(save(dir / "g.jpg", grey.bitmap, "jpeg"), ResultOk);
    std::string out;
    ASSERT_EQ(testsupport::run("/usr/bin/identify -format '%[channels]' '" + (dir / "g.jpg").string() + "'", &out), 0);
    EXPECT_NE(out.find("gray"), std::string::npos) << out;

    bitmapAllocate(binary.bitmap, Binary, 4, 16, 16);
    for (int y = 0; y < 16; ++y) std::memset(bitmapRow(binary.bitmap, y), y < 8 ? 0xFF : 0x00, 2);
    ASSERT_EQ(save(dir / "b.jpg", binary.bitmap, "jpeg"), ResultOk);
    ASSERT_EQ(testsupport::run("djpeg -pnm -outfile '" + (dir / "b.pgm").string() + "' '" + (dir / "b.jpg").string() + "'"), 0);
    Pixels pgm;
    ASSERT_TRUE(testsupport::readPnm(dir / "b.pgm", pgm));
    ASSERT_EQ(pgm.channels, 1);
    EXPECT_GE(pgm.data[0], 250);
    EXPECT_LE(pgm.data[15 * 16], 5);
}

// Bitmaps whose pixel order the encoder reads itself go to it without a
// converted copy: whatever the channel order and row origin, the file must be
// the one written for the same picture as top-down RGB.
TEST(Writers, jpegOfEveryTrueColourOrderEqualsTheRgbFile)
{
    TempDir dir;
    const unsigned types[] = {Rgb, Bgr, Rgba, Bgra, Argb, Abgr};
    const uint16_t origins[] = {0, OriginBottom, OriginRight, OriginBottom | OriginRight};
    for (unsigned type : types) {
        for (uint16_t origin : origins) {
            Picture picture, reference;
            makePicture(picture.bitmap, type, 37, 29, 256, 5);
            picture.bitmap.origin = origin;
            const Pixels rgba = expectedRgba(picture.bitmap);
            ASSERT_EQ(bitmapAllocate(reference.bitmap, Rgb, 1, 37, 29), 1);
            reference.bitmap.dpiX = picture.bitmap.dpiX;
            reference.bitmap.dpiY = picture.bitmap.dpiY;
            for (int y = 0; y < 29; ++y)
                for (int x = 0; x < 37; ++x)
                    std::memcpy(bitmapRow(reference.bitmap, y) + 3 * x, &rgba.data[4 * (static_cast<size_t>(y) * 37 + x)], 3);
            ASSERT_EQ(save(dir / "p.jpg", picture.bitmap, "jpeg"), ResultOk);
            ASSERT_EQ(save(dir / "r.jpg", reference.bitmap, "jpeg"), ResultOk);
            EXPECT_EQ(testsupport::readFile(dir / "p.jpg"), testsupport::readFile(dir / "r.jpg")) << "type " << type << " origin " << origin;
        }
    }
}

TEST(Writers, jpegMarkersInListOrderAfterTheComment)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Rgb, 16, 16);
    setComment(p.bitmap, "caption");
    const uint8_t iptc[] = {'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', ' ', '3', '.', '0', 0, '8', 'B', 'I', 'M', 4, 4, 0, 0, 0, 0, 0, 0};
    const uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> icc(70000);
    for (size_t i = 0; i < icc.size(); ++i) icc[i] = static_cast<uint8_t>(i * 7);
    metadataAppend(p.bitmap.metadata, MetaIptc, iptc, sizeof iptc);
    metadataAppend(p.bitmap.metadata, MetaXmp, exif, 8);
    metadataAppend(p.bitmap.metadata, MetaExif, exif, sizeof exif);
    metadataAppend(p.bitmap.metadata, MetaIcc, icc.data(), 1000);

    ASSERT_EQ(save(dir / "m.jpg", p.bitmap, "jpeg"), ResultOk);
    auto markers = jpegMarkers(testsupport::readFile(dir / "m.jpg"));
    std::vector<int> kinds;
    for (const auto& m : markers)
        if (m.first != 0xDB && m.first != 0xC0 && m.first != 0xC4) kinds.push_back(m.first);
    EXPECT_EQ(kinds, (std::vector<int>{0xE0, 0xFE, 0xED, 0xE1}));  // no XMP, no ICC without the flag
    for (const auto& m : markers) {
        if (m.first == 0xFE) { EXPECT_EQ(m.second, (std::vector<uint8_t>{'c', 'a', 'p', 't', 'i', 'o', 'n', 0})); }
        if (m.first == 0xED) { EXPECT_EQ(m.second, std::vector<uint8_t>(iptc, iptc + sizeof iptc)); }
        if (m.first == 0xE1) { EXPECT_EQ(m.second, std::vector<uint8_t>(exif, exif + sizeof exif)); }
    }

    ASSERT_EQ(save(dir / "n.jpg", p.bitmap, "jpeg", [](SaveParams& s) { s.keepExif = 0; s.flags = SaveJpegIcc; }), ResultOk);
    markers = jpegMarkers(testsupport::readFile(dir / "n.jpg"));
    int icc1 = 0;
    bool sawExif = false;
    for (const auto& m : markers) {
        sawExif |= m.first == 0xE1;
        if (m.first == 0xE2) {
            ++icc1;
            ASSERT_EQ(m.second.size(), 14u + 1000);
            EXPECT_EQ(std::memcmp(m.second.data(), "ICC_PROFILE\0\1\1", 14), 0);
            EXPECT_EQ(std::memcmp(m.second.data() + 14, icc.data(), 1000), 0);
        }
    }
    EXPECT_FALSE(sawExif);
    EXPECT_EQ(icc1, 1);

    // A profile too large for one marker is split into numbered pieces.
    metadataFreeList(p.bitmap.metadata);
    metadataAppend(p.bitmap.metadata, MetaIcc, icc.data(), static_cast<uint32_t>(icc.size()));
    ASSERT_EQ(save(dir / "big.jpg", p.bitmap, "jpeg", [](SaveParams& s) { s.flags = SaveJpegIcc; }), ResultOk);
    std::vector<uint8_t> joined;
    int pieces = 0;
    for (const auto& m : jpegMarkers(testsupport::readFile(dir / "big.jpg")))
        if (m.first == 0xE2) {
            ++pieces;
            EXPECT_EQ(m.second[12], pieces);
            EXPECT_EQ(m.second[13], 2);
            joined.insert(joined.end(), m.second.begin() + 14, m.second.end());
        }
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(joined, icc);
}

TEST(Writers, jpegOptionsReachTheEncoder)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Rgb, 40, 40);
    p.bitmap.dpiX = 150;
    p.bitmap.dpiY = 75;
    ASSERT_EQ(save(dir / "p.jpg", p.bitmap, "jpeg",
                   [](SaveParams& s) { s.interlace = 1; s.sampling = 2; s.optimize = 1; s.dctMethod = 2; s.quality = 80; }),
              ResultOk);
    std::string out;
    ASSERT_EQ(testsupport::run("/usr/bin/identify -format '%[interlace] %[jpeg:sampling-factor] %x %y %Q' '" +
                                   (dir / "p.jpg").string() + "'",
                               &out),
              0);
    EXPECT_NE(out.find("JPEG"), std::string::npos) << out;  // progressive
    EXPECT_NE(out.find("1x1,1x1,1x1"), std::string::npos) << out;
    EXPECT_NE(out.find("150"), std::string::npos) << out;
    EXPECT_NE(out.find(" 80"), std::string::npos) << out;
    ASSERT_EQ(save(dir / "q.jpg", p.bitmap, "jpeg", [](SaveParams& s) { s.sampling = 1; }), ResultOk);
    ASSERT_EQ(testsupport::run("/usr/bin/identify -format '%[jpeg:sampling-factor] %Q' '" + (dir / "q.jpg").string() + "'", &out), 0);
    EXPECT_NE(out.find("2x1,1x1,1x1 100"), std::string::npos) << out;
    EXPECT_EQ(testsupport::run("djpeg '" + (dir / "q.jpg").string() + "' >/dev/null"), 0);
}

// PNG chunks in order: (type, data).
std::vector<std::pair<std::string, std::vector<uint8_t>>> pngChunks(const std::vector<uint8_t>& b)
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks;
    size_t at = 8;
    while (at + 12 <= b.size()) {
        const size_t length = be32(b, at);
        if (at + 12 + length > b.size()) break;
        chunks.push_back({std::string(b.begin() + at + 4, b.begin() + at + 8),
                          std::vector<uint8_t>(b.begin() + at + 8, b.begin() + at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

TEST(Writers, pngPaletteTransparencyAndResolution)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Indexed, 7, 5, 10);
    p.bitmap.transparentIndex = 3;
    setComment(p.bitmap, "a note");
    ASSERT_EQ(save(dir / "p.png", p.bitmap, "png"), ResultOk);
    const auto chunks = pngChunks(testsupport::readFile(dir / "p.png"));
    bool sawPlte = false, sawTrns = false, sawPhys = false, sawText = false;
    for (const auto& [type, data] : chunks) {
        if (type == "IHDR") {
            EXPECT_EQ(data[8], 4);  // bit depth
            EXPECT_EQ(data[9], 3);  // palette
        } else if (type == "PLTE") {
            sawPlte = true;
            ASSERT_EQ(data.size(), 48u);
            for (int i = 10; i < 16; ++i) EXPECT_EQ(data[3 * i] | data[3 * i + 1] | data[3 * i + 2], 0) << i;
            EXPECT_EQ(data[3], p.bitmap.palette[PaletteRed + 1]);
        } else if (type == "tRNS") {
            sawTrns = true;
            EXPECT_EQ(data, (std::vector<uint8_t>{255, 255, 255, 0}));
        } else if (type == "pHYs") {
            sawPhys = true;
            EXPECT_EQ(be32(data, 0), 2834u);
            EXPECT_EQ(be32(data, 4), 2834u);
            EXPECT_EQ(data[8], 1);
        } else if (type == "tEXt") {
            sawText = true;
            EXPECT_EQ(std::string(data.begin(), data.end()), std::string("Comment\0a note", 14));
        }
    }
    EXPECT_TRUE(sawPlte && sawTrns && sawPhys && sawText);
    if (testsupport::haveTool("pngcheck")) {
        EXPECT_EQ(testsupport::run("pngcheck -q '" + (dir / "p.png").string() + "'"), 0);
    }
}

TEST(Writers, pngLevelsAndFiltersAreValid)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Rgb, 50, 30);
    for (int filter = 0; filter <= 5; ++filter) {
        static int f;
        f = filter;
        ASSERT_EQ(save(dir / "f.png", p.bitmap, "png", [](SaveParams& s) { s.pngFilter = static_cast<uint16_t>(f); }),
                  ResultOk);
        EXPECT_EQ(testsupport::run("pngcheck -q '" + (dir / "f.png").string() + "'"), 0) << filter;
    }
    // The zlib header of the image data names the level group: 9 is "maximum" (3).
    ASSERT_EQ(save(dir / "l.png", p.bitmap, "png", [](SaveParams& s) { s.compression = 12; }), ResultOk);
    for (const auto& [type, data] : pngChunks(testsupport::readFile(dir / "l.png")))
        if (type == "IDAT") {
            EXPECT_EQ(data[1] >> 6, 3);
            break;
        }
    ASSERT_EQ(save(dir / "d.png", p.bitmap, "png"), ResultOk);
    for (const auto& [type, data] : pngChunks(testsupport::readFile(dir / "d.png")))
        if (type == "IDAT") {
            EXPECT_EQ(data[1] >> 6, 2);
            break;
        }
}

TEST(Writers, cmykIsConvertedWhereTheFormatHasNoCmyk)
{
    TempDir dir;
    Picture p;
    bitmapAllocate(p.bitmap, Cmyk, 4, 8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* px = bitmapRow(p.bitmap, y) + 4 * x;
            px[0] = 255, px[1] = 0, px[2] = 0, px[3] = 0;  // pure cyan
        }
    for (const char* format : {"png", "bmp", "tga"}) {
        ASSERT_EQ(save(dir / (std::string("c.") + format), p.bitmap, format), ResultOk);
        Pixels decoded;
        ASSERT_TRUE(writertest::decodeWithMagickRgba(dir / (std::string("c.") + format), decoded));
        EXPECT_EQ(decoded.data[0], 0) << format;
        EXPECT_EQ(decoded.data[1], 255) << format;
        EXPECT_EQ(decoded.data[2], 255) << format;
    }
    ASSERT_EQ(save(dir / "c.jpg", p.bitmap, "jpeg"), ResultOk);
    std::string out;
    ASSERT_EQ(testsupport::run("/usr/bin/identify -format '%[colorspace]' '" + (dir / "c.jpg").string() + "'", &out), 0);
    EXPECT_EQ(out, "CMYK");
}

}  // namespace
