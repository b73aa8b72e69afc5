// The sixth sort key: the EXIF date taken, and the file's date for pictures without one.
#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>
#include <string>

#include "app/browser/date_taken.h"
#include "app/browser/file_scan.h"
#include "app/browser/file_sort.h"
#include "app/shell/app_state.h"
#include "imagelib/formats.h"
#include "tests/support/test_support.h"

namespace {

using namespace fotrix;
namespace fs = std::filesystem;

// A JPEG with DateTimeOriginal set by exiftool; false when the tools are missing.
bool makeJpeg(const fs::path& path, const char* dateTaken)
{
    if (testsupport::run("/usr/bin/convert -size 16x16 xc:gray '" + path.string() + "' 2>/dev/null") != 0) return false;
    if (!dateTaken) return true;
    return testsupport::run(std::string("exiftool -q -overwrite_original '-DateTimeOriginal=") + dateTaken + "' '" +
                            path.string() + "' >/dev/null 2>&1") == 0;
}

void setFileTime(const fs::path& path, time_t when)
{
    struct utimbuf times {when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

TEST(DateTaken, ExifDatesAreReadAsLocalTimeAndBadOnesIgnored)
{
    std::tm expected{};
    expected.tm_year = 2021 - 1900;
    expected.tm_mon = 4;
    expected.tm_mday = 6;
    expected.tm_hour = 7;
    expected.tm_min = 8;
    expected.tm_sec = 9;
    expected.tm_isdst = -1;
    EXPECT_EQ(ParseExifDate("2021:05:06 07:08:09"), static_cast<int64_t>(std::mktime(&expected)));
    for (const char* bad : {"", "0000:00:00 00:00:00", "2021:13:06 07:08:09", "2021-05-06 07:08:09",
                            "2021:05:06 07:08:09x", "2021:05:06"})
        EXPECT_EQ(ParseExifDate(bad), 0) << bad;
}

TEST(DateTaken, TheSixthKeySortsByDateTakenThenByFileDate)
{
    if (testsupport::run("command -v exiftool >/dev/null && test -x /usr/bin/convert") != 0)
        GTEST_SKIP() << "exiftool or ImageMagick is missing";
    libraryInit();
    testsupport::TempDir dir;
    // File dates run the other way from the dates taken.
    ASSERT_TRUE(makeJpeg(dir / "new-shot.jpg", "2010:01:01 10:00:00"));
    ASSERT_TRUE(makeJpeg(dir / "old-shot.jpg", "2005:06:07 08:09:10"));
    ASSERT_TRUE(makeJpeg(dir / "no-exif.jpg", nullptr));
    setFileTime(dir / "new-shot.jpg", 1000000000);   // 2001
    setFileTime(dir / "old-shot.jpg", 1600000000);   // 2020
    setFileTime(dir / "no-exif.jpg", 1200000000);    // 2008: between the two dates taken
    EXPECT_GT(ReadDateTaken((dir / "new-shot.jpg").string()), ReadDateTaken((dir / "old-shot.jpg").string()));
    EXPECT_EQ(ReadDateTaken((dir / "no-exif.jpg").string()), 0);

    std::vector<FileEntry> files;
    const std::string folder = dir.path().string() + "/";
    ScanFolder(folder, false, files);
    ASSERT_EQ(files.size(), 3u);
    auto names = [&] {
        std::string joined;
        for (const FileEntry& e : files) joined += fs::path(e.path).filename().string() + " ";
        return joined;
    };
    SortEntries(files, SortByDateTaken);
    EXPECT_EQ(names(), "old-shot.jpg no-exif.jpg new-shot.jpg ");
    SortEntries(files, SortByDateTaken | kSortDescending);
    EXPECT_EQ(names(), "new-shot.jpg no-exif.jpg old-shot.jpg ");
    SortEntries(files, SortByDate);
    EXPECT_EQ(names(), "new-shot.jpg no-exif.jpg old-shot.jpg ");
}

}  // namespace
