// The save pipeline: writer lookup, layout acceptance, the extension rule,
// the name copy-back, atomic replacement and the row service's conversions.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

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

TEST(SavePipeline, bitsForColoursIsTheSmallestSufficientWidth)
{
    const int cases[][2] = {{0, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {16, 4}, {17, 5}, {128, 7}, {129, 8},
                            {256, 8}, {1000, 8}};
    for (const auto& c : cases) EXPECT_EQ(bitsForColours(c[0]), c[1]) << c[0];
}

TEST(SavePipeline, formatsWithoutWriterGiveEight)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Rgb, 4, 4);
    SaveParams params;
    saveParamsDefaults(params);
    EXPECT_EQ(params.format, -1);
    EXPECT_EQ(saveBitmap((dir / "a.png").string(), p.bitmap, params), ResultNoWriter);
    params.format = formatFindByName("tiff");
    EXPECT_EQ(saveBitmap((dir / "a.tif").string(), p.bitmap, params), ResultNoWriter);
    params.format = formatCount();
    EXPECT_EQ(saveBitmap((dir / "a.x").string(), p.bitmap, params), ResultNoWriter);
    EXPECT_EQ(writertest::fileCount(dir.path()), 0);
}

TEST(SavePipeline, defaultsMatchTheDocumentedValues)
{
    SaveParams params;
    params.quality = 3;
    saveParamsDefaults(params);
    EXPECT_EQ(params.quality, 100);
    EXPECT_EQ(params.compression, 6);
    EXPECT_EQ(params.dctMethod, 65535);
    EXPECT_EQ(params.sampling, 65535);
    EXPECT_EQ(params.keepExif, 1);
    EXPECT_EQ(params.keepIptc, 1);
    EXPECT_EQ(params.flags, 0u);
}

TEST(SavePipeline, refusedLayoutCreatesNoFile)
{
    TempDir dir;
    Picture rgb, indexed, grey, manyColours;
    makePicture(rgb.bitmap, Rgb, 8, 8);
    EXPECT_EQ(save(dir / "a.gif", rgb.bitmap, "gif"), ResultLayoutRefused);
    EXPECT_FALSE(std::filesystem::exists(dir / "a.gif"));
    makePicture(indexed.bitmap, Indexed, 8, 8, 256);
    EXPECT_EQ(save(dir / "b.gif", indexed.bitmap, "gif"), ResultOk);
    makePicture(grey.bitmap, Grey, 8, 8, 256);
    EXPECT_EQ(save(dir / "c.jpg", grey.bitmap, "jpeg"), ResultOk);
    EXPECT_EQ(save(dir / "d.jpg", indexed.bitmap, "jpeg"), ResultLayoutRefused);
    EXPECT_FALSE(std::filesystem::exists(dir / "d.jpg"));
    EXPECT_EQ(writertest::fileCount(dir.path()), 2);
}

TEST(SavePipeline, emptyOrInconsistentBitmapsGiveSixteen)
{
    TempDir dir;
    Bitmap empty;
    EXPECT_EQ(save(dir / "a.bmp", empty, "bmp"), ResultBadSize);
    Picture p;
    makePicture(p.bitmap, Rgb, 4, 4);
    p.bitmap.bytesPerRow = 5;  // shorter than one row of pixels
    EXPECT_EQ(save(dir / "b.bmp", p.bitmap, "bmp"), ResultBadSize);
    EXPECT_EQ(writertest::fileCount(dir.path()), 0);
}

TEST(SavePipeline, extensionRuleAndNameCopyBack)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Rgb, 2, 2);
    SaveParams params;
    saveParamsDefaults(params);
    params.format = formatFindByName("png");
    params.flags = SaveReplaceExtension | SaveCopyName;
    std::string finalName;
    ASSERT_EQ(saveBitmap((dir / "holiday.bmp").string(), p.bitmap, params, &finalName), ResultOk);
    EXPECT_EQ(finalName, (dir / "holiday.png").string());
    EXPECT_TRUE(std::filesystem::exists(dir / "holiday.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "holiday.bmp"));

    ASSERT_EQ(saveBitmap((dir / "scan.001").string(), p.bitmap, params, &finalName), ResultOk);
    EXPECT_EQ(finalName, (dir / "scan.001.png").string());
    // A dot in a folder name is not an extension.
    std::filesystem::create_directory(dir / "v1.2");
    ASSERT_EQ(saveBitmap((dir / "v1.2" / "noext").string(), p.bitmap, params, &finalName), ResultOk);
    EXPECT_EQ(finalName, (dir / "v1.2" / "noext.png").string());

    params.format = formatFindByName("jpeg");
    params.flags = SaveReplaceExtension;  // no copy-back without flag 128
    finalName = "unchanged";
    ASSERT_EQ(saveBitmap((dir / "photo.tif").string(), p.bitmap, params, &finalName), ResultOk);
    EXPECT_EQ(finalName, "unchanged");
    EXPECT_TRUE(std::filesystem::exists(dir / "photo.jpg"));
}

TEST(SavePipeline, unwritablePlacesGiveFive)
{
    Picture p;
    makePicture(p.bitmap, Rgb, 2, 2);
    EXPECT_EQ(save("/nonexistent-folder/x.png", p.bitmap, "png"), ResultCannotCreate);
    TempDir dir;
    EXPECT_EQ(save(dir.path(), p.bitmap, "png"), ResultCannotCreate);  // a folder
    if (::geteuid() != 0) {
        std::filesystem::create_directory(dir / "locked");
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec);
        EXPECT_EQ(save(dir / "locked" / "x.bmp", p.bitmap, "bmp"), ResultCannotCreate);
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
    }
}

// A read-only file is not replaced, although its folder is writable, even
// for root, who could: the owner made it read-only to keep it.
TEST(SavePipeline, readOnlyTargetIsRefusedWithItsOwnResult)
{
    Picture p;
    makePicture(p.bitmap, Rgb, 2, 2);
    TempDir dir;
    testsupport::writeFile(dir / "ro.bmp", std::string("keep"));
    ::chmod((dir / "ro.bmp").c_str(), 0444);
    EXPECT_EQ(save(dir / "ro.bmp", p.bitmap, "bmp"), ResultReadOnly);
    EXPECT_STREQ(resultText(ResultReadOnly), "the file is read-only");
    const auto bytes = testsupport::readFile(dir / "ro.bmp");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "keep");
    EXPECT_EQ(writertest::fileCount(dir.path()), 1);
}

TEST(SavePipeline, fullDiskGivesSixForEveryWriter)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Picture rgb, indexed;
    makePicture(rgb.bitmap, Rgb, 64, 64);
    makePicture(indexed.bitmap, Indexed, 64, 64, 200);
    for (const char* format : {"bmp", "tga", "jpeg", "png"})
        EXPECT_EQ(save("/dev/full", rgb.bitmap, format), ResultWriteError) << format;
    EXPECT_EQ(save("/dev/full", indexed.bitmap, "gif"), ResultWriteError);
}

// A write that fails half way (the file size limit stands in for a full
// disk) leaves the old file as it was and no temporary behind.
TEST(SavePipeline, failedSaveKeepsTheOldFile)
{
    TempDir dir;
    const auto target = dir / "keep.bmp";
    testsupport::writeFile(target, std::string("old contents"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Bitmap big;
        makePicture(big, Rgb, 200, 200);
        const int result = save(target, big, "bmp");
        bitmapFree(big);
        ::_exit(result);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ResultWriteError);
    const auto bytes = testsupport::readFile(target);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old contents");
    EXPECT_EQ(writertest::fileCount(dir.path()), 1);
}

TEST(SavePipeline, replacingKeepsPermissionsAndFollowsLinks)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Grey, 3, 3);
    const auto target = dir / "pic.png";
    testsupport::writeFile(target, std::string("x"));
    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read);
    std::filesystem::create_symlink(target, dir / "link.png");
    ASSERT_EQ(save(dir / "link.png", p.bitmap, "png"), ResultOk);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.png"));
    EXPECT_GT(std::filesystem::file_size(target), 8u);
    EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST(SavePipeline, replacingKeepsOwnerAndGroup)
{
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another owner needs root";
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Rgb, 3, 3);
    const auto target = dir / "shared.jpg";
    testsupport::writeFile(target, std::string("x"));
    ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    ASSERT_EQ(save(target, p.bitmap, "jpeg"), ResultOk);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 100);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
}

// Rows stored bottom-up and right to left come out the right way round, in
// every writer's row order and byte order.
TEST(SavePipeline, rowServiceHonoursOriginsAndByteOrders)
{
    TempDir dir;
    for (unsigned type : {Bgr, Abgr, Argb, Bgra, Rgba, Indexed, Binary}) {
        for (uint16_t origin : {uint16_t(OriginBottom), uint16_t(OriginRight), uint16_t(OriginBottom | OriginRight)}) {
            Picture p;
            makePicture(p.bitmap, type, 13, 7, 256, type + origin);
            p.bitmap.origin = origin;
            if (type & Any32)
                for (int y = 0; y < 7; ++y)  // opaque, so that formats without alpha compare too
                    for (int x = 0; x < 13; ++x) bitmapRow(p.bitmap, y)[x * 4 + (type == Abgr || type == Argb ? 0 : 3)] = 255;
            const Pixels expected = expectedRgba(p.bitmap);
            for (const char* format : {"bmp", "tga", "png"}) {
                if (type == Binary && std::string(format) == "tga") continue;  // ImageMagick reads no one-bit Targa
                const auto path = dir / (std::string("o.") + format);
                ASSERT_EQ(save(path, p.bitmap, format), ResultOk) << format;
                Pixels decoded;
                ASSERT_TRUE(writertest::decodeWithMagickRgba(path, decoded)) << format;
                EXPECT_EQ(testsupport::maxDifference(decoded, expected), 0)
                    << format << " type " << type << " origin " << origin;
            }
        }
    }
}

TEST(SavePipeline, diagnosticsDescribeTheSave)
{
    TempDir dir;
    Picture p;
    makePicture(p.bitmap, Indexed, 5, 3, 16);
    testing::internal::CaptureStderr();
    ASSERT_EQ(save(dir / "d.bmp", p.bitmap, "bmp", [](SaveParams& s) { s.flags = SaveDiagnostics | SaveProgressBar; }),
              ResultOk);
    const std::string text = testing::internal::GetCapturedStderr();
    EXPECT_NE(text.find("A Windows Bitmap was writen : " + (dir / "d.bmp").string() + "\n"), std::string::npos);
    EXPECT_NE(text.find("    Width:5 Height:3 with 16 colors\n"), std::string::npos);
    EXPECT_NE(text.find(std::string(60, '-') + "\r"), std::string::npos);
}

}  // namespace

namespace {

// Colour counts and transparent indices that no reader would produce still
// give a documented result and, when written, a file ImageMagick can read.
TEST(SavePipeline, oddBitmapFieldsAreHandled)
{
    TempDir dir;
    for (unsigned type : {Grey, Indexed}) {
        for (int colours : {-5, 1, 1000}) {
            for (int transparent : {-1, 300}) {
                Picture p;
                makePicture(p.bitmap, type, 9, 5, 256, colours + transparent);
                p.bitmap.colorCount = static_cast<int16_t>(colours);
                p.bitmap.transparentIndex = static_cast<int16_t>(transparent);
                for (const char* format : {"bmp", "tga", "gif", "jpeg", "png"}) {
                    const auto path = dir / (std::string("odd.") + format);
                    const int result = save(path, p.bitmap, format);
                    EXPECT_TRUE(result == ResultOk || result == ResultLayoutRefused)
                        << format << " " << colours << " " << transparent << " " << result;
                    if (result != ResultOk) {
                        EXPECT_FALSE(std::filesystem::exists(path));
                        continue;
                    }
                    Pixels decoded;
                    EXPECT_TRUE(writertest::decodeWithMagickRgba(path, decoded)) << format << " " << colours;
                    std::filesystem::remove(path);
                }
            }
        }
    }
    Picture wide;
    ASSERT_TRUE(bitmapAllocate(wide.bitmap, Grey, 1, 70000, 1));
    for (const char* format : {"gif", "tga", "jpeg"})
        EXPECT_EQ(save(dir / "wide.x", wide.bitmap, format), ResultBadSize) << format;
    EXPECT_EQ(save(dir / "wide.bmp", wide.bitmap, "bmp", [](SaveParams& s) { s.os2Bitmap = 1; }), ResultBadSize);
    EXPECT_EQ(save(dir / "wide.png", wide.bitmap, "png"), ResultOk);
}

}  // namespace
