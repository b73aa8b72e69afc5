// The folder scan, the sort orders and the column texts, on real folders.
#include "app/browser/file_scan.h"
#include "app/browser/file_sort.h"
#include "app/browser/file_texts.h"
#include "app/shell/app_state.h"
#include "imagelib/formats.h"
#include "platform/platform.h"
#include "platform/resources/resources.h"
#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace fotrix;

namespace {

std::string folderOf(const std::filesystem::path& p) { return p.string() + "/"; }

std::vector<std::string> namesOf(const std::vector<FileEntry>& files, const std::string& root)
{
    std::vector<std::string> names;
    for (const FileEntry& e : files) names.push_back(e.path.substr(root.size()));
    return names;
}

class BrowserScan : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    void SetUp() override { libraryInit(); }
    void TearDown() override { libraryExit(); }
    void touch(const std::string& name) { testsupport::writeFile(dir / name, std::string("x")); }
};

TEST_F(BrowserScan, ListsPicturesByNameAndExtensionOnly)
{
    for (const char* name : {"a.jpg", ".jpg", "b.jp", "photo.JPEG", "notes.txt", "noext", "show.alb", "c.PNG"})
        touch(name);
    std::filesystem::create_directory(dir / "x.jpg");
    std::vector<FileEntry> files;
    ScanFolder(folderOf(dir.path()), false, files);
    SortEntries(files, SortByName);
    EXPECT_EQ(namesOf(files, folderOf(dir.path())), (std::vector<std::string>{"a.jpg", "c.PNG", "photo.JPEG", "show.alb"}));
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[3].state, EntryAlbum);
    EXPECT_EQ(files[0].state, EntryNoThumbnail);
    EXPECT_EQ(files[0].size, 1u);
}

TEST_F(BrowserScan, RecursiveScanPutsSubFoldersAfterTheFolderAndSurvivesLinkLoops)
{
    std::filesystem::create_directories(dir / "sub" / "deeper");
    touch("z.jpg");
    touch("sub/a.jpg");
    touch("sub/deeper/m.jpg");
    std::filesystem::create_directory_symlink(dir.path(), dir / "sub" / "loop");
    std::vector<FileEntry> files;
    ScanFolder(folderOf(dir.path()), true, files);
    const std::string root = folderOf(dir.path());
    EXPECT_EQ(namesOf(files, root), (std::vector<std::string>{"z.jpg", "sub/a.jpg", "sub/deeper/m.jpg"}));
    SortEntries(files, SortByName);
    EXPECT_EQ(namesOf(files, root), (std::vector<std::string>{"sub/a.jpg", "sub/deeper/m.jpg", "z.jpg"}));

    std::vector<FileEntry> flat;
    ScanFolder(root, false, flat);
    EXPECT_EQ(namesOf(flat, root), (std::vector<std::string>{"z.jpg"}));
}

TEST_F(BrowserScan, UnreadableFolderGivesAnEmptyList)
{
    std::vector<FileEntry> files;
    ScanFolder(folderOf(dir / "missing"), true, files);
    EXPECT_TRUE(files.empty());
}

FileEntry entry(const std::string& path, uint64_t time, uint32_t size = 0, bool folder = false)
{
    FileEntry e;
    e.path = path;
    e.lastWriteTime.dwLowDateTime = static_cast<DWORD>(time);
    e.lastWriteTime.dwHighDateTime = static_cast<DWORD>(time >> 32);
    e.size = size;
    e.attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    return e;
}

std::vector<std::string> paths(const std::vector<FileEntry>& files)
{
    std::vector<std::string> out;
    for (const FileEntry& e : files) out.push_back(e.path);
    return out;
}

TEST(BrowserSort, DateDescendingPutsNewestFirstAndFoldersInFront)
{
    std::vector<FileEntry> files = {entry("/p/old.jpg", 100), entry("/p/b-dir", 50, 0, true),
                                    entry("/p/new.jpg", 300), entry("/p/a-dir", 999, 0, true),
                                    entry("/p/mid.jpg", 200)};
    SortEntries(files, SortByDate | kSortDescending);
    EXPECT_EQ(paths(files), (std::vector<std::string>{"/p/a-dir", "/p/b-dir", "/p/new.jpg", "/p/mid.jpg", "/p/old.jpg"}));
    SortEntries(files, SortByDate);
    EXPECT_EQ(paths(files), (std::vector<std::string>{"/p/a-dir", "/p/b-dir", "/p/old.jpg", "/p/mid.jpg", "/p/new.jpg"}));
}

TEST(BrowserSort, NameIgnoresCaseAndSizeBreaksTiesByPath)
{
    std::vector<FileEntry> files = {entry("/p/b.jpg", 0, 10), entry("/p/A.jpg", 0, 30), entry("/p/c.jpg", 0, 10)};
    SortEntries(files, SortByName);
    EXPECT_EQ(paths(files), (std::vector<std::string>{"/p/A.jpg", "/p/b.jpg", "/p/c.jpg"}));
    SortEntries(files, SortBySize | kSortDescending);
    EXPECT_EQ(paths(files), (std::vector<std::string>{"/p/A.jpg", "/p/c.jpg", "/p/b.jpg"}));
}

TEST(BrowserSort, DimensionsPutThumbnailsFirstAndKeepTheOthersByPathEvenDescending)
{
    std::vector<FileEntry> files = {entry("/p/b.jpg", 0), entry("/p/a.jpg", 0), entry("/p/small.jpg", 0),
                                    entry("/p/big.jpg", 0), entry("/p/wide.jpg", 0)};
    auto made = [](FileEntry& e, int w, int h) { e.state = EntryThumbnail, e.info.width = w, e.info.height = h; };
    made(files[2], 10, 10);
    made(files[3], 100, 100);
    made(files[4], 100, 20);
    SortEntries(files, SortByDimensions);
    EXPECT_EQ(paths(files), (std::vector<std::string>{"/p/small.jpg", "/p/wide.jpg", "/p/big.jpg", "/p/a.jpg", "/p/b.jpg"}));
    SortEntries(files, SortByDimensions | kSortDescending);
    EXPECT_EQ(paths(files), (std::vector<std::string>{"/p/a.jpg", "/p/b.jpg", "/p/big.jpg", "/p/wide.jpg", "/p/small.jpg"}));
}

TEST(BrowserSort, ManyFilesSortQuickly)
{
    // 100,000 entries: a quadratic step would take minutes here.
    std::vector<FileEntry> files;
    for (int i = 0; i < 100000; ++i) files.push_back(entry("/p/" + std::to_string((i * 7919) % 100000) + ".jpg", 0));
    SortEntries(files, SortByName);
    for (size_t i = 1; i < files.size(); ++i) ASSERT_LE(ComparePathsNoCase(files[i - 1].path, files[i].path), 0);
}

class BrowserTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platformtest::startHeadless());
        static const StringResource strings[] = {{4086, "bytes"}, {4087, "KB"}, {4088, "MB"}, {4089, "GB"}};
        RegisterStringTable(strings, 4);
        libraryInit();
    }
    void TearDown() override
    {
        libraryExit();
        PlatformShutdown();
    }
};

TEST_F(BrowserTexts, SizesChangeUnitAtEachPowerOf1024)
{
    EXPECT_EQ(SizeText(0), "0 bytes");
    EXPECT_EQ(SizeText(1023), "1023 bytes");
    EXPECT_EQ(SizeText(1024), "1.00 KB");
    EXPECT_EQ(SizeText(1536000), "1.46 MB");
    EXPECT_EQ(SizeText(1048575), "1024.00 KB");
    EXPECT_EQ(SizeText(1073741824u), "1.00 GB");
    EXPECT_EQ(SizeText(0xFFFFFFFFu), "4.00 GB");
}

TEST_F(BrowserTexts, DimensionsCountColoursBelow24Bits)
{
    FileInfo info{};
    info.width = 640;
    info.height = 480;
    info.planes = 1;
    info.bitsPerPlane = 8;
    EXPECT_EQ(DimensionsText(info), "640x480,256");
    info.bitsPerPlane = 24;
    EXPECT_EQ(DimensionsText(info), "640x480,16M");
    info.bitsPerPlane = 1;
    EXPECT_EQ(DimensionsText(info), "640x480,2");
    info.planes = 4;  // four planes of one bit: 16 colours
    EXPECT_EQ(DimensionsText(info), "640x480,16");
    info.formatIndex = FormatJpeg;
    EXPECT_EQ(TypeText(info), "JPEG");
}

TEST_F(BrowserTexts, DateLeavesOutMidnightAndFollowsTheLocaleOrder)
{
    setenv("TZ", "UTC", 1);
    tzset();
    SYSTEMTIME t{};
    t.wYear = 2024, t.wMonth = 3, t.wDay = 7;
    FILETIME midnight{}, afternoon{};
    SystemTimeToFileTime(&t, &midnight);
    t.wHour = 14, t.wMinute = 5, t.wSecond = 9;
    SystemTimeToFileTime(&t, &afternoon);
    char order[8] = "", dateSep[8] = "", timeSep[8] = "";
    GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_IDATE, order, sizeof order);
    GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDATE, dateSep, sizeof dateSep);
    GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STIME, timeSep, sizeof timeSep);
    ResetDateFormat();
    const std::string d = dateSep, s = timeSep;
    const std::string date = std::string(order) == "0"   ? "03" + d + "07" + d + "2024"
                             : std::string(order) == "2" ? "2024" + d + "03" + d + "07"
                                                         : "07" + d + "03" + d + "2024";
    EXPECT_EQ(DateText(midnight), date);
    EXPECT_EQ(DateText(afternoon), date + " 14" + s + "05");
}

TEST(BrowserNames, DisplayNameDropsFolderAndOptionallyTheExtension)
{
    EXPECT_EQ(DisplayName("/a/b/photo.tar.jpg", true), "photo.tar.jpg");
    EXPECT_EQ(DisplayName("/a/b/photo.tar.jpg", false), "photo.tar");
}

}  // namespace
