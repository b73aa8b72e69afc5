// Photoshop reader: every colour mode and depth of the psd-tools set and files
// ImageMagick writes, compared with ImageMagick or Pillow; layers by frame;
// resources; damaged files.
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

const int PsdFormat = 13;

// Pillow's decode of the merged picture of a Photoshop file, as RGBA. Pillow
// reads indexed files, which ImageMagick refuses, and takes the merged
// picture as stored, where ImageMagick composes layers or blends alpha.
bool pillowDecode(const std::filesystem::path& path, Pixels& out)
{
    testsupport::TempDir dir;
    const auto png = dir / "p.png";
    const std::string command = "/usr/bin/python3 -c \"from PIL import Image; Image.open('" + path.string() +
                                "').convert('RGBA').save('" + png.string() + "')\" 2>/dev/null";
    return testsupport::run(command) == 0 && testsupport::decodeWithMagick(png, out);
}

void put16(std::vector<uint8_t>& v, unsigned x)
{
    v.push_back(static_cast<uint8_t>(x >> 8));
    v.push_back(static_cast<uint8_t>(x));
}
void put32(std::vector<uint8_t>& v, uint32_t x)
{
    put16(v, x >> 16);
    put16(v, x & 0xFFFF);
}

// A layerless RGB(A) document with a resolution resource, an optional IPTC
// resource and a raw merged picture whose sample at (x, y) of channel c is
// 10 * c + 3 * y + x.
std::vector<uint8_t> makePsd(int channels, int width, int height, uint32_t dpi, const std::string& iptc)
{
    std::vector<uint8_t> f = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
    put16(f, channels);
    put32(f, height);
    put32(f, width);
    put16(f, 8);
    put16(f, 3);
    put32(f, 0);  // colour-mode data
    std::vector<uint8_t> res = {'8', 'B', 'I', 'M'};
    put16(res, 1005);
    put16(res, 0);
    put32(res, 16);
    put32(res, dpi << 16);
    put16(res, 1);
    put16(res, 1);
    put32(res, dpi << 16);
    put16(res, 1);
    put16(res, 1);
    if (!iptc.empty()) {
        res.insert(res.end(), {'8', 'B', 'I', 'M'});
        put16(res, 1028);
        put16(res, 0);
        put32(res, static_cast<uint32_t>(iptc.size()));
        res.insert(res.end(), iptc.begin(), iptc.end());
        if (iptc.size() & 1) res.push_back(0);
    }
    put32(f, static_cast<uint32_t>(res.size()));
    f.insert(f.end(), res.begin(), res.end());
    put32(f, 0);  // no layers
    put16(f, 0);  // raw
    for (int c = 0; c < channels; c++)
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) f.push_back(static_cast<uint8_t>(10 * c + 3 * y + x));
    return f;
}

struct ModeCase {
    const char* file;
    int tolerance;
};

}  // namespace

TEST(PsdReader, ColourModesMatchImageMagick)
{
    const ModeCase cases[] = {
        {"4x4_8bit_rgb.psd", 0},       {"4x4_8bit_rgba.psd", 0},  {"4x4_16bit_rgb.psd", 1},
        {"4x4_8bit_grayscale.psd", 0}, {"4x4_16bit_grayscale.psd", 1}, {"4x4_1bit_bitmap.psd", 0},
        {"4x4_8bit_cmyk.psd", 1},      {"4x4_16bit_cmyk.psd", 2}, {"4x4_8bit_duotone.psd", 0},
        // ImageMagick converts Lab with a D65 white; Photoshop's Lab is relative to D50.
        {"4x4_8bit_lab.psd", 24},      {"4x4_16bit_lab.psd", 24},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.file);
        const auto path = testdata("psd-tools/colormodes/") / c.file;
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(path, 0, reference));
        readertest::Load load = readertest::loadRgba(path);
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_EQ(load.info.formatIndex, PsdFormat);
        EXPECT_STREQ(load.info.description, "Adobe Photoshop Document");
        EXPECT_LE(readertest::maxColourDifference(load.pixels, reference, true), c.tolerance);
    }
}

TEST(PsdReader, IndexedAndAlphaFilesMatchPillow)
{
    for (const char* file : {"psd-tools/colormodes/4x4_8bit_index_color.psd", "twelvemonkeys/psd/test_indexed.psd",
                             "twelvemonkeys/psd/adobehq_ind.psd", "twelvemonkeys/psd/jugware-icon.psd",
                             "pillow/psd/rgba.psd", "psd-tools/misc/transparentbg-gimp.psd"}) {
        SCOPED_TRACE(file);
        Pixels reference;
        ASSERT_TRUE(pillowDecode(testdata(file), reference));
        readertest::Load load = readertest::loadRgba(testdata(file));
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_EQ(testsupport::maxDifference(load.pixels, reference), 0);
    }
}

TEST(PsdReader, ColourModelsReported)
{
    FileInfo info;
    ASSERT_EQ(getFileInfo(testdata("psd-tools/colormodes/4x4_8bit_cmyk.psd").string(), -1, 0, info), 0);
    EXPECT_EQ(info.colourModel, 3);
    freeFileInfo(info);
    FileInfo lab;
    ASSERT_EQ(getFileInfo(testdata("psd-tools/colormodes/4x4_16bit_lab.psd").string(), -1, 0, lab), 0);
    EXPECT_EQ(lab.colourModel, 6);
    freeFileInfo(lab);
}

TEST(PsdReader, ThirtyTwoBitDepthRefused)
{
    readertest::Load load = readertest::loadRgba(testdata("psd-tools/colormodes/4x4_32bit_rgb.psd"));
    EXPECT_EQ(load.code, 9);
    EXPECT_STREQ(load.info.errorText, "PSD: Depth != 8/16!");
}

TEST(PsdReader, FilesFromOtherProgramsMatchImageMagick)
{
    for (const char* file : {"pillow/psd/hopper.psd", "pillow/psd/hopper_merged.psd", "pillow/psd/rgba.psd",
                             "psd-tools/misc/gray1.psd", "twelvemonkeys/psd/test_bitmap.psd",
                             "twelvemonkeys/psd/buttons.psd",
                             "twelvemonkeys/psd/rgb-multichannel-no-transparency.psd",
                             "psd-tools/misc/16bit5x5.psd", "twelvemonkeys/psd/test_grayscale_boxes.psd"}) {
        SCOPED_TRACE(file);
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(testdata(file), 0, reference));
        readertest::Load load = readertest::loadRgba(testdata(file));
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_LE(readertest::maxColourDifference(load.pixels, reference, true), 1);
    }
}

TEST(PsdReader, LayersByFrameIndex)
{
    const auto path = testdata("psd-tools/misc/2layers.psd");
    FileInfo info;
    ASSERT_EQ(getFileInfo(path.string(), -1, 0, info), 0);
    EXPECT_EQ(info.imageCount, 3u);
    EXPECT_EQ(info.width, 101);
    freeFileInfo(info);

    for (int frame : {1, 2}) {
        SCOPED_TRACE(frame);
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(path, frame, reference));
        readertest::Load load = readertest::loadRgba(path, [&](LoadParams& p) { p.frameIndex = frame; });
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_EQ(load.pixels.width, reference.width);
        EXPECT_EQ(load.pixels.height, reference.height);
        EXPECT_LE(readertest::maxColourDifference(load.pixels, reference, true), 0);
    }
    // A frame beyond the layers gives the merged picture.
    readertest::Load merged = readertest::loadRgba(path, [](LoadParams& p) { p.frameIndex = 7; });
    ASSERT_EQ(merged.code, 0);
    EXPECT_EQ(merged.pixels.width, 101);
    EXPECT_EQ(merged.pixels.height, 55);
}

TEST(PsdReader, LayerPositionInReaderValues)
{
    // The second layer of 2layers.psd is 85 x 46; ImageMagick's page offset tells where it stands.
    const auto path = testdata("psd-tools/misc/2layers.psd");
    std::string page;
    ASSERT_EQ(testsupport::run("/usr/bin/identify -format '%X %Y' '" + path.string() + "[2]'", &page), 0);
    readertest::Load load = readertest::loadRgba(path, [](LoadParams& p) { p.frameIndex = 2; });
    ASSERT_EQ(load.code, 0);
    const std::string ours = "+" + std::to_string(static_cast<int32_t>(load.info.readerValues[1])) + " +" +
                             std::to_string(static_cast<int32_t>(load.info.readerValues[0]));
    EXPECT_EQ(ours, page);
}

TEST(PsdReader, WrittenByImageMagick)
{
    testsupport::TempDir dir;
    const auto source = dir / "source.ppm";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 37x23 gradient:red-blue -depth 8 '" + source.string() + "'"), 0);
    const char* variants[][2] = {
        {"-compress RLE", "rgb_rle.psd"},
        {"-compress None", "rgb_raw.psd"},
        {"-depth 16 -compress RLE", "rgb16.psd"},
        {"-colorspace Gray -compress RLE", "grey.psd"},
        {"-colorspace CMYK -compress None", "cmyk.psd"},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v[1]);
        const auto psd = dir / v[1];
        ASSERT_EQ(testsupport::run("/usr/bin/convert '" + source.string() + "' " + v[0] + " '" + psd.string() + "'"), 0);
        Pixels reference;
        ASSERT_TRUE(readertest::magickFrame(psd, 0, reference));
        readertest::Load load = readertest::loadRgba(psd);
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_LE(testsupport::maxDifference(load.pixels, testsupport::toRgba(reference)), 1);
    }
    // With half-transparent alpha ImageMagick blends the merged picture; Pillow takes it as stored.
    const auto rgba = dir / "rgba.psd";
    ASSERT_EQ(testsupport::run("/usr/bin/convert '" + source.string() +
                               "' -alpha set -channel A -evaluate set 50% +channel -compress RLE '" + rgba.string() + "'"),
              0);
    Pixels reference;
    ASSERT_TRUE(pillowDecode(rgba, reference));
    readertest::Load load = readertest::loadRgba(rgba);
    ASSERT_EQ(load.code, 0);
    EXPECT_EQ(testsupport::maxDifference(load.pixels, reference), 0);
    EXPECT_EQ(load.pixels.data[3], 128);
}

TEST(PsdReader, GreyWithAlphaKeepsItWhenAskedFor)
{
    // A grey+alpha document written by ImageMagick (Pillow does not read it)
    // and one of the psd-tools set: colour with alpha asked for gives the
    // second channel as alpha, sample for sample as ImageMagick decodes them.
    testsupport::TempDir dir;
    const auto written = dir / "grey-alpha.psd";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 24x9 gradient:white-black \\( -size 24x9 gradient:none-black \\) "
                               "-compose copy_opacity -composite -colorspace Gray -depth 8 -compress RLE '" +
                               written.string() + "' 2>/dev/null"),
              0);
    for (const auto& path : {written, testdata("psd-tools/misc/gray0.psd")}) {
        SCOPED_TRACE(path.string());
        Pixels reference;
        ASSERT_TRUE(testsupport::decodeWithMagick(path, reference));
        const Pixels expected = testsupport::toRgba(reference);
        readertest::Load load = readertest::loadRgba(path);
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_EQ(testsupport::maxDifference(load.pixels, expected), 0);
        int clear = 0, partial = 0;
        for (size_t i = 3; i < expected.data.size(); i += 4) {
            clear += expected.data[i] == 0;
            partial += expected.data[i] > 0 && expected.data[i] < 255;
        }
        EXPECT_GT(clear + partial, 0) << "the file should have transparent pixels";

        // By default the picture stays grey, its alpha dropped.
        LoadParams params;
        loadParamsDefaults(params);
        Bitmap grey;
        ASSERT_EQ(loadBitmap(path.string(), grey, params, nullptr), 0);
        EXPECT_EQ(grey.type, Grey);
        EXPECT_EQ(grey.pixels[0], expected.data[0]);
        bitmapFree(grey);
    }
}

TEST(PsdReader, ResolutionIptcAndDroppedChannels)
{
    testsupport::TempDir dir;
    const std::string iptc = std::string("\x1c\x02\x00\x00\x02\x00\x02\x1c\x02\x78\x00\x05Hello", 17);
    const auto path = dir / "made.psd";
    testsupport::writeFile(path, makePsd(4, 3, 2, 300, iptc));

    readertest::Load load = readertest::loadRgba(path, [](LoadParams& p) { p.options |= ReadMetadata; });
    ASSERT_EQ(load.code, 0) << load.info.errorText;
    EXPECT_EQ(load.info.dpiX, 300);
    EXPECT_EQ(load.info.dpiY, 300);
    ASSERT_EQ(load.pixels.width, 3);
    // Pixel (2, 1): channels 0..3 hold 5, 15, 25, 35.
    const uint8_t* p = &load.pixels.data[(1 * 3 + 2) * 4];
    EXPECT_EQ(p[0], 5);
    EXPECT_EQ(p[1], 15);
    EXPECT_EQ(p[2], 25);
    EXPECT_EQ(p[3], 35);

    LoadParams params;
    loadParamsDefaults(params);
    params.options = ReadMetadata;
    Bitmap bitmap;
    ASSERT_EQ(loadBitmap(path.string(), bitmap, params, nullptr), 0);
    const MetadataBlock* block = metadataFind(bitmap.metadata, MetaIptc);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->size, 14u + 12u + iptc.size() + 1);
    EXPECT_EQ(std::memcmp(block->data, "Photoshop 3.0\0008BIM\x04\x04\0\0", 22), 0);
    EXPECT_EQ(block->data[25], iptc.size());  // low byte of the big-endian size
    EXPECT_EQ(std::memcmp(block->data + 26, iptc.data(), iptc.size()), 0);
    bitmapFree(bitmap);

    readertest::Load dropped = readertest::loadRgba(path, [](LoadParams& p) { p.psdDropExtraChannels = 1; });
    ASSERT_EQ(dropped.code, 0);
    EXPECT_EQ(dropped.pixels.data[(1 * 3 + 2) * 4 + 3], 255);
}

TEST(PsdReader, IptcOfAPhotoshopFile)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.options = ReadMetadata;
    Bitmap bitmap;
    ASSERT_EQ(loadBitmap(testdata("twelvemonkeys/psd/adobehq_ind.psd").string(), bitmap, params, nullptr), 0);
    const MetadataBlock* block = metadataFind(bitmap.metadata, MetaIptc);
    ASSERT_NE(block, nullptr);
    const std::string text(reinterpret_cast<const char*>(block->data), block->size);
    EXPECT_EQ(text.rfind("Photoshop 3.0", 0), 0u);
    EXPECT_NE(text.find("Toby Thain"), std::string::npos);
    bitmapFree(bitmap);
}

TEST(PsdReader, DamagedFiles)
{
    testsupport::TempDir dir;
    const auto path = dir / "bad.psd";
    std::vector<uint8_t> good = makePsd(3, 8, 8, 72, "");

    std::vector<uint8_t> badMode = good;
    badMode[25] = 5;
    testsupport::writeFile(path, badMode);
    readertest::Load load = readertest::loadRgba(path);
    EXPECT_EQ(load.code, 9);
    EXPECT_STREQ(load.info.errorText, "PSD: Invalid Picture Mode !");

    std::vector<uint8_t> version2 = good;
    version2[5] = 2;
    testsupport::writeFile(path, version2);
    EXPECT_EQ(readertest::loadRgba(path, [](LoadParams& p) { p.formatIndex = 13; }).code, 2);

    // Cut inside the header: not a Photoshop file as far as probing goes.
    testsupport::writeFile(path, std::vector<uint8_t>(good.begin(), good.begin() + 20));
    EXPECT_EQ(readertest::loadRgba(path).code, 2);

    // Cut inside the pixels: 4, or the rows read so far with ToleratePartial.
    testsupport::writeFile(path, std::vector<uint8_t>(good.begin(), good.end() - 70));
    EXPECT_EQ(readertest::loadRgba(path).code, 4);
    readertest::Load partial = readertest::loadRgba(path, [](LoadParams& p) { p.options |= ToleratePartial; });
    ASSERT_EQ(partial.code, 0);
    EXPECT_EQ(partial.pixels.data[0], 0);   // channel 0 of pixel (0, 0)
    EXPECT_EQ(partial.pixels.data[1], 10);  // channel 1 arrived

    // Files crafted against other readers: a code, never a crash (2 when a
    // section runs past the end before the picture is announced).
    for (const char* file : {"pillow/psd/psd-oob-write.psd", "pillow/psd/psd-oob-write-x.psd",
                             "pillow/psd/psd-oob-write-y.psd", "pillow/psd/psd-oob-write-overflow.psd",
                             "pillow/psd/combined_larger_than_size.psd", "twelvemonkeys/psd/short-packbits.psd",
                             "twelvemonkeys/psd/gimp-32x32-packbits-overflow.psd",
                             "pillow/psd/negative_layer_count.psd", "pillow/psd/negative_top_left_layer.psd"}) {
        for (int frame = 0; frame < 4; frame++) {
            SCOPED_TRACE(std::string(file) + " frame " + std::to_string(frame));
            const int code = readertest::loadRgba(testdata(file), [&](LoadParams& p) { p.frameIndex = frame; }).code;
            EXPECT_TRUE(code == 0 || code == 2 || code == 4 || code == 9 || code == 10) << code;
        }
    }
}
