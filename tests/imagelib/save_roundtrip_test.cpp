// Pictures loaded with their metadata and saved again, through the library
// and through fotrix-cli's editing commands.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "tests/imagelib/writer_helpers.h"
#include "tests/support/test_support.h"

namespace {

using namespace fotrix;
using testsupport::TempDir;

// APPn and COM segments of a JPEG file in order: (marker, payload).
std::vector<std::pair<int, std::vector<uint8_t>>> segments(const std::filesystem::path& path)
{
    const auto b = testsupport::readFile(path);
    std::vector<std::pair<int, std::vector<uint8_t>>> out;
    size_t at = 2;
    while (at + 4 <= b.size() && b[at] == 0xFF && b[at + 1] != 0xDA) {
        const size_t length = b[at + 2] << 8 | b[at + 3];
        if (at + 2 + length > b.size()) break;
        if ((b[at + 1] >= 0xE0 && b[at + 1] <= 0xEF) || b[at + 1] == 0xFE)
            out.push_back({b[at + 1], std::vector<uint8_t>(b.begin() + at + 4, b.begin() + at + 2 + length)});
        at += 2 + length;
    }
    return out;
}

std::string exiftoolValue(const std::filesystem::path& path, const std::string& tag)
{
    std::string out;
    testsupport::run("exiftool -s -s -s -" + tag + " '" + path.string() + "' 2>/dev/null", &out);
    return out;
}

// Loads `name` with its comment and metadata, saves it as JPEG and checks
// that the comment and then every EXIF and IPTC block, in list order, are in
// the new file byte for byte.
void roundTrip(const std::string& name, const std::vector<std::string>& tags)
{
    const auto source = testsupport::testdata("exiftool/" + name);
    if (!std::filesystem::exists(source)) SKIP_MISSING("no test data");
    LoadParams params;
    loadParamsDefaults(params);
    params.options |= ReadComment | ReadMetadata;
    Bitmap bitmap;
    ASSERT_EQ(loadBitmap(source.string(), bitmap, params, nullptr), 0) << name;
    TempDir dir;
    const auto target = dir / "copy.jpg";
    ASSERT_EQ(writertest::save(target, bitmap, "jpeg"), ResultOk);

    std::vector<std::pair<int, std::vector<uint8_t>>> expected;
    if (bitmap.comment)
        expected.push_back({0xFE, std::vector<uint8_t>(bitmap.comment, bitmap.comment + std::strlen(bitmap.comment) + 1)});
    int blocks = 0;
    for (const MetadataBlock* block = bitmap.metadata; block; block = block->next) {
        if (block->kind == MetaExif) expected.push_back({0xE1, std::vector<uint8_t>(block->data, block->data + block->size)});
        if (block->kind == MetaIptc) expected.push_back({0xED, std::vector<uint8_t>(block->data, block->data + block->size)});
        blocks += block->kind == MetaExif || block->kind == MetaIptc;
    }
    EXPECT_GT(blocks, 0) << name;
    auto written = segments(target);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written[0].first, 0xE0);  // JFIF
    written.erase(written.begin());
    ASSERT_EQ(written.size(), expected.size()) << name;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(written[i].first, expected[i].first) << name << " " << i;
        EXPECT_TRUE(written[i].second == expected[i].second) << name << " " << i;
    }
    if (testsupport::haveTool("exiftool")) {
        for (const std::string& tag : tags) EXPECT_EQ(exiftoolValue(target, tag), exiftoolValue(source, tag)) << tag;
    }
    bitmapFree(bitmap);
}

TEST(SaveRoundTrip, cameraJpegKeepsExifAndIptc)
{
    roundTrip("Canon.jpg", {"Make", "Model", "DateTimeOriginal", "ExposureTime", "FNumber"});
    roundTrip("GPS.jpg", {"Make", "GPSLatitude", "Keywords", "By-line"});
    roundTrip("IPTC.jpg", {"Keywords", "By-line", "ObjectName"});
    roundTrip("ExifTool.jpg", {});  // two EXIF segments and two IPTC blocks
}

class CliEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        cli_ = (testsupport::binaryDir() / "cli" / "fotrix-cli").string();
        if (!std::filesystem::exists(cli_)) SKIP_MISSING("fotrix-cli not built");
        input_ = dir_ / "in.png";
        Bitmap picture;
        writertest::makePicture(picture, Rgb, 40, 30);
        ASSERT_EQ(writertest::save(input_, picture, "png"), ResultOk);
        bitmapFree(picture);
    }
    int cli(const std::string& arguments, std::string* output = nullptr)
    {
        return testsupport::run(cli_ + " " + arguments + " 2>&1", output);
    }
    std::string identify(const std::filesystem::path& path)
    {
        std::string out;
        testsupport::run("/usr/bin/identify -format '%m %wx%h' '" + path.string() + "' 2>&1", &out);
        if (out.starts_with("BMP3")) out.erase(3, 1);
        return out;
    }
    std::string in() const { return "'" + input_.string() + "' "; }
    std::string at(const std::string& name) const { return "'" + (dir_ / name).string() + "'"; }

    TempDir dir_;
    std::string cli_;
    std::filesystem::path input_;
};

TEST_F(CliEdit, convertWritesEveryFormat)
{
    EXPECT_EQ(cli("convert " + in() + at("a.jpg") + " --quality 80"), 0);
    EXPECT_EQ(identify(dir_ / "a.jpg"), "JPEG 40x30");
    EXPECT_EQ(cli("convert " + in() + at("a.gif") + " --interlace"), 0);  // median cut on the way
    EXPECT_EQ(identify(dir_ / "a.gif"), "GIF 40x30");
    EXPECT_EQ(cli("convert " + in() + at("a.bmp") + " --colours palette16 --rle"), 0);
    EXPECT_EQ(identify(dir_ / "a.bmp"), "BMP 40x30");
    EXPECT_EQ(cli("convert " + in() + at("a.out") + " --format tga"), 0);
    std::filesystem::rename(dir_ / "a.out", dir_ / "a.tga");
    EXPECT_EQ(identify(dir_ / "a.tga"), "TGA 40x30");
    EXPECT_EQ(cli("convert " + in() + at("a.png") + " --colours bw --dither 5 --compression 9"), 0);
    std::string out;
    testsupport::run("pngcheck '" + (dir_ / "a.png").string() + "'", &out);
    EXPECT_NE(out.find("1-bit grayscale"), std::string::npos) << out;
}

TEST_F(CliEdit, geometryCommands)
{
    EXPECT_EQ(cli("resize " + in() + at("r.png") + " --size 20x10"), 0);
    EXPECT_EQ(identify(dir_ / "r.png"), "PNG 20x10");
    EXPECT_EQ(cli("resize " + in() + at("s.png") + " --size 10x10 --method shrink"), 0);
    EXPECT_EQ(identify(dir_ / "s.png"), "PNG 10x10");
    EXPECT_EQ(cli("rotate " + in() + at("t.bmp") + " --angle 90"), 0);
    EXPECT_EQ(identify(dir_ / "t.bmp"), "BMP 30x40");
    EXPECT_EQ(cli("crop " + in() + at("c.png") + " --rect 5,5,10,8"), 0);
    EXPECT_EQ(identify(dir_ / "c.png"), "PNG 10x8");
    EXPECT_EQ(cli("mirror " + in() + at("m.png")), 0);
    EXPECT_EQ(cli("flip " + at("m.png") + " " + at("mf.png")), 0);
    EXPECT_EQ(cli("rotate " + in() + at("h.png") + " --angle 180"), 0);
    testsupport::Pixels flipped, half;
    ASSERT_TRUE(writertest::decodeWithMagickRgba(dir_ / "mf.png", flipped));
    ASSERT_TRUE(writertest::decodeWithMagickRgba(dir_ / "h.png", half));
    EXPECT_EQ(testsupport::maxDifference(flipped, half), 0);  // mirror + flip = half turn
}

TEST_F(CliEdit, toneAndColourCommands)
{
    EXPECT_EQ(cli("adjust " + in() + at("a.png") + " --auto-levels --auto-contrast --brightness 10 --gamma 1.4 --balance 5,0,-5"), 0);
    EXPECT_EQ(cli("filter " + in() + at("f.png") + " --denoise --sharpen 20 --smooth 30"), 0);
    EXPECT_EQ(cli("colours " + in() + at("g.png") + " --mode grey16"), 0);
    EXPECT_EQ(cli("colours " + in() + at("p.gif") + " --mode 13 --dither 1"), 0);
    std::string out;
    testsupport::run("/usr/bin/identify -format '%k' '" + (dir_ / "p.gif").string() + "'", &out);
    EXPECT_LE(std::stoi(out), 16);
    // Black-and-white pictures refuse tone changes.
    EXPECT_EQ(cli("colours " + in() + at("bw.png") + " --mode bw"), 0);
    EXPECT_EQ(cli("adjust " + at("bw.png") + " " + at("x.png") + " --brightness 5", &out), ResultBinaryRefused);
    EXPECT_NE(out.find("error: 17 "), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "x.png"));
}

// A PPM or JPEG converted to JPEG or PNG flows row by row: the same files,
// and the same reports when the input or the output fails.
// A PPM or JPEG converted to JPEG or PNG flows row by row: the pictures
// written are the same, and failures of the input or the output are reported
// as they are for pictures loaded whole.
TEST_F(CliEdit, convertingRowByRowWritesTheSamePicturesAndFailsTheSameWay)
{
    Bitmap picture;
    writertest::makePicture(picture, Rgb, 300, 500, 256, 7);
    const std::string header = "P6\n300 500\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int y = 0; y < 500; ++y) bytes.insert(bytes.end(), bitmapRow(picture, y), bitmapRow(picture, y) + 900);
    testsupport::writeFile(dir_ / "in.ppm", bytes);
    ASSERT_EQ(writertest::save(dir_ / "whole.png", picture, "png"), ResultOk);
    bitmapFree(picture);

    EXPECT_EQ(cli("convert " + at("in.ppm") + " " + at("rows.png")), 0);
    testsupport::Pixels rows, whole;
    ASSERT_TRUE(writertest::decodeWithMagickRgba(dir_ / "rows.png", rows));
    ASSERT_TRUE(writertest::decodeWithMagickRgba(dir_ / "whole.png", whole));
    EXPECT_EQ(testsupport::maxDifference(rows, whole), 0);
    EXPECT_EQ(cli("convert " + at("rows.png") + " " + at("b.jpg") + " --quality 70"), 0);  // PNG: loaded whole
    EXPECT_EQ(cli("convert " + at("b.jpg") + " " + at("c.jpg") + " --quality 50"), 0);     // JPEG: row by row
    EXPECT_EQ(identify(dir_ / "c.jpg"), "JPEG 300x500");

    std::string out;
    bytes.resize(bytes.size() / 2);
    testsupport::writeFile(dir_ / "cut.ppm", bytes);
    EXPECT_EQ(cli("convert " + at("cut.ppm") + " " + at("cut.jpg"), &out), ResultReadError);
    EXPECT_NE(out.find("error: 4 "), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "cut.jpg"));
    EXPECT_EQ(cli("convert " + at("in.ppm") + " /dev/full --format jpeg", &out), ResultWriteError);
    EXPECT_NE(out.find("error: 6 "), std::string::npos) << out;
}

TEST_F(CliEdit, failuresGiveTheirCodes)
{
    std::string out;
    EXPECT_EQ(cli("convert " + in() + at("a.tif")), ResultNoWriter);
    EXPECT_EQ(cli("convert " + in() + at("a.png") + " --format tiff"), ResultNoWriter);
    EXPECT_EQ(cli("convert " + at("missing.png") + " " + at("a.png")), ResultCannotOpen);
    EXPECT_EQ(cli("convert " + in() + "/nonexistent-folder/a.png"), ResultCannotCreate);
    EXPECT_EQ(cli("convert " + in() + "/dev/full --format png"), ResultWriteError);
    EXPECT_EQ(cli("colours " + in() + at("a.png") + " --mode 10"), 64);
    EXPECT_EQ(cli("resize " + in() + at("a.png") + " --size 0x5"), 64);
    EXPECT_EQ(cli("crop " + in() + at("a.png") + " --rect 100,100,5,5", &out), ResultBadSize);
    EXPECT_NE(out.find("error: 16 "), std::string::npos) << out;
    EXPECT_EQ(cli("convert " + in()), 64);
    EXPECT_EQ(cli("adjust --help", &out), 0);
    EXPECT_NE(out.find("usage: fotrix-cli adjust"), std::string::npos);
    EXPECT_EQ(writertest::fileCount(dir_.path()), 1);  // only the input
}

}  // namespace
