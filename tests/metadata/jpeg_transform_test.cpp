// Lossless transforms against jpegtran: the decoded pixels of our output must
// equal those of jpegtran's for every operation, sampling, coding and size;
// markers survive and the EXIF pixel size follows the picture.
#include <gtest/gtest.h>

#include <algorithm>

#include "metadata/exif.h"
#include "metadata/jpeg_segments.h"
#include "metadata/jpeg_transform.h"
#include "tests/metadata/exif_builder.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Operation {
    int code;
    const char* jpegtran;
};
constexpr Operation operations[] = {
    {fotrix::JpegRotate90, "-rotate 90"},        {fotrix::JpegRotate180, "-rotate 180"},
    {fotrix::JpegRotate270, "-rotate 270"},      {fotrix::JpegFlipVertical, "-flip vertical"},
    {fotrix::JpegFlipHorizontal, "-flip horizontal"},
};

bool haveTools()
{
    return testsupport::haveTool("cjpeg") && testsupport::haveTool("djpeg") && testsupport::haveTool("jpegtran") &&
           testsupport::haveTool("/usr/bin/convert");
}

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

// A crop of the IJG test picture, compressed by cjpeg with the given options.
fs::path makeJpeg(const testsupport::TempDir& dir, int width, int height, const std::string& options)
{
    fs::path ppm = dir / ("crop" + std::to_string(width) + "x" + std::to_string(height) + ".ppm");
    if (!fs::exists(ppm)) {
        std::string crop = std::to_string(width) + "x" + std::to_string(height) + "+7+5";
        EXPECT_EQ(testsupport::run("/usr/bin/convert " + q(testsupport::testdata("libjpeg-turbo/testorig.ppm")) +
                                   " -crop " + crop + " +repage " + q(ppm)),
                  0);
    }
    fs::path jpeg = dir / "input.jpg";
    EXPECT_EQ(testsupport::run("cjpeg " + options + " " + q(ppm) + " > " + q(jpeg)), 0);
    return jpeg;
}

Bytes decoded(const fs::path& jpeg)
{
    std::string out;
    EXPECT_EQ(testsupport::run("djpeg -pnm " + q(jpeg), &out), 0);
    return Bytes(out.begin(), out.end());
}

}  // namespace

TEST(JpegTransform, pixels_equal_jpegtran_for_every_sampling_coding_and_size)
{
    if (!haveTools()) SKIP_MISSING("unavailable: !haveTools()");
    testsupport::TempDir dir;
    const char* samplings[] = {"-sample 2x2", "-sample 2x1", "-sample 1x1", "-grayscale"};
    int compared = 0;
    for (auto [width, height] : {std::pair{64, 48}, std::pair{61, 45}, std::pair{13, 70}}) {
        for (const char* sampling : samplings) {
            for (const char* coding : {"", "-progressive"}) {
                fs::path input = makeJpeg(dir, width, height, std::string(sampling) + " " + coding);
                for (const Operation& op : operations) {
                    for (bool trim : {true, false}) {
                        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " " + sampling + " " +
                                     coding + " " + op.jpegtran + (trim ? " -trim" : ""));
                        fs::path ref = dir / "ref.jpg", ours = dir / "ours.jpg";
                        ASSERT_EQ(testsupport::run(std::string("jpegtran ") + op.jpegtran + (trim ? " -trim" : "") +
                                                   " -copy all " + q(input) + " > " + q(ref)),
                                  0);
                        ASSERT_EQ(fotrix::jpegTransformLossless(input.c_str(), ours.c_str(), op.code, trim), 1);
                        Bytes expected = decoded(ref);
                        ASSERT_FALSE(expected.empty());
                        EXPECT_EQ(decoded(ours), expected);
                        ++compared;
                    }
                }
            }
        }
    }
    EXPECT_EQ(compared, 3 * 4 * 2 * 5 * 2);
}

TEST(JpegTransform, markers_survive_and_exif_sizes_follow_the_picture)
{
    if (!haveTools() || !testsupport::haveTool("exiftool")) SKIP_MISSING("unavailable: !haveTools() || !testsupport::haveTool(\"exiftool\")");
    testsupport::TempDir dir;
    // A camera file with EXIF (big pixel size recorded), IPTC, XMP, ICC and Adobe markers.
    fs::path input = dir / "in.jpg";
    fs::copy_file(testsupport::testdata("exiv2/camera/Reagan.jpg"), input);
    fs::path out90 = dir / "r90.jpg", out180 = dir / "r180.jpg";
    ASSERT_EQ(fotrix::jpegTransformLossless(input.c_str(), out90.c_str(), fotrix::JpegRotate90, true), 1);
    ASSERT_EQ(fotrix::jpegTransformLossless(input.c_str(), out180.c_str(), fotrix::JpegRotate180, true), 1);

    auto payloads = [](const fs::path& file) {
        Bytes bytes = testsupport::readFile(file);
        std::vector<fotrix::JpegSegment> segments;
        fotrix::jpegListSegments(bytes.data(), bytes.size(), segments);
        std::vector<Bytes> out;
        for (const auto& s : segments)
            if ((s.marker >= 0xE2 && s.marker <= 0xED) || s.marker == 0xFE)
                out.emplace_back(bytes.begin() + std::ptrdiff_t(s.start), bytes.begin() + std::ptrdiff_t(s.start + s.size));
        return out;
    };
    EXPECT_EQ(payloads(out90), payloads(input));
    EXPECT_FALSE(payloads(input).empty());

    std::string size;
    testsupport::run("exiftool -n -s3 -ExifImageWidth -ExifImageHeight -ImageWidth -ImageHeight " + q(out90), &size);
    // 200x130 with 1x1 sampling (8-pixel MCUs): 130 rows are trimmed to 128.
    EXPECT_EQ(size, "128\n200\n128\n200\n");
    // Trimming changes the size of a half turn too: 130 rows become 128.
    std::string after180;
    testsupport::run("exiftool -n -s3 -ExifImageWidth -ExifImageHeight " + q(out180), &after180);
    EXPECT_EQ(after180, "200\n128\n");
}

TEST(JpegTransform, exif_size_is_patched_only_when_the_size_changes)
{
    if (!haveTools() || !testsupport::haveTool("exiftool")) SKIP_MISSING("unavailable: !haveTools() || !testsupport::haveTool(\"exiftool\")");
    testsupport::TempDir dir;
    fs::path plain = makeJpeg(dir, 64, 48, "");
    for (bool be : {false, true}) {
        exiftest::Block b;
        b.bigEndian = be;
        b.ifd0 = {exiftest::ascii(0x010F, "Acme")};
        b.exif = {exiftest::shortValue(be, 0xA002, 1234), exiftest::shortValue(be, 0xA003, 999)};
        Bytes exif = exiftest::build(b);
        Bytes source = testsupport::readFile(plain);
        std::vector<fotrix::JpegSegment> segments;
        fotrix::jpegListSegments(source.data(), source.size(), segments);
        Bytes file = {0xFF, 0xD8, 0xFF, 0xE1, uint8_t((exif.size() + 2) >> 8), uint8_t(exif.size() + 2)};
        file.insert(file.end(), exif.begin(), exif.end());
        file.insert(file.end(), source.begin() + std::ptrdiff_t(segments[1].start), source.end());
        fs::path input = dir / "exif.jpg", out = dir / "out.jpg";
        testsupport::writeFile(input, file);
        std::string size;
        ASSERT_EQ(fotrix::jpegTransformLossless(input.c_str(), out.c_str(), fotrix::JpegRotate180, true), 1);
        testsupport::run("exiftool -n -s3 -ExifImageWidth -ExifImageHeight " + q(out), &size);
        EXPECT_EQ(size, "1234\n999\n");
        ASSERT_EQ(fotrix::jpegTransformLossless(input.c_str(), out.c_str(), fotrix::JpegRotate270, true), 1);
        testsupport::run("exiftool -n -s3 -ExifImageWidth -ExifImageHeight " + q(out), &size);
        EXPECT_EQ(size, "48\n64\n");
    }
}

TEST(JpegTransform, exif_suppresses_jfif_and_without_it_jfif_is_written)
{
    if (!haveTools()) SKIP_MISSING("unavailable: !haveTools()");
    testsupport::TempDir dir;
    fs::path plain = makeJpeg(dir, 32, 32, "");
    fs::path out = dir / "out.jpg";
    ASSERT_EQ(fotrix::jpegTransformLossless(plain.c_str(), out.c_str(), fotrix::JpegFlipHorizontal, true), 1);
    Bytes bytes = testsupport::readFile(out);
    std::vector<fotrix::JpegSegment> segments;
    fotrix::jpegListSegments(bytes.data(), bytes.size(), segments);
    ASSERT_FALSE(segments.empty());
    EXPECT_EQ(segments[0].marker, 0xE0);
    EXPECT_EQ(std::count_if(segments.begin(), segments.end(), [](auto& s) { return s.marker == 0xE0; }), 1);

    // A file starting with EXIF (no JFIF): the output gets none either.
    exiftest::Block b;
    b.ifd0 = {exiftest::ascii(0x010F, "Acme")};
    Bytes exif = exiftest::build(b);
    Bytes source = testsupport::readFile(plain);
    Bytes withExif = {0xFF, 0xD8, 0xFF, 0xE1, uint8_t((exif.size() + 2) >> 8), uint8_t(exif.size() + 2)};
    withExif.insert(withExif.end(), exif.begin(), exif.end());
    std::vector<fotrix::JpegSegment> sourceSegments;
    fotrix::jpegListSegments(source.data(), source.size(), sourceSegments);
    withExif.insert(withExif.end(), source.begin() + std::ptrdiff_t(sourceSegments[1].start), source.end());
    fs::path exifFile = dir / "exif.jpg";
    testsupport::writeFile(exifFile, withExif);
    ASSERT_EQ(fotrix::jpegTransformLossless(exifFile.c_str(), out.c_str(), fotrix::JpegRotate90, true), 1);
    bytes = testsupport::readFile(out);
    fotrix::jpegListSegments(bytes.data(), bytes.size(), segments);
    EXPECT_EQ(segments[0].marker, 0xE1);
    EXPECT_EQ(std::count_if(segments.begin(), segments.end(), [](auto& s) { return s.marker == 0xE0; }), 0);
}

TEST(JpegTransform, failures_leave_input_and_output_alone)
{
    if (!haveTools()) SKIP_MISSING("unavailable: !haveTools()");
    testsupport::TempDir dir;
    fs::path good = makeJpeg(dir, 48, 32, "");
    fs::path existing = dir / "existing.jpg";
    testsupport::writeFile(existing, std::string("keep"));
    // Not a JPEG, a truncated JPEG, a missing file.
    fs::path text = dir / "text.jpg";
    testsupport::writeFile(text, std::string("hello, not a picture"));
    Bytes cut = testsupport::readFile(good);
    cut.resize(cut.size() / 3);
    fs::path truncated = dir / "cut.jpg";
    testsupport::writeFile(truncated, cut);
    for (const fs::path& bad : {text, truncated, dir / "missing.jpg"}) {
        EXPECT_EQ(fotrix::jpegTransformLossless(bad.c_str(), existing.c_str(), fotrix::JpegRotate90, true), 0) << bad;
        EXPECT_EQ(testsupport::readFile(existing), Bytes({'k', 'e', 'e', 'p'}));
    }
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);

    // In place: the file is replaced only by the finished result.
    Bytes before = decoded(good);
    ASSERT_EQ(fotrix::jpegTransformLossless(good.c_str(), good.c_str(), fotrix::JpegRotate180, true), 1);
    ASSERT_EQ(fotrix::jpegTransformLossless(good.c_str(), good.c_str(), fotrix::JpegRotate180, true), 1);
    EXPECT_EQ(decoded(good), before);
}
