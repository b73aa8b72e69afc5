// Language files: key search, sections, short values, encodings, long lines,
// opening by code or locale, and relabelling dialog controls.
#include "app/language.h"
#include "app/language_file.h"
#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fotrix;

namespace {

const StringResource kBuiltIn[] = {
    {4086, "Bytes"}, {4091, "Error"}, {4095, "My Pocket PC"}, {4157, "Restart to use the new language."}, {4200, "Next picture"},
};

class LanguageTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    void SetUp() override
    {
        RegisterStringTable(kBuiltIn, static_cast<int>(std::size(kBuiltIn)));
        SetLanguageFolder(dir.path().c_str());
    }
    void TearDown() override
    {
        CloseLanguage();
        SetLanguageFolder(nullptr);
    }
    void write(const char* name, const std::string& text) { testsupport::writeFile(dir / name, text); }
};

TEST_F(LanguageTest, strings_come_from_the_file_with_the_built_in_table_behind)
{
    write("fr.lng", "Language=Francais\r\n[Menu]\r\nIDS_ERROR=not here\r\n[String]\r\nids_error = Erreur  \r\nIDS_BYTES=\tOctets\r\n"
                    "IDS_TWO=Ligne un\\nLigne deux\r\n[DlgAbout]\r\nIDS_TREEROOT=Mon Pocket PC\r\n");
    ASSERT_EQ(OpenLanguage("fr"), 1);
    EXPECT_STREQ(CurrentLanguage(), "fr");
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Erreur");
    EXPECT_EQ(Tr(4086, "IDS_BYTES"), "Octets");
    EXPECT_EQ(Tr(0, "IDS_TWO"), "Ligne un\r\nLigne deux");
    // Keys in another section do not count; the built-in string remains.
    EXPECT_EQ(Tr(4095, "IDS_TREEROOT"), "My Pocket PC");
    EXPECT_EQ(Tr(4200, "IDS_NEXTIMAGE"), "Next picture");
    char small[5];
    EXPECT_EQ(Tr(GetModuleHandle(nullptr), 4091, "IDS_ERROR", small, sizeof small), 4);
    EXPECT_STREQ(small, "Erre");
}

TEST_F(LanguageTest, a_value_shorter_than_two_characters_counts_as_missing)
{
    write("xx.lng", "x=y\n[String]\nIDS_ERROR=E\nIDS_ERROR=Er\nIDS_BYTES=\n");
    ASSERT_EQ(OpenLanguage("xx"), 1);
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Er");
    EXPECT_EQ(Tr(4086, "IDS_BYTES"), "Bytes");
}

TEST_F(LanguageTest, a_longer_header_that_comes_first_is_taken_for_the_section)
{
    write("xx.lng", "x=y\n[StringX]\nIDS_ERROR=From StringX\n[String]\nIDS_BYTES=From String\n");
    ASSERT_EQ(OpenLanguage("xx"), 1);
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "From StringX");
    // The search ends at the next header, so the real section is never reached.
    EXPECT_EQ(Tr(4086, "IDS_BYTES"), "Bytes");
}

TEST_F(LanguageTest, windows_1252_files_and_byte_order_marks_are_read)
{
    write("de.lng", "Sprache=Deutsch\n[String]\nIDS_ERROR=Gr\xFC\xDF" "e \x80\n");
    ASSERT_EQ(OpenLanguage("de"), 1);
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");
    write("es.lng", "\xEF\xBB\xBFIdioma=Espa\xC3\xB1ol\n[String]\nIDS_ERROR=Error \xC3\xB1\n");
    ASSERT_EQ(OpenLanguage("es"), 1);
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Error \xC3\xB1");
}

TEST_F(LanguageTest, the_rest_of_an_overlong_line_never_becomes_an_entry)
{
    std::string first = "IDS_BYTES=" + std::string(kLanguageLineLimit - 10, 'x');
    write("xx.lng", "x=y\n[String]\n" + first + "IDS_ERROR=forged\n");
    ASSERT_EQ(OpenLanguage("xx"), 1);
    EXPECT_EQ(Tr(4086, "IDS_BYTES"), std::string(kLanguageLineLimit - 10, 'x'));
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Error");
}

TEST_F(LanguageTest, opening_by_code_falls_back_to_english_and_refuses_paths)
{
    write("fr.lng", "Language=Francais\n[String]\nIDS_ERROR=Erreur\n");
    EXPECT_EQ(OpenLanguage("FR"), 1);
    EXPECT_STREQ(CurrentLanguage(), "fr");
    EXPECT_EQ(OpenLanguage("it"), 0);
    EXPECT_STREQ(CurrentLanguage(), "en");
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Error");
    testsupport::writeFile(dir.path().parent_path() / "escape.lng", std::string("x=y\n[String]\nIDS_ERROR=outside\n"));
    std::string outside = "../" + dir.path().filename().string() + "/../escape";
    EXPECT_EQ(OpenLanguage(outside.c_str()), 0);
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Error");
    std::filesystem::remove(dir.path().parent_path() / "escape.lng");
}

TEST_F(LanguageTest, empty_setting_opens_the_language_of_the_locale)
{
    write("fr.lng", "Language=Francais\n[String]\nIDS_ERROR=Erreur\n");
    const char* oldAll = std::getenv("LC_ALL");
    std::string saved = oldAll ? oldAll : "";
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(SystemLanguage(), "fr");
    EXPECT_EQ(OpenLanguage(""), 1);
    EXPECT_STREQ(CurrentLanguage(), "fr");
    EXPECT_EQ(Tr(4091, "IDS_ERROR"), "Erreur");
    if (oldAll) setenv("LC_ALL", saved.c_str(), 1);
    else unsetenv("LC_ALL");
}

TEST_F(LanguageTest, set_language_compares_two_characters_and_keeps_two)
{
    write("fr.lng", "Language=Francais\n");
    OpenLanguage("fr");
    EXPECT_EQ(SetLanguage("fr_CA"), 0);
    EXPECT_STREQ(CurrentLanguage(), "fr");
    EXPECT_EQ(SetLanguage("de_AT"), 1);
    EXPECT_STREQ(CurrentLanguage(), "de");
    EXPECT_EQ(SetLanguage("DE"), 1);  // case counts
    EXPECT_STREQ(CurrentLanguage(), "DE");
}

TEST_F(LanguageTest, language_list_reads_the_first_line_of_each_file)
{
    write("fr.lng", "Language=Francais\r\n[String]\n");
    write("es.lng", "Idioma = Espanol\n");
    write("de.lng", "Deutsch\n");
    write("it.lng", "Lingua=\n");
    std::filesystem::create_directory(dir / "nl.lng");
    OpenLanguage("fr");
    int selected = -1;
    std::vector<LanguageChoice> list = ListLanguages(&selected);
    std::vector<std::string> labels;
    for (const LanguageChoice& c : list) labels.push_back(c.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"en - English", "es - = Espanol", "fr - Francais"}));
    EXPECT_EQ(selected, 2);
    OpenLanguage("zz");
    ListLanguages(&selected);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(languageNameOf("  Lang\tName here\r"), "Name here");
    EXPECT_EQ(languageNameOf("OnlyOneWord"), "");
}

class DialogLanguageTest : public LanguageTest {
protected:
    void SetUp() override
    {
        LanguageTest::SetUp();
        ASSERT_TRUE(platformtest::startHeadless());
    }
    void TearDown() override
    {
        PlatformShutdown();
        LanguageTest::TearDown();
    }
};

TEST_F(DialogLanguageTest, dialog_controls_take_their_section_texts)
{
    write("fr.lng", "Language=Francais\n[DlgAbout]\nIDC_TEXT=Une ligne\\net une autre\nIDCANCEL=Annuler\n[DlgCapture]\nIDC_TDELAY=Delai\n");
    ASSERT_EQ(OpenLanguage("fr"), 1);
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "LanguageTestWindow";
    RegisterClass(&wc);
    HWND dialog = CreateWindowEx(0, "LanguageTestWindow", "About", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    auto control = [&](int id, const char* text) {
        return CreateWindowEx(0, "LanguageTestWindow", text, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    };
    HWND text = control(100, "Built-in text");
    HWND cancel = control(IDCANCEL, "Cancel");
    HWND delay = control(101, "Delay");
    BeginDialogSection("DlgAbout");
    SetDlgItemTr(dialog, 100, "IDC_TEXT");
    SetDlgItemTr(dialog, IDCANCEL, "IDCANCEL");
    SetDlgItemTr(dialog, 101, "IDC_TDELAY");  // only in another section
    char buffer[64];
    GetWindowText(text, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Une ligne\r\net une autre");
    GetWindowText(cancel, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Annuler");
    GetWindowText(delay, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Delay");
    BeginDialogSection("DlgMissing");
    SetDlgItemTr(dialog, IDCANCEL, "IDCANCEL");
    SetWindowText(cancel, "Cancel");
    SetDlgItemTr(dialog, IDCANCEL, "IDCANCEL");
    GetWindowText(cancel, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Cancel");
    DestroyWindow(dialog);
}

}  // namespace

namespace {

// Damaged language files: every prefix and many one-byte changes of a real
// file load and answer without faults (the sanitizer build checks that).
TEST(LanguageFile, cut_and_changed_files_are_read_safely)
{
    testsupport::TempDir dir;
    const std::string text = "Language=Francais\r\n[String]\r\nIDS_ERROR = Erreur\\n\r\n[DlgAbout]\r\nIDC_TEXT=\xC3\xA9t\xC3\xA9\r\n";
    const char replacements[] = {'[', '=', '\n', '\r', '\\', '\0', '\xC3', '\xFF'};
    std::string path = (dir / "x.lng").string();
    auto probe = [&](const std::string& content) {
        testsupport::writeFile(path, content);
        std::vector<std::string> lines;
        ASSERT_TRUE(languageLoadLines(path, lines));
        std::string value;
        languageFindKey(lines, languageFindSection(lines, "String"), "IDS_ERROR", value);
        languageFindKey(lines, languageFindSection(lines, "DlgAbout"), "IDC_TEXT", value);
        if (!lines.empty()) languageNameOf(lines[0]);
    };
    for (size_t n = 0; n <= text.size(); ++n) probe(text.substr(0, n));
    for (size_t i = 0; i < text.size(); i += 3)
        for (char c : replacements) {
            std::string changed = text;
            changed[i] = c;
            probe(changed);
        }
    std::vector<std::string> lines;
    EXPECT_FALSE(languageLoadLines((dir / "missing.lng").string(), lines));
}

}  // namespace
