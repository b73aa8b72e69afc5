// The shipped language files, the start-screen resource and the artwork.
#include "app/language.h"
#include "app/resources/art/icon_art.h"
#include "app/resources/art/tool_art.h"
#include "app/resources/menus.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources.h"
#include "app/resources/texts.h"
#include "archive/zip.h"
#include "platform/dialog/dialog.h"
#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

using namespace fotrix;

namespace {

const std::string kLanguages = std::string(FOTRIX_SOURCE_DIR) + "/app/languages/";

std::vector<std::string> fileLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Keys of one section ("[Menu]" ...) of a language file.
std::set<std::string> sectionKeys(const std::string& path, const std::string& section)
{
    std::set<std::string> keys;
    bool inside = false;
    for (const std::string& line : fileLines(path)) {
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        size_t eq = line.find('=');
        if (inside && eq != std::string::npos) keys.insert(line.substr(0, eq));
    }
    return keys;
}

// Strict UTF-8: no stray continuation bytes, overlong forms or surrogates.
bool validUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra == 1 && c < 0xC2) || i + extra >= s.size() + (extra ? 0 : 1)) return false;
        for (int k = 1; k <= extra; ++k)
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

class LanguageFiles : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platformtest::startHeadless());
        RegisterAppResources();
        SetLanguageFolder(kLanguages.c_str());
    }
    void TearDown() override
    {
        CloseLanguage();
        SetLanguageFolder(nullptr);
        PlatformShutdown();
    }
    std::string path() const { return kLanguages + GetParam() + ".lng"; }
};

}  // namespace

TEST_P(LanguageFiles, hold_every_string_key_and_only_real_menu_texts)
{
    std::set<std::string> strings = sectionKeys(path(), "String");
    for (const BuiltInText& text : BuiltInTexts()) EXPECT_TRUE(strings.count(text.key)) << GetParam() << " " << text.key;
    std::set<std::string> builtIn;
    for (const char* text : BuiltInMenuTexts()) builtIn.insert(text);
    std::set<std::string> menu = sectionKeys(path(), "Menu");
    EXPECT_GT(menu.size(), 60u);
    for (const std::string& key : menu) EXPECT_TRUE(builtIn.count(key)) << GetParam() << " [Menu] " << key;
    for (const char* section : {"DlgOption1", "DlgOption2", "DlgOption3", "DlgOption4", "DlgOption5", "DlgOption6", "DlgAbout"})
        EXPECT_FALSE(sectionKeys(path(), section).empty()) << section;
}

TEST_P(LanguageFiles, are_utf8_and_load_through_open_language)
{
    std::ifstream in(path(), std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    EXPECT_TRUE(validUtf8(whole.str())) << GetParam();
    ASSERT_EQ(OpenLanguage(GetParam()), 1);
    EXPECT_STREQ(CurrentLanguage(), GetParam());
    // Every string the file gives replaces the built-in one (en repeats them).
    int translated = 0;
    for (const BuiltInText& text : BuiltInTexts()) {
        std::string value = Tr(TextId{text.number, text.key});
        for (size_t at; (at = value.find("\r\n")) != std::string::npos;) value.erase(at, 1);  // file line breaks
        translated += value != text.english;
    }
    if (std::string(GetParam()) == "en")
        EXPECT_EQ(translated, 0);
    else
        EXPECT_GT(translated, 90);
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFiles, ::testing::Values("en", "fr", "de"));

TEST(LanguageFileTexts, french_and_german_samples)
{
    ASSERT_TRUE(platformtest::startHeadless());
    RegisterAppResources();
    SetLanguageFolder(kLanguages.c_str());
    ASSERT_EQ(OpenLanguage("fr"), 1);
    EXPECT_EQ(Tr(kIdsError), "Erreur");
    EXPECT_EQ(Tr(kIdsWizard1), "Parcourir\r\nles images");
    ASSERT_EQ(OpenLanguage("de"), 1);
    EXPECT_EQ(Tr(kIdsTreeRoot), "Mein Pocket PC");
    CloseLanguage();
    SetLanguageFolder(nullptr);
    PlatformShutdown();
}

TEST(SplashResource, is_a_zip_whose_first_member_is_a_stored_240x320_8bit_bmp)
{
    RegisterAppResources();
    const std::vector<uint8_t>* zip = FindRawResource(kSplashType, kSplashResource);
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(FindRawResource(kSplashType, 178), nullptr);
    ZipHandle* handle = zipOpenMemory(zip->data(), zip->size());
    ASSERT_NE(handle, nullptr);
    ZipEntry entry;
    ASSERT_EQ(zipGetEntry(handle, 0, entry), 0u);
    EXPECT_EQ(entry.method, 0);
    ASSERT_EQ(entry.size, 1080u + 240 * 320);
    std::vector<uint8_t> bmp(entry.size);
    ASSERT_EQ(zipExtractToMemory(handle, 0, bmp), 0u);
    zipCloseReader(handle);
    auto u16 = [&](size_t at) { return bmp[at] | bmp[at + 1] << 8; };
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u16(10), 1080);   // rows
    EXPECT_EQ(u16(14), 40);     // header
    EXPECT_EQ(u16(18), 240);
    EXPECT_EQ(u16(22), 320);
    EXPECT_EQ(u16(28), 8);
    EXPECT_EQ(u16(30), 0);      // no compression

    // Other tools agree: Info-ZIP tests the archive, ImageMagick reads the BMP.
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "splash.zip", *zip);
    testsupport::writeFile(dir / "splash.bmp", bmp);
    std::string zipPath = (dir / "splash.zip").string(), bmpPath = (dir / "splash.bmp").string();
    EXPECT_EQ(std::system(("unzip -tq '" + zipPath + "' > /dev/null").c_str()), 0);
    FILE* pipe = popen(("identify -format '%w %h %z %k' '" + bmpPath + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char out[128] = "";
    ASSERT_NE(fgets(out, sizeof out, pipe), nullptr);
    pclose(pipe);
    int w = 0, h = 0, depth = 0, colours = 0;
    ASSERT_EQ(std::sscanf(out, "%d %d %d %d", &w, &h, &depth, &colours), 4) << out;
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 320);
    EXPECT_EQ(depth, 8);
    EXPECT_GT(colours, 16);  // a picture, not a blank
}

TEST(ToolButtonArt, images_use_the_mask_and_each_cell_has_a_picture)
{
    for (int size : {16, 32}) {
        std::vector<uint32_t> normal(6 * size * size), greyed(normal.size());
        art::paintToolButtons(normal.data(), 6 * size, size);
        art::paintToolButtonsDisabled(greyed.data(), 6 * size, size);
        for (int cell = 0; cell < 6; ++cell) {
            int drawn = 0, colourful = 0;
            for (int y = 0; y < size; ++y)
                for (int x = cell * size; x < (cell + 1) * size; ++x) {
                    uint32_t p = normal[y * 6 * size + x], g = greyed[y * 6 * size + x];
                    EXPECT_EQ(p >> 24, 0u);
                    if (p == kToolButtonMask) {
                        EXPECT_EQ(g, kToolButtonMask);
                        continue;
                    }
                    ++drawn;
                    EXPECT_NE(g, kToolButtonMask);
                    EXPECT_TRUE((g >> 16 & 0xFF) == (g & 0xFF) && (g >> 8 & 0xFF) == (g & 0xFF)) << std::hex << g;
                    colourful += (p >> 16 & 0xFF) != (p & 0xFF);
                }
            EXPECT_GT(drawn, size * size / 8) << "cell " << cell << " at " << size;
            EXPECT_LT(drawn, size * size) << "cell " << cell;
            EXPECT_GT(colourful, 0) << "cell " << cell;
        }
    }
}

TEST(AppIconArt, is_transparent_in_the_corners_and_opaque_in_the_middle)
{
    for (int size : {16, 48, 256}) {
        std::vector<uint32_t> icon = art::paintAppIcon(size);
        EXPECT_EQ(icon[0] >> 24, 0u);
        EXPECT_EQ(icon[size * size - 1] >> 24, 0u);
        EXPECT_EQ(icon[(size / 2) * size + size / 2] >> 24, 255u);
    }
    std::vector<std::string> rows = art::appIconArtRows(32);
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(rows[0][0], '.');
    EXPECT_NE(rows[16][16], '.');
}

TEST(AboutDialog, template_is_registered)
{
    RegisterAppResources();
    const DialogTemplate* about = FindDialogTemplate(nullptr, MAKEINTRESOURCE(kDialogAbout));
    ASSERT_NE(about, nullptr);
    ASSERT_GE(about->itemCount, 3);
    EXPECT_STREQ(about->items[0].text, "Fotrix Pocket");
}
