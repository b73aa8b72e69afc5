// File search on a temporary tree: the size filter's rounding, the name
// text, the type pattern, picture extensions only, sub-folders depth first,
// a link loop, and the dialog showing what it found in the browser.
#include "app/tools/search_tool.h"

#include <algorithm>
#include "imagelib/formats.h"
#include "tests/app/tools_sheet_fixture.h"

#include <filesystem>
#include <fstream>

using namespace fotrix;
using namespace toolstest;

namespace {

TEST(SearchSizeFilter, CountsWholeKilobytes)
{
    EXPECT_TRUE(PassesSizeFilter(51700, 1));   // counts as 51200: "< 50K"
    EXPECT_FALSE(PassesSizeFilter(51700, 2));  // and so not "> 50K"
    EXPECT_FALSE(PassesSizeFilter(52224, 1));
    EXPECT_TRUE(PassesSizeFilter(52224, 2));
    EXPECT_TRUE(PassesSizeFilter(103423, 3));  // 102400 is at most 100K
    EXPECT_TRUE(PassesSizeFilter(205824, 6));
    EXPECT_FALSE(PassesSizeFilter(204800, 6));
    EXPECT_TRUE(PassesSizeFilter(10'000'000, 0));
}

class SearchTree : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    void SetUp() override
    {
        libraryInit();
        file("top.jpg", 10);
        file("Trip.png", 10);
        file("trip.txt", 10);
        file("sub/trip1.jpg", 60000);
        file("sub/deeper/trip2.gif", 10);
        file("other/trip3.jpg", 10);
    }
    void TearDown() override { libraryExit(); }
    void file(const std::string& name, size_t size)
    {
        std::filesystem::create_directories((dir / name).parent_path());
        testsupport::writeFile(dir / name, std::string(size, 'x'));
    }
    std::vector<std::string> names(const SearchCriteria& c)
    {
        std::vector<std::string> out;
        for (const std::string& path : SearchFiles(c)) out.push_back(path.substr(dir.path().string().size() + 1));
        return out;
    }
    SearchCriteria criteria() const
    {
        SearchCriteria c;
        c.folder = dir.path().string() + "/";
        return c;
    }
};

TEST_F(SearchTree, MatchesPicturesByCaseSensitiveNameInTheFolderOnly)
{
    SearchCriteria c = criteria();
    c.contains = "rip";
    EXPECT_EQ(names(c), std::vector<std::string>{"Trip.png"});
    c.contains = "trip";
    EXPECT_TRUE(names(c).empty());  // trip.txt is no picture
}

TEST_F(SearchTree, SubFoldersFollowTheirFolderDepthFirst)
{
    SearchCriteria c = criteria();
    c.contains = "trip";
    c.subFolders = true;
    auto found = names(c);
    ASSERT_EQ(found.size(), 3u);
    // Each folder's files come before its sub-folders; sub-folders are searched whole.
    auto at = [&](const char* n) { return std::find(found.begin(), found.end(), n) - found.begin(); };
    EXPECT_LT(at("sub/trip1.jpg"), at("sub/deeper/trip2.gif"));
    EXPECT_EQ(std::abs(at("sub/trip1.jpg") - at("sub/deeper/trip2.gif")), 1);
    EXPECT_LT(at("other/trip3.jpg"), 3);
}

TEST_F(SearchTree, TypeAndSizeFiltersNarrowTheResult)
{
    SearchCriteria c = criteria();
    c.subFolders = true;
    c.typeIndex = 1;  // JPEG
    c.sizeIndex = 2;  // > 50K
    EXPECT_EQ(names(c), std::vector<std::string>{"sub/trip1.jpg"});
    c.sizeIndex = 1;
    auto small = names(c);
    EXPECT_EQ(small.size(), 2u);
}

TEST_F(SearchTree, ALinkLoopEnds)
{
    std::error_code error;
    std::filesystem::create_directory_symlink(dir.path(), dir / "sub" / "loop", error);
    if (error) GTEST_SKIP() << "no symbolic links";
    SearchCriteria c = criteria();
    c.subFolders = true;
    c.contains = "top";
    EXPECT_EQ(names(c), std::vector<std::string>{"top.jpg"});
}

class SearchDialog : public ToolsWindow {};

TEST_F(SearchDialog, ShowsTheFilesFoundInTheBrowser)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg", "trip1.jpg"});
    std::filesystem::create_directories(dir / "pictures" / "sub");
    ASSERT_EQ(std::system(("convert -size 8x8 xc:red '" + (dir / "pictures" / "sub" / "trip2.png").string() + "'").c_str()), 0);
    std::string st = (dir / "s.txt").string();
    runScript("command 4227\ndialog-text 1219 \"trip\"\ndialog-check 1152 1\ndialog-command 1080\nstate " +
              (dir / "ask.txt").string() + "\ndialog-command 1\nidle\nstate " + st);
    EXPECT_EQ(stateValue("ask.txt", "message"), "Show the files found in the browser?");
    EXPECT_EQ(stateValue("s.txt", "items"), "2");
    std::ifstream in(dir / "s.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("item: 0 trip1.jpg"), std::string::npos) << text;
    EXPECT_NE(text.find("item: 1 trip2.png"), std::string::npos) << text;
}

TEST_F(SearchDialog, FindingNothingAsksNothing)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg"});
    runScript("command 4227\ndialog-text 1219 \"zzz\"\ndialog-command 1080\nstate " + (dir / "s.txt").string() +
              "\ndialog-command 2");
    EXPECT_EQ(stateValue("s.txt", "message"), "");
    EXPECT_EQ(stateValue("s.txt", "items"), "1");
}

}  // namespace
