// The disk thumbnail cache: the files it writes are PNGs that another
// program reads with the right text chunks, stale and foreign entries are
// judged by those chunks, and a cache that cannot be written never stops a
// thumbnail.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/browser/browser.h"
#include "imagelib/formats.h"
#include "tests/app/browser_fixture.h"
#include "tests/support/env_support.h"
#include "tests/support/test_support.h"
#include "thumbs/md5.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_load.h"

namespace {

using namespace fotrix;
namespace fs = std::filesystem;

const std::string python = "/usr/bin/python3";

bool havePillow() { return testsupport::run(python + " -c 'import PIL' 2>/dev/null") == 0; }

// Gives the file a last-write time well in the past, so the cache keeps its thumbnail.
void ageFile(const fs::path& path, time_t when = 1500000000)
{
    struct utimbuf times {when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

std::string uriOf(const fs::path& path) { return fileUriOf(fs::absolute(path).lexically_normal().string()); }

class ThumbnailCache : public ::testing::Test {
protected:
    testsupport::TempDir pictures;
    testsupport::TempDir cache;
    void SetUp() override { libraryInit(); }

    ThumbnailRequest request(int cell = 60) const
    {
        ThumbnailRequest r;
        r.cellWidth = r.cellHeight = cell;
        r.highQuality = true;
        r.cacheRoot = cache.path().string();
        return r;
    }
    // Loads the picture; returns where the thumbnail came from, or fails the test.
    ThumbnailSource load(const fs::path& path, const ThumbnailRequest& r, Bitmap* keep = nullptr,
                         FileInfo* info = nullptr)
    {
        Bitmap picture;
        ThumbnailSource source = ThumbnailSource::Decoded;
        EXPECT_EQ(loadThumbnailPicture(path.string(), r, picture, info, &source), 0);
        EXPECT_EQ(picture.type, Rgb);
        EXPECT_LE(picture.width, r.cellWidth);
        EXPECT_LE(picture.height, r.cellHeight);
        if (keep) *keep = picture;
        else bitmapFree(picture);
        return source;
    }
    fs::path cacheFileOf(const fs::path& picture, const char* size = "normal") const
    {
        return cache / size / (md5Hex(uriOf(picture)) + ".png");
    }
};

TEST(ThumbnailNames, Md5AndUrisMatchTheDesktopsNaming)
{
    EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    // 56 to 64 bytes: the length no longer fits the first block.
    EXPECT_EQ(md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    EXPECT_EQ(md5Hex("file:///home/jens/photos/me.png"), "c6ee772d9e49320e97ec29a7eb5b1697");
    EXPECT_EQ(fileUriOf("/home/a b/100%/caf\xC3\xA9#1;x.jpg"),
              "file:///home/a%20b/100%25/caf%C3%A9%231%3Bx.jpg");
    EXPECT_EQ(fileUriOf("/p/(a)&b=c,d+e~f@g:h!$'*.png"), "file:///p/(a)&b=c,d+e~f@g:h!$'*.png");
    EXPECT_EQ(thumbnailCacheSizeFor(60, 60), 128);
    EXPECT_EQ(thumbnailCacheSizeFor(128, 128), 128);
    EXPECT_EQ(thumbnailCacheSizeFor(129, 40), 256);
    EXPECT_EQ(thumbnailCacheSizeFor(300, 40), 0);
}

TEST(ThumbnailNames, TheRootFollowsTheEnvironment)
{
    testsupport::EnvScope config("FOTRIX_CONFIG_DIR", nullptr);
    testsupport::EnvScope xdg("XDG_CACHE_HOME", "/x/cache");
    testsupport::EnvScope home("HOME", "/home/u");
    EXPECT_EQ(thumbnailCacheRoot(), "/x/cache/thumbnails");
    {
        testsupport::EnvScope emptyXdg("XDG_CACHE_HOME", "");
        EXPECT_EQ(thumbnailCacheRoot(), "/home/u/.cache/thumbnails");
    }
    testsupport::EnvScope portable("FOTRIX_CONFIG_DIR", "/portable");
    EXPECT_EQ(thumbnailCacheRoot(), "/portable/thumbnails");
}

TEST_F(ThumbnailCache, WhatWeWriteIsAPngOthersReadWithItsTextChunks)
{
    if (!havePillow()) GTEST_SKIP() << "Pillow is missing";
    const fs::path picture = pictures / "wide photo.bmp";
    browsertest::writeBmp(picture, 300, 150, 200);
    ageFile(picture);
    EXPECT_EQ(load(picture, request()), ThumbnailSource::Decoded);

    const fs::path written = cacheFileOf(picture);
    struct stat info {};
    ASSERT_EQ(stat(written.c_str(), &info), 0) << written;
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(stat(written.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    std::string output;
    ASSERT_EQ(testsupport::run(python + " -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                                        "print(im.format, im.size[0], im.size[1], im.getpixel((5, 5))[:3]); "
                                        "print(im.text['Thumb::URI']); print(im.text['Thumb::MTime']); "
                                        "print(im.text['Thumb::Image::Width'], im.text['Thumb::Image::Height'])\" '" +
                                        written.string() + "'",
                               &output),
              0);
    EXPECT_EQ(output, "PNG 128 64 (200, 200, 200)\n" + uriOf(picture) + "\n1500000000\n300 150\n");
    // No temporary is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(written.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(ThumbnailCache, AValidEntryIsReadAndAStaleOneIsMadeAgain)
{
    const fs::path picture = pictures / "photo.bmp";
    browsertest::writeBmp(picture, 200, 100, 50);
    ageFile(picture);
    EXPECT_EQ(load(picture, request()), ThumbnailSource::Decoded);
    FileInfo info{};
    EXPECT_EQ(load(picture, request(), nullptr, &info), ThumbnailSource::Cache);
    // The list's texts come from what the cache kept, without opening the picture.
    EXPECT_EQ(info.width, 200);
    EXPECT_EQ(info.height, 100);
    EXPECT_EQ(info.planes * info.bitsPerPlane, 24);
    EXPECT_STREQ(formatShortName(info.formatIndex), "bmp");
    freeFileInfo(info);

    // Same size, another colour, another time: the entry is stale.
    browsertest::writeBmp(picture, 200, 100, 220);
    ageFile(picture, 1600000000);
    Bitmap thumb;
    EXPECT_EQ(load(picture, request(), &thumb), ThumbnailSource::Decoded);
    EXPECT_EQ(bitmapRow(thumb, 10)[10], 220);
    bitmapFree(thumb);
    EXPECT_EQ(load(picture, request(), &thumb), ThumbnailSource::Cache);
    EXPECT_EQ(bitmapRow(thumb, 10)[10], 220);
    bitmapFree(thumb);

    // Rewritten within the same second: the size kept with it tells.
    browsertest::writeBmp(picture, 210, 100, 90);
    ageFile(picture, 1600000000);
    EXPECT_EQ(load(picture, request(), &thumb), ThumbnailSource::Decoded);
    EXPECT_NEAR(bitmapRow(thumb, 10)[10], 90, 2);  // 210 columns average unevenly into the cell
    bitmapFree(thumb);
}

TEST_F(ThumbnailCache, LargeCellsUseTheLargeFolder)
{
    const fs::path picture = pictures / "big.bmp";
    browsertest::writeBmp(picture, 600, 400);
    ageFile(picture);
    EXPECT_EQ(load(picture, request(200)), ThumbnailSource::Decoded);
    EXPECT_TRUE(fs::exists(cacheFileOf(picture, "large")));
    EXPECT_FALSE(fs::exists(cacheFileOf(picture, "normal")));
    EXPECT_EQ(load(picture, request(200)), ThumbnailSource::Cache);
}

TEST_F(ThumbnailCache, AnotherProgramsEntryIsUsed)
{
    if (!havePillow()) GTEST_SKIP() << "Pillow is missing";
    const fs::path picture = pictures / "shot.bmp";
    browsertest::writeBmp(picture, 320, 240, 10);
    ageFile(picture, 1234567890);
    const fs::path entry = cacheFileOf(picture);
    fs::create_directories(entry.parent_path());
    // Red, with half of it transparent, and only the chunks the desktop requires.
    const fs::path script = pictures / "make.py";
    std::ofstream(script) << "import sys\nfrom PIL import Image, PngImagePlugin\n"
                             "im = Image.new('RGBA', (128, 96), (255, 0, 0, 255))\n"
                             "im.paste((0, 0, 255, 0), (64, 0, 128, 96))\n"
                             "meta = PngImagePlugin.PngInfo()\n"
                             "meta.add_text('Thumb::URI', sys.argv[2])\n"
                             "meta.add_text('Thumb::MTime', '1234567890')\n"
                             "im.save(sys.argv[1], pnginfo=meta)\n";
    ASSERT_EQ(testsupport::run(python + " '" + script.string() + "' '" + entry.string() + "' '" + uriOf(picture) + "'"),
              0);
    Bitmap thumb;
    FileInfo info{};
    EXPECT_EQ(load(picture, request(64), &thumb, &info), ThumbnailSource::Cache);
    ASSERT_EQ(thumb.width, 64);
    ASSERT_EQ(thumb.height, 48);
    const uint8_t* row = bitmapRow(thumb, 20);
    EXPECT_EQ(row[3 * 5], 255);  // red
    EXPECT_EQ(row[3 * 5 + 2], 0);
    EXPECT_EQ(row[3 * 60], 255);  // transparent: white
    EXPECT_EQ(row[3 * 60 + 1], 255);
    bitmapFree(thumb);
    // The foreign entry holds no dimensions of ours: the picture's header gives them.
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);
    freeFileInfo(info);

    // The same entry for another time or another file is not used.
    ageFile(picture, 1234567891);
    EXPECT_EQ(load(picture, request(64)), ThumbnailSource::Decoded);
}

TEST_F(ThumbnailCache, DamagedEntriesAndUnwritableFoldersNeverStopAThumbnail)
{
    const fs::path picture = pictures / "a.bmp";
    browsertest::writeBmp(picture, 90, 90);
    ageFile(picture);
    const fs::path entry = cacheFileOf(picture);
    fs::create_directories(entry.parent_path());
    testsupport::writeFile(entry, std::string("\x89PNG\r\n\x1a\n garbage", 17));
    EXPECT_EQ(load(picture, request()), ThumbnailSource::Decoded);
    EXPECT_EQ(load(picture, request()), ThumbnailSource::Cache);  // made again, whole

    // A cache root below a plain file cannot be made.
    testsupport::writeFile(cache / "file", std::string("x"));
    ThumbnailRequest blocked = request();
    blocked.cacheRoot = (cache / "file" / "thumbnails").string();
    EXPECT_EQ(load(picture, blocked), ThumbnailSource::Decoded);
    EXPECT_EQ(load(picture, blocked), ThumbnailSource::Decoded);

    // A folder that refuses writing (root ignores modes, so the folder is a file).
    ThumbnailRequest readOnly = request();
    testsupport::TempDir other;
    testsupport::writeFile(other / "normal", std::string("not a folder"));
    readOnly.cacheRoot = other.path().string();
    EXPECT_EQ(load(picture, readOnly), ThumbnailSource::Decoded);
}

TEST_F(ThumbnailCache, FreshFilesAndTheCachesOwnFilesAreNotKept)
{
    const fs::path picture = pictures / "new.bmp";
    browsertest::writeBmp(picture, 50, 50);
    EXPECT_EQ(load(picture, request()), ThumbnailSource::Decoded);
    EXPECT_FALSE(fs::exists(cacheFileOf(picture)));  // it may still change within this second

    fs::create_directories(cache / "normal");
    const fs::path inside = cache / "normal" / "own.bmp";
    browsertest::writeBmp(inside, 50, 50);
    ageFile(inside);
    EXPECT_EQ(load(inside, request()), ThumbnailSource::Decoded);
    EXPECT_FALSE(fs::exists(cacheFileOf(inside)));
}

// The worker reads and writes the cache of the settings folder.
using BrowserThumbCache = browsertest::BrowserWindow;

TEST_F(BrowserThumbCache, TheWorkerKeepsItsThumbnailsOnDisk)
{
    browsertest::writeBmp(dir / "kept.bmp", 100, 80);
    ageFile(dir / "kept.bmp");
    ASSERT_TRUE(NavigateTo(folder()));
    settle();
    ASSERT_EQ(fileCount(), 1);
    EXPECT_EQ(itemText(0, 1), "100x80,16M");
    const fs::path entry = configDir / "thumbnails" / "normal" / (md5Hex(uriOf(dir / "kept.bmp")) + ".png");
    EXPECT_TRUE(fs::exists(entry));
    // A second visit gives the same texts from the cache.
    ASSERT_TRUE(NavigateTo(folder()));
    RefillFileList();
    settle();
    EXPECT_EQ(itemText(0, 1), "100x80,16M");
    EXPECT_EQ(itemText(0, 2), "BMP");
}

}  // namespace
