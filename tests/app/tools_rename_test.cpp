// Batch rename on a temporary folder: running numbers with their digits,
// numbers that outgrow the digits, a taken name, and the dialog through the
// script driver renaming the selected files and their list entries.
#include "app/tools/rename_tool.h"
#include "tests/app/tools_sheet_fixture.h"

#include <filesystem>
#include <fstream>

using namespace fotrix;
using namespace toolstest;

namespace {

class RenameFolder : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::vector<std::string> make(const std::vector<std::string>& names)
    {
        std::vector<std::string> paths;
        for (const std::string& name : names) {
            testsupport::writeFile(dir / name, name);
            paths.push_back((dir / name).string());
        }
        return paths;
    }
    bool has(const std::string& name) const { return std::filesystem::exists(dir / name); }
    std::string content(const std::string& name) const
    {
        auto bytes = testsupport::readFile(dir / name);
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(RenameFolder, GivesRunningNumbersWithTheirDigits)
{
    auto outcomes = RenameFiles(make({"x.jpg", "y.jpg", "z.jpg"}), "trip", 1, 3, "jpg");
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(content("trip001.jpg"), "x.jpg");
    EXPECT_EQ(content("trip002.jpg"), "y.jpg");
    EXPECT_EQ(content("trip003.jpg"), "z.jpg");
    EXPECT_FALSE(has("x.jpg"));
}

TEST_F(RenameFolder, NumbersGrowBeyondTheDigitCount)
{
    RenameFiles(make({"a.jpg", "b.jpg"}), "trip", 9, 1, "jpg");
    EXPECT_EQ(content("trip9.jpg"), "a.jpg");
    EXPECT_EQ(content("trip10.jpg"), "b.jpg");
}

TEST_F(RenameFolder, AFailedMoveKeepsTheFileAndUsesUpItsNumber)
{
    auto files = make({"a.jpg", "b.jpg", "c.jpg"});
    testsupport::writeFile(dir / "t2.jpg", std::string("taken"));
    auto outcomes = RenameFiles(files, "t", 1, 1, "jpg");
    EXPECT_TRUE(outcomes[0].moved);
    EXPECT_FALSE(outcomes[1].moved);
    EXPECT_TRUE(outcomes[2].moved);
    EXPECT_EQ(content("t2.jpg"), "taken");
    EXPECT_EQ(content("b.jpg"), "b.jpg");
    EXPECT_EQ(content("t3.jpg"), "c.jpg");
}

class RenameDialog : public ToolsWindow {};

TEST_F(RenameDialog, RenamesTheSelectedFilesAndTheirEntries)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    select({1, 3});
    std::string st = (dir / "s.txt").string();
    runScript("command 4162\ndialog-text 1003 \"trip\"\ndialog-text 1007 \"3\"\ndialog-command 1080\nstate " + st);
    EXPECT_TRUE(std::filesystem::exists(picture("a.jpg")));
    EXPECT_TRUE(std::filesystem::exists(picture("trip001.jpg")));
    EXPECT_TRUE(std::filesystem::exists(picture("c.jpg")));
    EXPECT_TRUE(std::filesystem::exists(picture("trip002.jpg")));
    EXPECT_EQ(stateValue("s.txt", "item").substr(0, 8), "0 a.jpg ");
    std::ifstream in(dir / "s.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("item: 1 trip001.jpg"), std::string::npos) << text;
    EXPECT_NE(text.find("item: 3 trip002.jpg"), std::string::npos) << text;
}

TEST_F(RenameDialog, ANameWithASlashRenamesNothing)
{
    if (!hasImageMagick) GTEST_SKIP() << "no ImageMagick";
    makePictures({"a.jpg"});
    select({0});
    runScript("command 4162\ndialog-text 1003 \"../trip\"\ndialog-command 1080\ndialog-command 2");
    EXPECT_TRUE(std::filesystem::exists(picture("a.jpg")));
    EXPECT_FALSE(std::filesystem::exists(dir / "trip01.jpg"));
}

}  // namespace
