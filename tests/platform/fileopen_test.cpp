// The file-open dialog and the folder chooser on a real folder tree.
#include "tests/platform/dialog_fixture.h"
#include "platform/controls/combo.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"

#include <cstring>
#include <filesystem>

using namespace platformtest;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

enum : int { IdFolder = 1100, IdUp = 1101, IdList = 1102, IdName = 1104, IdType = 1106 };

class FileOpen : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        root = dir.path().string() + "/";
        std::filesystem::create_directory(dir / "Albums");
        std::filesystem::create_directory(dir / ".hidden");
        writeFile(dir / "b.JPG", "x");
        writeFile(dir / "a.png", "x");
        writeFile(dir / "notes.txt", "x");
        writeFile(dir / ".secret.jpg", "x");
        writeFile(dir / "Albums" / "trip.alb", "x");
        writeFile(dir / "Albums" / "readme.txt", "x");
        std::memset(file, 'Z', sizeof file);
        file[0] = 0;
        ofn = OPENFILENAME{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = "Pictures\0*.jpg;*.png\0Albums\0*.alb\0";
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = root.c_str();
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    }
    BOOL open(std::vector<Step> steps)
    {
        script(std::move(steps));
        return GetOpenFileName(&ofn);
    }
    static std::vector<std::string> listed(HWND dlg)
    {
        std::vector<std::string> out;
        HWND list = GetDlgItem(dlg, IdList);
        for (LRESULT i = 0; i < SendMessage(list, LB_GETCOUNT, 0, 0); ++i) {
            char text[MAX_PATH];
            SendMessage(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            out.push_back(text);
        }
        return out;
    }
    static std::string text(HWND dlg, int id)
    {
        char t[MAX_PATH] = "";
        GetDlgItemText(dlg, id, t, sizeof t);
        return t;
    }
    // Taps item i of the list (twice for a double tap).
    static void tapItem(HWND dlg, int i, bool twice = false)
    {
        HWND list = GetDlgItem(dlg, IdList);
        RECT r;
        SendMessage(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        tapAt(list, r.left + 5, (r.top + r.bottom) / 2);
        if (twice) tapAt(list, r.left + 5, (r.top + r.bottom) / 2);
    }
    static void typeName(HWND dlg, const char* name) { SetDlgItemText(dlg, IdName, name); }
    TempDir dir;
    std::string root;
    char file[MAX_PATH];
    OPENFILENAME ofn;
};

TEST_F(FileOpen, lists_folders_then_matching_files_and_returns_the_tapped_file)
{
    std::vector<std::string> first, inside;
    std::string shownFolder, nameAfterTap;
    BOOL ok = open({[&](HWND dlg) {
                        first = listed(dlg);
                        shownFolder = text(dlg, IdFolder);
                        tapItem(dlg, 0, true);  // double tap: into Albums
                    },
                    [&](HWND dlg) {
                        inside = listed(dlg);  // the Pictures filter: no albums here
                        tapCentre(GetDlgItem(dlg, IdUp));
                    },
                    [&](HWND dlg) { tapItem(dlg, 2); },  // b.JPG
                    [&](HWND dlg) {
                        nameAfterTap = text(dlg, IdName);
                        keyPress(VK_RETURN);
                    }});
    ASSERT_TRUE(ok);
    EXPECT_EQ(first, (std::vector<std::string>{"Albums/", "a.png", "b.JPG"}));  // no hidden entries, no .txt
    EXPECT_EQ(shownFolder, root);
    EXPECT_TRUE(inside.empty());
    EXPECT_EQ(nameAfterTap, "b.JPG");
    std::string expected = root + "b.JPG";
    EXPECT_STREQ(file, expected.c_str());
    EXPECT_EQ(ofn.nFileOffset, root.size());
    EXPECT_EQ(ofn.nFileExtension, root.size() + 2);
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(FileOpen, the_type_list_typed_folders_and_patterns_change_what_is_listed)
{
    std::vector<std::string> albums, typedPattern;
    std::string folderAfterTyping;
    char title[MAX_PATH] = "";
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    BOOL ok = open({[&](HWND dlg) {
                        // Choose "Albums" in the type list as the user would.
                        SendDlgItemMessage(dlg, IdType, CB_SETCURSEL, 1, 0);
                        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IdType, CBN_SELCHANGE),
                                    reinterpret_cast<LPARAM>(GetDlgItem(dlg, IdType)));
                        typeName(dlg, "Albums");
                        keyPress(VK_RETURN);
                    },
                    [&](HWND dlg) {
                        folderAfterTyping = text(dlg, IdFolder);
                        albums = listed(dlg);
                        typeName(dlg, "*.txt");
                        keyPress(VK_RETURN);
                    },
                    [&](HWND dlg) {
                        typedPattern = listed(dlg);
                        typeName(dlg, "trip.alb");
                        keyPress(VK_RETURN);
                    }});
    ASSERT_TRUE(ok);
    EXPECT_EQ(folderAfterTyping, root + "Albums/");
    EXPECT_EQ(albums, (std::vector<std::string>{"trip.alb"}));
    EXPECT_EQ(typedPattern, (std::vector<std::string>{"readme.txt"}));
    EXPECT_EQ(std::string(file), root + "Albums/trip.alb");
    EXPECT_STREQ(title, "trip.alb");
    EXPECT_EQ(ofn.nFilterIndex, 2u);
}

TEST_F(FileOpen, cancel_and_a_buffer_too_small_leave_the_callers_buffers_alone)
{
    std::strcpy(file, "keep");
    EXPECT_FALSE(open({key(VK_ESCAPE)}));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_STREQ(file, "keep");
    EXPECT_EQ(ofn.nFileOffset, 0);
    // One byte short of the path and its zero: refused whole.
    std::string path = root + "a.png";
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    EXPECT_FALSE(open({[](HWND dlg) { typeName(dlg, "a.png"); }, key(VK_RETURN)}));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_EQ(std::memcmp(file, "keep", 5), 0);
    EXPECT_EQ(file[path.size() - 1], 'Z');
    // Exactly enough fits.
    ofn.nMaxFile = static_cast<DWORD>(path.size() + 1);
    EXPECT_TRUE(open({[](HWND dlg) { typeName(dlg, "a.png"); }, key(VK_RETURN)}));
    EXPECT_EQ(std::string(file), path);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    OPENFILENAME wrong{};
    wrong.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileName(&wrong));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

TEST_F(FileOpen, a_missing_file_is_refused_with_a_message_and_the_dialog_stays)
{
    std::string boxTitle;
    bool openStillUp = false;
    HWND openDialog = nullptr;
    BOOL ok = open({[&](HWND dlg) {
                        openDialog = dlg;
                        typeName(dlg, "missing.jpg");
                        keyPress(VK_RETURN);
                    },
                    [&](HWND box) {
                        // The message box's idle turns reach this owner through the open dialog.
                        char t[64] = "";
                        GetWindowText(box, t, sizeof t);
                        boxTitle = t;
                        keyPress(VK_RETURN);
                    },
                    [&](HWND dlg) {
                        openStillUp = dlg == openDialog && IsWindowVisible(dlg);
                        keyPress(VK_ESCAPE);
                    }});
    EXPECT_FALSE(ok);
    EXPECT_EQ(boxTitle, "Open");
    EXPECT_TRUE(openStillUp);
    // Without OFN_FILEMUSTEXIST the name is taken as it is, with the default extension.
    ofn.Flags = 0;
    ofn.lpstrDefExt = "alb";
    EXPECT_TRUE(open({[](HWND dlg) { typeName(dlg, "new"); }, key(VK_RETURN)}));
    EXPECT_EQ(std::string(file), root + "new.alb");
}

class FolderChooser : public FileOpen {};

TEST_F(FolderChooser, chooses_a_folder_and_makes_new_ones)
{
    char folder[MAX_PATH];
    std::strcpy(folder, root.c_str());
    std::vector<std::string> first;
    script({[&](HWND dlg) {
                first = listed(dlg);
                tapItem(dlg, 0, true);  // into Albums
            },
            key(VK_RETURN)});
    ASSERT_TRUE(ChooseFolder(owner, "Choose a folder", folder, sizeof folder, 0));
    EXPECT_EQ(first, (std::vector<std::string>{"Albums/"}));  // folders only
    EXPECT_EQ(std::string(folder), root + "Albums/");
    // Cancel leaves the buffer; a folder that does not fit is refused.
    script({key(VK_ESCAPE)});
    EXPECT_FALSE(ChooseFolder(owner, "Choose a folder", folder, sizeof folder, 0));
    EXPECT_EQ(std::string(folder), root + "Albums/");
    script({key(VK_RETURN)});
    EXPECT_FALSE(ChooseFolder(owner, "Choose a folder", folder, static_cast<int>(root.size() + 7), 0));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_EQ(std::string(folder), root + "Albums/");
    // A new folder: the button asks for a name, makes the folder and shows it chosen.
    std::strcpy(folder, root.c_str());
    script({[](HWND dlg) { tapCentre(GetDlgItem(dlg, 1107)); },
            [](HWND ask) {
                SetDlgItemText(ask, 1108, "Trips");
                keyPress(VK_RETURN);
            },
            // The focus is back on the New folder button, where Enter would press it again: tap OK.
            [](HWND dlg) { tapCentre(GetDlgItem(dlg, IDOK)); }});
    ASSERT_TRUE(ChooseFolder(owner, "Choose a folder", folder, sizeof folder, CHOOSEFOLDER_NEWFOLDER));
    EXPECT_EQ(std::string(folder), root + "Trips/");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Trips"));
}

}  // namespace
