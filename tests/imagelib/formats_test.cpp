// The format table, the registry's queries and the choice of a reader.
#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "tests/support/test_support.h"

using namespace fotrix;

namespace {

TEST(Formats, TheTableHasItsTwentyEightRows)
{
    EXPECT_EQ(formatCount(), 28);
    EXPECT_EQ(formatFindByName("jpeg"), 0);
    EXPECT_EQ(formatFindByName("JPEG"), -1);
    EXPECT_EQ(formatFindByName("srf"), 22);
    EXPECT_EQ(formatFindByName("srf2"), 20);
    EXPECT_EQ(formatShortName(-1), nullptr);
    EXPECT_EQ(formatShortName(28), nullptr);
    EXPECT_STREQ(formatFirstExtension(2), "bmp");
}

TEST(Formats, InfoCutsTheNameAndFillsEmptyWriterSlots)
{
    FormatInfo info;
    EXPECT_EQ(formatGetInfo(28, info), -1);
    ASSERT_EQ(formatGetInfo(4, info), 0);
    EXPECT_EQ(std::string(info.name, strnlen(info.name, 8)), "png");
    EXPECT_STREQ(info.description, "Portable Network Graphics");
    EXPECT_STREQ(info.extensions[0], "png");
    EXPECT_STREQ(info.extensions[1], "");
    ASSERT_EQ(formatGetInfo(13, info), 0);  // psd: no writer
    EXPECT_EQ(info.status & 2, 0);
    for (const AcceptedLayout& slot : info.writerTypes) {
        EXPECT_EQ(slot.typeMask, 65535);
        EXPECT_EQ(slot.colourLimit, 65535);
    }
}

TEST(Formats, ExtensionsAreComparedInLowerCase)
{
    EXPECT_EQ(fileExtension("/photos/photo.JPG"), "jpg");
    EXPECT_EQ(fileExtension("/photos.d/photo"), "");
    EXPECT_TRUE(extensionBelongsTo("/a/photo.JPG", 0));
    EXPECT_FALSE(extensionBelongsTo("/a/photo.j", 0));  // the table's upper-case "J" never matches
    EXPECT_TRUE(extensionBelongsTo("/a/x.srf", 20));
    EXPECT_TRUE(extensionBelongsTo("/a/x.srf", 22));
    EXPECT_TRUE(extensionIsKnown("/a/b.rpgm"));
    EXPECT_FALSE(extensionIsKnown("/a/b.xyz"));
}

TEST(Formats, DisplayNamesOfCodes)
{
    EXPECT_STREQ(compressionName(0), "Uncompressed");
    EXPECT_STREQ(compressionName(9), "CCITT Group 4");
    EXPECT_STREQ(compressionName(77), "Uncompressed");
    EXPECT_EQ(compressionName(255), nullptr);
    char buffer[8];
    compressionNameCopy(255, "Thunderscan", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Thunder");
    EXPECT_STREQ(colourModelName(1), "RGB");
    EXPECT_STREQ(colourModelName(6), "CIE Lab");
    EXPECT_STREQ(colourModelName(7), "CIE Log2(L) (u',v')");
}

TEST(Formats, LibraryInitIsReferenceCounted)
{
    libraryInit();  // the suite's environment holds one reference already
    libraryExit();
    EXPECT_EQ(formatCount(), 28);
}

class ReaderSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testsupport::haveTool("/usr/bin/convert")) SKIP_MISSING("ImageMagick missing");
        bmp = dir / "picture.bmp";
        ASSERT_EQ(testsupport::run("/usr/bin/convert -size 8x6 xc:red '" + bmp.string() + "'"), 0);
    }
    testsupport::TempDir dir;
    std::filesystem::path bmp;
};

TEST_F(ReaderSelection, ContentIsProbedWhenTheExtensionLies)
{
    const auto misnamed = dir / "picture.gif";
    std::filesystem::copy_file(bmp, misnamed);
    FileInfo info;
    ASSERT_EQ(getFileInfo(misnamed.string(), -1, 0, info), 0);
    EXPECT_EQ(info.formatIndex, 2);
    EXPECT_EQ(info.width, 8);
    freeFileInfo(info);
}

TEST_F(ReaderSelection, ExtensionOnlyRefusesUnknownExtensionsWithoutOpening)
{
    Bitmap bitmap;
    LoadParams params;
    params.options = ExtensionOnly;
    EXPECT_EQ(loadBitmap((dir / "missing.xyz").string(), bitmap, params, nullptr), 2);
    EXPECT_EQ(loadBitmap((dir / "missing.bmp").string(), bitmap, params, nullptr), 3);
    const auto unknown = dir / "picture.xyz";
    std::filesystem::copy_file(bmp, unknown);
    EXPECT_EQ(loadBitmap(unknown.string(), bitmap, params, nullptr), 2);
    params.options = 0;
    EXPECT_EQ(loadBitmap(unknown.string(), bitmap, params, nullptr), 0);
    bitmapFree(bitmap);
}

TEST_F(ReaderSelection, AForcedIndexCallsOnlyThatReader)
{
    Bitmap bitmap;
    LoadParams params;
    params.formatIndex = 28;
    EXPECT_EQ(loadBitmap(bmp.string(), bitmap, params, nullptr), 2);
    params.formatIndex = 3;  // gif: answers that this is not its format
    EXPECT_EQ(loadBitmap(bmp.string(), bitmap, params, nullptr), 2);
    params.formatIndex = 2;
    EXPECT_EQ(loadBitmap(bmp.string(), bitmap, params, nullptr), 0);
    bitmapFree(bitmap);
}

TEST_F(ReaderSelection, EmptyAndMissingFilesCannotBeOpened)
{
    const auto empty = dir / "empty.bmp";
    testsupport::writeFile(empty, std::string());
    Bitmap bitmap;
    LoadParams params;
    EXPECT_EQ(loadBitmap(empty.string(), bitmap, params, nullptr), 3);
    EXPECT_EQ(loadBitmap((dir / "nothing.bmp").string(), bitmap, params, nullptr), 3);
    EXPECT_EQ(bitmap.pixels, nullptr);
}

}  // namespace
