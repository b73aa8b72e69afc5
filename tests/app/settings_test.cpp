// The settings store: defaults for everything missing or malformed, capacities
// in characters, sections, and what happens when the store cannot be written.
#include "app/settings.h"
#include "tests/support/registry_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fotrix;

namespace {

class SettingsTest : public testsupport::RegistryFixture {};

std::vector<std::string> debugLines;
void catchDebug(const char* text) { debugLines.push_back(text); }

TEST_F(SettingsTest, fresh_device_reads_defaults_and_first_write_creates_the_keys)
{
    EXPECT_EQ(ReadNumber("General", "SlideDelay", 2), 2);
    EXPECT_EQ(ReadNumber("General", "Fit", -1), -1);
    std::string text = "left over";
    ReadText(nullptr, "Path", "", text, 260);
    EXPECT_EQ(text, "");
    ReadText("General", "Home", "\\My Documents\\", text, 260);
    EXPECT_EQ(text, "\\My Documents\\");
    EXPECT_FALSE(std::filesystem::exists(dir / "user.reg"));  // reading writes nothing

    EXPECT_EQ(WriteNumber("General", "Mode", 3), ERROR_SUCCESS);
    EXPECT_EQ(WriteText(nullptr, "Language", "fr"), ERROR_SUCCESS);
    RegistryReset();
    EXPECT_EQ(ReadNumber("General", "Mode", 0), 3);
    ReadText(nullptr, "Language", "", text, 64);
    EXPECT_EQ(text, "fr");
    HKEY key;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Fotrix Pocket\\General", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(SettingsTest, values_of_the_wrong_type_read_as_the_default)
{
    WriteNumber("General", "Home", 5);
    WriteText("General", "ThumbSize", "3");
    std::string home;
    ReadText("General", "Home", "\\My Documents\\", home, 260);
    EXPECT_EQ(home, "\\My Documents\\");
    EXPECT_EQ(ReadNumber("General", "ThumbSize", 2), 2);
    // A section that exists without the value, and a value in another section.
    EXPECT_EQ(ReadNumber("General", "Missing", 9), 9);
    EXPECT_EQ(ReadNumber("Slide", "Home", 4), 4);
}

TEST_F(SettingsTest, numbers_keep_their_sign_and_all_32_bits)
{
    WriteNumber("General", "Fit", -1);
    WriteNumber("General", "Sort", 0x1000 | 3);
    WriteNumber("General", "Big", INT32_MIN);
    EXPECT_EQ(ReadNumber("General", "Fit", 7), -1);
    EXPECT_EQ(ReadNumber("General", "Sort", 0), 0x1003);
    EXPECT_EQ(ReadNumber("General", "Big", 0), INT32_MIN);
}

TEST_F(SettingsTest, texts_fit_when_shorter_than_the_capacity_counted_in_characters)
{
    std::string path259(259, 'p'), path260(260, 'p');
    WriteText(nullptr, "Path", path259.c_str());
    std::string out;
    ReadText(nullptr, "Path", "", out, 260);
    EXPECT_EQ(out, path259);
    WriteText(nullptr, "Path", path260.c_str());
    ReadText(nullptr, "Path", "default", out, 260);
    EXPECT_EQ(out, "default");
    // 259 accented letters are 518 bytes but still 259 characters.
    std::string accents;
    for (int i = 0; i < 259; ++i) accents += "\xC3\xA9";
    WriteText(nullptr, "Path", accents.c_str());
    ReadText(nullptr, "Path", "", out, 260);
    EXPECT_EQ(out, accents);
    WriteText("Folder", "Suffix", std::string(64, 's').c_str());
    ReadText("Folder", "Suffix", "_m", out, 64);
    EXPECT_EQ(out, "_m");
    ReadText("Folder", "Suffix", "_m", out, 0);
    EXPECT_EQ(out, "_m");
}

TEST_F(SettingsTest, sections_may_be_nested_keys)
{
    WriteText("Favorites\\Holidays", "Path", "/pics/holidays/");
    std::string out;
    ReadText("Favorites\\Holidays", "Path", "", out, 260);
    EXPECT_EQ(out, "/pics/holidays/");
    HKEY key;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Fotrix Pocket\\Favorites", 0, KEY_READ, &key), ERROR_SUCCESS);
    char name[32];
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Holidays");
    RegCloseKey(key);
}

TEST_F(SettingsTest, failed_number_store_writes_the_debug_line_and_keeps_the_old_value)
{
    WriteNumber("General", "Mode", 2);
    debugLines.clear();
    SetDebugOutputHook(catchDebug);
    std::string hugeName(kRegMaxValueName + 1, 'N');
    EXPECT_NE(WriteNumber("General", hugeName.c_str(), 1), ERROR_SUCCESS);
    SetDebugOutputHook(nullptr);
    ASSERT_EQ(debugLines.size(), 1u);
    EXPECT_EQ(debugLines[0], "Pb : <" + hugeName + "> \n");
    EXPECT_EQ(ReadNumber("General", "Mode", 0), 2);
}

TEST_F(SettingsTest, key_that_cannot_be_created_writes_nothing_and_says_so)
{
    testsupport::writeFile(dir / "not-a-folder", std::string("x"));
    setenv("FOTRIX_CONFIG_DIR", (dir / "not-a-folder").c_str(), 1);
    RegistryReset();
    debugLines.clear();
    SetDebugOutputHook(catchDebug);
    EXPECT_NE(WriteNumber("General", "Mode", 1), ERROR_SUCCESS);
    EXPECT_NE(WriteText(nullptr, "Path", "/x/"), ERROR_SUCCESS);
    SetDebugOutputHook(nullptr);
    EXPECT_TRUE(debugLines.empty());
    EXPECT_EQ(ReadNumber("General", "Mode", 4), 4);
}

}  // namespace
