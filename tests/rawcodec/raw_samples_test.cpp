// Camera raw files from the public suites: real previews decode to the same
// pixels as the JPEG that exiftool extracts; stand-ins fail cleanly; the
// information mode gives the full picture's size and orientation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "imagelib/formats.h"
#include "tests/rawcodec/raw_builders.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using namespace rawtest;
using testsupport::Pixels;

namespace {

fs::path sample(const std::string& name) { return testsupport::testdata(name); }

// Extracts an embedded picture with exiftool, the oracle for where the preview lies.
bool extractWithExiftool(const fs::path& file, const char* tag, const fs::path& out)
{
    if (!testsupport::haveTool("exiftool")) return false;
    return testsupport::run("exiftool -b -" + std::string(tag) + " '" + file.string() + "' > '" + out.string() + "'") == 0 &&
           fs::file_size(out) > 0;
}

// Loads a raw file whole and compares it with the preview exiftool extracts.
void expectPreviewMatches(const fs::path& file, const char* tag, int width, int height)
{
    SCOPED_TRACE(file.string());
    testsupport::TempDir dir;
    const fs::path extracted = dir / "preview.jpg";
    if (!extractWithExiftool(file, tag, extracted)) SKIP_MISSING("exiftool is not available");
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    ASSERT_EQ(loadRaw(file, bitmap, info), 0) << info.errorText;
    EXPECT_EQ(bitmap.width, width);
    EXPECT_EQ(bitmap.height, height);
    Pixels ours = pixelsOf(bitmap), reference, magick;
    fotrix::bitmapFree(bitmap);
    ASSERT_TRUE(decodePreviewJpeg(extracted, reference));
    EXPECT_EQ(testsupport::maxDifference(ours, reference), 0);
    // ImageMagick decodes with the accurate transform: close, not equal.
    if (testsupport::decodeWithMagick(extracted, magick)) {
        EXPECT_LE(testsupport::maxDifference(testsupport::toRgba(ours), magick), 24);
    }
}

}  // namespace

TEST(RawSamples, real_previews_match_what_exiftool_extracts)
{
    // The test suite keeps the previews but shrinks their pictures to 8 x 8.
    expectPreviewMatches(sample("exiftool/FujiFilm.raf"), "PreviewImage", 8, 8);
    expectPreviewMatches(sample("exiftool/SigmaDP2.x3f"), "JpgFromRaw", 8, 8);
    expectPreviewMatches(sample("exiv2/camera/exiv2-canon-powershot-s40.crw"), "ThumbnailImage", 160, 120);
}

TEST(RawSamples, panasonic_raw_preview_read_through_ifd0)
{
    // The sample carries the RW2 extension; Panasonic's older RAW files share the layout.
    testsupport::TempDir dir;
    const fs::path copy = dir / "panasonic.raw";
    fs::copy_file(sample("exiftool/Panasonic.rw2"), copy);
    expectPreviewMatches(copy, "JpgFromRaw", 8, 8);
    fotrix::FileInfo info;
    ASSERT_EQ(infoRaw(copy, info), 0);
    EXPECT_EQ(info.width, 3724);
    EXPECT_EQ(info.height, 2754);
    EXPECT_EQ(info.formatIndex, fotrix::FormatLastRaw);
}

TEST(RawSamples, crw_preview_equals_the_expected_preview_of_another_tool)
{
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    ASSERT_EQ(loadRaw(sample("exiv2/camera/exiv2-canon-powershot-s40.crw"), bitmap, info), 0);
    Pixels ours = pixelsOf(bitmap), expected;
    fotrix::bitmapFree(bitmap);
    ASSERT_TRUE(decodePreviewJpeg(sample("exiv2/camera/expected-previews/exiv2-canon-powershot-s40-preview1.jpg"), expected));
    EXPECT_EQ(testsupport::maxDifference(ours, expected), 0);
    // The file information reports the whole picture, not the thumbnail.
    EXPECT_EQ(info.width, 2272);
    EXPECT_EQ(info.height, 1704);
    EXPECT_EQ(info.formatIndex, fotrix::FormatFirstRaw);
}

TEST(RawSamples, information_mode_gives_the_full_picture)
{
    struct Case {
        const char* file;
        int width, height;
        uint32_t orientation;
    };
    const Case cases[] = {
        {"exiftool/CanonRaw.cr2", 3456, 2304, 0},
        {"exiftool/CanonRaw.crw", 3072, 2048, 0},
        {"exiftool/DNG.dng", 3516, 2328, 0},
        {"exiftool/Minolta.mrw", 3264, 2448, 0},
        {"exiftool/Nikon.nef", 3040, 2014, 0},
        {"exiftool/SigmaDP2.x3f", 2640, 1760, 0},
        // Taken upright: the size is reported upright and the flag says how to turn.
        {"exiftool/Sigma.x3f", 1512, 2268, 4},
        {"exiv2/camera/IMG_1361.dng", 3024, 4032, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        fotrix::FileInfo info;
        ASSERT_EQ(infoRaw(sample(c.file), info), 0);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.orientation, c.orientation);
        EXPECT_EQ(info.bitsPerComponent, 8);
        EXPECT_EQ(info.componentCount, 3);
        EXPECT_EQ(info.bytesPerPlane, 3u * c.width);
        fotrix::freeFileInfo(info);
    }
}

TEST(RawSamples, stand_in_previews_fail_cleanly)
{
    // Placeholders of a few bytes, a preview beyond the end of a cut file, no
    // preview at all; the sensor data of these cut files is beyond LibRaw too.
    const char* files[] = {"exiftool/CanonRaw.cr2", "exiftool/CanonRaw.crw", "exiftool/Minolta.mrw",
                           "exiftool/Sigma.x3f"};
    // Forced to their raw row: by extension alone the TIFF reader would take
    // the TIFF-based ones up next, and rightly so.
    for (const char* name : files) {
        SCOPED_TRACE(name);
        fotrix::Bitmap bitmap;
        fotrix::FileInfo info;
        EXPECT_EQ(loadRaw(sample(name), bitmap, info, -1, rowOf(name)), fotrix::LoadUnknownFormat);
        EXPECT_EQ(bitmap.pixels, nullptr);
    }
}

#if FOTRIX_HAVE_LIBRAW
// Asked for the sensor data of a file LibRaw cannot decode, the preview stands in.
TEST(RawSamples, preview_stands_in_when_the_sensor_data_cannot_be_read)
{
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    ASSERT_EQ(loadRawSensor(sample("exiv2/camera/exiv2-canon-powershot-s40.crw"), bitmap, info), 0) << info.errorText;
    EXPECT_EQ(bitmap.width, 160);
    EXPECT_EQ(bitmap.height, 120);
    fotrix::bitmapFree(bitmap);
    fotrix::freeFileInfo(info);
}
#endif

TEST(RawSamples, files_of_unknown_raw_kinds_are_refused)
{
    fotrix::FileInfo info;
#if FOTRIX_HAVE_LIBRAW
    // LibRaw knows Kyocera's header and tells the size; the cut sample holds no sensor data.
    EXPECT_EQ(infoRaw(sample("exiftool/KyoceraRaw.raw"), info), 0);
    EXPECT_EQ(info.width, 3072);
    EXPECT_EQ(info.height, 2047);
    fotrix::freeFileInfo(info);
    fotrix::Bitmap bitmap;
    EXPECT_NE(loadRaw(sample("exiftool/KyoceraRaw.raw"), bitmap, info, -1, fotrix::FormatLastRaw), 0);
    EXPECT_EQ(bitmap.pixels, nullptr);
    fotrix::freeFileInfo(info);
#else
    EXPECT_EQ(infoRaw(sample("exiftool/KyoceraRaw.raw"), info), fotrix::LoadUnknownFormat);
#endif
    // A JPEG forced through a raw row is not a raw file.
    EXPECT_EQ(infoRaw(sample("exiftool/Canon.jpg"), info, fotrix::FormatFirstRaw + 5), fotrix::LoadUnknownFormat);
}

// Every camera raw file of the public suites, found by its extension, read
// as the viewer reads it (sensor data asked for): the picture it gives, or
// its refusal. The samples are stripped: none holds its sensor data, which
// the decoder sees (LibRaw's own errors, a file too small for its sensor, or
// reads beyond its end), so each shows its preview, the TIFF reader's view
// of the file, or is refused. A new sample without a row here fails.
TEST(RawSamples, every_raw_file_of_the_suites_gives_a_picture_or_a_named_refusal)
{
    struct Outcome {
        const char* file;
        int code;              // the load's result
        int width, height;     // of the picture, when there is one
        const char* reader;    // the start of its description
    };
    constexpr int Unknown = fotrix::LoadUnknownFormat, Ended = fotrix::LoadReadError;
    const Outcome outcomes[] = {
        // Sensor data LibRaw does not support in a cut file; the TIFF reader
        // then finds Canon's lossless strips.
        {"exiftool/CanonRaw.cr2", fotrix::LoadBadData, 0, 0, ""},
        // Sensor data cut off (LibRaw: end of file), previews of a few bytes.
        {"exiftool/CanonRaw.crw", Unknown, 0, 0, ""},
        // Too small for its sensor; the TIFF reader shows IFD0's picture.
        {"exiftool/DNG.dng", 0, 8, 8, "TIFF"},
        // Sensor data cut off; the embedded preview stands in.
        {"exiftool/FujiFilm.raf", 0, 8, 8, "JPEG"},
        // Header only (LibRaw knows the kind and its size).
        {"exiftool/KyoceraRaw.raw", Unknown, 0, 0, ""},
        {"exiftool/Minolta.mrw", Unknown, 0, 0, ""},
        // Too small for their sensors; the TIFF reader meets the cut strips.
        {"exiftool/Nikon.nef", Ended, 0, 0, ""},
        {"exiv2/camera/IMG_1361.dng", Ended, 0, 0, ""},
        // Too small for its sensor; the preview stands in.
        {"exiftool/Panasonic.rw2", 0, 8, 8, "JPEG"},
        // X3F sensor data is not among LibRaw's kinds; the first file's
        // preview is a placeholder, the second's a picture.
        {"exiftool/Sigma.x3f", Unknown, 0, 0, ""},
        {"exiftool/SigmaDP2.x3f", 0, 8, 8, "JPEG"},
        {"exiv2/camera/exiv2-canon-powershot-s40.crw", 0, 160, 120, "JPEG"},
    };
    const std::vector<std::string> extensions = {".crw", ".cr2", ".cr3", ".nef", ".nrw", ".dng", ".raf", ".mrw",
                                                 ".x3f", ".orf", ".pef", ".arw", ".srf", ".sr2", ".kdc", ".dcr",
                                                 ".raw", ".rw2", ".rwl", ".mos", ".erf", ".3fr", ".srw", ".iiq"};
    const fs::path root = testsupport::testdata();
    if (!fs::is_directory(root)) SKIP_MISSING("no test data in " << root);
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (entry.is_regular_file() && std::find(extensions.begin(), extensions.end(), extension) != extensions.end())
            found.push_back(fs::relative(entry.path(), root).string());
    }
    EXPECT_EQ(found.size(), std::size(outcomes));
    for (const std::string& name : found) {
        SCOPED_TRACE(name);
        const auto outcome = std::find_if(std::begin(outcomes), std::end(outcomes),
                                          [&](const Outcome& o) { return name == o.file; });
        ASSERT_NE(outcome, std::end(outcomes)) << "a raw sample without a row in the table";
        fotrix::Bitmap bitmap;
        fotrix::FileInfo info;
        const int code = loadRawSensor(root / name, bitmap, info);
#if FOTRIX_HAVE_LIBRAW
        EXPECT_EQ(code, outcome->code) << info.errorText;
        EXPECT_EQ(bitmap.width, outcome->width);
        EXPECT_EQ(bitmap.height, outcome->height);
        if (code == 0) {
            EXPECT_EQ(std::string(info.description).rfind(outcome->reader, 0), 0u) << info.description;
        } else {
            EXPECT_EQ(bitmap.pixels, nullptr);
        }
#else
        // Without LibRaw the same files give their previews or are refused.
        if (code != 0) EXPECT_EQ(bitmap.pixels, nullptr);
#endif
        fotrix::bitmapFree(bitmap);
        fotrix::freeFileInfo(info);
    }
}
