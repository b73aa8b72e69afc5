// The browser's file commands on real folders: copy names and new-folder
// proposals, the questions before deleting, the file clipboard, renaming,
// deleting folders, favorites and the file types in the classes hive.
#include "fileio/atomic_replace.h"
#include "tests/app/browser_fixture.h"

#include "app/browser/favorites.h"
#include "app/browser/file_commands.h"
#include "app/browser/file_names.h"
#include "app/browser/file_types.h"
#include "app/browser/folder_tree.h"
#include "app/browser/mime_defaults.h"
#include "app/browser/name_dialogs.h"
#include "app/language.h"
#include "app/options/option_values.h"
#include "app/resources/texts.h"
#include "platform/controls/listbox.h"
#include "platform/menu/menu.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

using namespace fotrix;
using namespace browsertest;
namespace fs = std::filesystem;

namespace {

// The built-in texts the file commands show.
void registerFileTexts()
{
    static std::vector<std::string> texts;
    static std::vector<StringResource> strings;
    texts.clear();
    strings.clear();
    for (TextId id : {kIdsError, kIdsNewFolder, kIdsDeleteFolder, kIdsDeleteFile, kIdsCopy1, kIdsCopy2,
                      kIdsDelReadOnly, kIdsFavoritesEntry1, kIdsFavoritesEntry2, kIdsOpen, kIdsDeleteModify})
        for (const BuiltInText& text : BuiltInTexts())
            if (text.number == id.number) texts.push_back(text.english);
    size_t k = 0;
    for (TextId id : {kIdsError, kIdsNewFolder, kIdsDeleteFolder, kIdsDeleteFile, kIdsCopy1, kIdsCopy2,
                      kIdsDelReadOnly, kIdsFavoritesEntry1, kIdsFavoritesEntry2, kIdsOpen, kIdsDeleteModify})
        strings.push_back({id.number, texts[k++].c_str()});
    RegisterStringTable(strings.data(), static_cast<int>(strings.size()));
}

class FileOps : public BrowserWindow {
protected:
    void SetUp() override
    {
        BrowserWindow::SetUp();
        registerFileTexts();
    }
    void TearDown() override
    {
        FreeFileClipboard();
        CloseLanguage();
        SetLanguageFolder(nullptr);
        BrowserWindow::TearDown();
    }
    // Shows `relative` and selects the entry named `name`.
    void showAndSelect(const std::string& relative, const std::string& name)
    {
        ASSERT_TRUE(NavigateTo(folder(relative)));
        for (int i = 0; i < fileCount(); ++i)
            if (gApp.files[static_cast<size_t>(i)].path == folder(relative) + name) SelectOnly(i);
        ASSERT_EQ(SelectedCount(), 1);
    }
    // A step that checks the message box's text and presses `button`.
    static DialogStep expectMessage(TextId text, int button)
    {
        return [text, button](HWND box) {
            EXPECT_EQ(messageBoxText(box), Tr(text));
            SendMessage(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
        };
    }
    // A step that types `name` into a name dialog and presses OK.
    static DialogStep enterName(const std::string& name, std::string* proposed = nullptr)
    {
        return [name, proposed](HWND dialog) {
            char text[512] = "";
            GetDlgItemText(dialog, IdcNameEdit, text, sizeof text);
            if (proposed) *proposed = text;
            SetDlgItemText(dialog, IdcNameEdit, name.c_str());
            SendMessage(dialog, WM_COMMAND, IDOK, 0);
        };
    }
    static DialogStep anyFailureMessage(std::string* text)
    {
        return [text](HWND box) {
            *text = messageBoxText(box);
            SendMessage(box, WM_COMMAND, IDOK, 0);
        };
    }
};

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string readDefault(HKEY root, const std::string& keyName)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(root, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char buffer[1024] = "";
    DWORD type = 0, size = sizeof buffer;
    const LONG result = RegQueryValueEx(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

void writeDefault(HKEY root, const std::string& keyName, const std::string& text)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(root, keyName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                  static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

}  // namespace

TEST_F(FileOps, CopyNamesTakeTheFirstFreeCandidate)
{
    const std::string f = folder();
    EXPECT_EQ(MakeCopyName(f, "a.jpg"), f + "a.jpg");
    testsupport::writeFile(dir / "a.jpg", std::string("x"));
    EXPECT_EQ(MakeCopyName(f, "a.jpg"), f + "Copy of a.jpg");
    testsupport::writeFile(dir / "Copy of a.jpg", std::string("x"));
    EXPECT_EQ(MakeCopyName(f, "a.jpg"), f + "Copy (2) of a.jpg");
    testsupport::writeFile(dir / "Copy (2) of a.jpg", std::string("x"));
    EXPECT_EQ(MakeCopyName(f, "a.jpg"), f + "Copy (3) of a.jpg");
}

TEST_F(FileOps, CopyPatternsOfALanguageFileCannotLeaveTheFolder)
{
    fs::create_directories(dir / "lang");
    std::ofstream(dir / "lang" / "xx.lng") << "Test\n[String]\nIDS_COPY1=%s../%s\nIDS_COPY2=%s%n%d%s\n";
    SetLanguageFolder(folder("lang").c_str());
    ASSERT_EQ(OpenLanguage("xx"), 1);
    ASSERT_EQ(Tr(kIdsCopy1), "%s../%s");
    testsupport::writeFile(dir / "a.jpg", std::string("x"));
    // Both language patterns are refused; the built-in ones take their place.
    EXPECT_EQ(MakeCopyName(folder(), "a.jpg"), folder() + "Copy of a.jpg");
    testsupport::writeFile(dir / "Copy of a.jpg", std::string("x"));
    EXPECT_EQ(MakeCopyName(folder(), "a.jpg"), folder() + "Copy (2) of a.jpg");
}

TEST_F(FileOps, NamesThatWouldLeaveTheFolderAreNotPlain)
{
    EXPECT_TRUE(IsPlainName("holiday 2026"));
    EXPECT_TRUE(IsPlainName(".hidden"));
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "a/b", "../x", "/abs", std::string(256, 'n'), std::string("a\0b", 3)})
        EXPECT_FALSE(IsPlainName(bad)) << bad;
}

TEST_F(FileOps, NewFolderProposesTheFirstFreeNumberedName)
{
    EXPECT_EQ(ProposeNewFolderName(folder()), "New folder");
    fs::create_directories(dir / "New folder");
    EXPECT_EQ(ProposeNewFolderName(folder()), "New folder (1)");
    fs::create_directories(dir / "New folder (1)");
    EXPECT_EQ(ProposeNewFolderName(folder()), "New folder (2)");
}

TEST_F(FileOps, NewFolderCommandMakesTheFolderAndTheTreeShowsIt)
{
    fs::create_directories(dir / "New folder");
    ASSERT_TRUE(NavigateTo(folder()));
    std::string proposed;
    answerDialogs({enterName("Trip", &proposed)});
    NewFolderCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_EQ(proposed, "New folder (1)");
    EXPECT_TRUE(fs::is_directory(dir / "Trip"));
    EXPECT_NE(FindTreeItem(folder("Trip")), nullptr);
    EXPECT_EQ(unexpectedDialogs(), 0);
}

TEST_F(FileOps, ANameWithASlashIsRefusedWithAMessage)
{
    fs::create_directories(dir / "inner");
    testsupport::writeFile(dir / "inner" / "pic.jpg", std::string("x"));
    ASSERT_TRUE(NavigateTo(folder("inner")));
    std::string message;
    answerDialogs({enterName("../escaped"), anyFailureMessage(&message)});
    NewFolderCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_NE(message.find("not valid"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(dir / "escaped"));

    showAndSelect("inner", "pic.jpg");
    message.clear();
    answerDialogs({enterName("../pic.jpg"), anyFailureMessage(&message)});
    RenameFileCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_FALSE(message.empty());
    EXPECT_TRUE(fs::exists(dir / "inner" / "pic.jpg"));
    EXPECT_FALSE(fs::exists(dir / "pic.jpg"));
}

TEST_F(FileOps, DeleteAsksAndDeletesOnlyOnOk)
{
    writeBmp(dir / "keep.bmp", 8, 8);
    writeBmp(dir / "last.bmp", 8, 8);
    showAndSelect("", "last.bmp");
    answerDialogs({expectMessage(kIdsDeleteFile, IDCANCEL)});
    DeleteFilesCommand();
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_TRUE(fs::exists(dir / "last.bmp"));
    EXPECT_EQ(fileCount(), 2);

    answerDialogs({expectMessage(kIdsDeleteFile, IDOK)});
    DeleteFilesCommand();
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_FALSE(fs::exists(dir / "last.bmp"));
    EXPECT_TRUE(fs::exists(dir / "keep.bmp"));
    ASSERT_EQ(fileCount(), 1);
    // The last file went: the new last one is selected.
    EXPECT_EQ(SelectedCount(), 1);
    EXPECT_EQ(SelectedFiles(true).at(0).path, folder() + "keep.bmp");
    settle();
    EXPECT_EQ(fileCount(), 1);  // the change notification finds nothing more to do
    EXPECT_EQ(unexpectedDialogs(), 0);
}

TEST_F(FileOps, AReadOnlyFileIsDeletedOnlyAfterItsOwnQuestion)
{
    writeBmp(dir / "locked.bmp", 8, 8);
    chmod((dir / "locked.bmp").c_str(), 0444);
    showAndSelect("", "locked.bmp");
    answerDialogs({expectMessage(kIdsDeleteFile, IDOK), expectMessage(kIdsDelReadOnly, IDCANCEL)});
    DeleteFilesCommand();
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_TRUE(fs::exists(dir / "locked.bmp"));
    EXPECT_EQ(fileCount(), 1);
    EXPECT_EQ(unexpectedDialogs(), 0);  // a cancelled read-only file is no failure to report

    answerDialogs({expectMessage(kIdsDeleteFile, IDOK), expectMessage(kIdsDelReadOnly, IDOK)});
    DeleteFilesCommand();
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_FALSE(fs::exists(dir / "locked.bmp"));
    EXPECT_EQ(fileCount(), 0);
}

TEST_F(FileOps, PasteOntoItselfMakesACopyNameAndCutThenPasteThereChangesNothing)
{
    testsupport::writeFile(dir / "a.jpg", std::string("original"));
    showAndSelect("", "a.jpg");
    CopyCommand();
    EXPECT_TRUE(FileClipboardHasFiles());
    PasteCommand();
    PasteCommand();
    EXPECT_EQ(readText(dir / "a.jpg"), "original");
    EXPECT_EQ(readText(dir / "Copy of a.jpg"), "original");
    EXPECT_EQ(readText(dir / "Copy (2) of a.jpg"), "original");
    EXPECT_EQ(fileCount(), 3);

    showAndSelect("", "a.jpg");
    CutCommand();
    PasteCommand();
    EXPECT_EQ(readText(dir / "a.jpg"), "original");
    EXPECT_FALSE(fs::exists(dir / "Copy (3) of a.jpg"));
    EXPECT_EQ(unexpectedDialogs(), 0);
}

TEST_F(FileOps, CutAndPasteMovesTheFileAndASecondPasteFindsNothing)
{
    fs::create_directories(dir / "from");
    fs::create_directories(dir / "to");
    testsupport::writeFile(dir / "from" / "move.jpg", std::string("moving"));
    testsupport::writeFile(dir / "to" / "move.jpg", std::string("already there"));
    showAndSelect("from", "move.jpg");
    CutCommand();
    ASSERT_TRUE(NavigateTo(folder("to")));
    PasteCommand();
    EXPECT_FALSE(fs::exists(dir / "from" / "move.jpg"));
    EXPECT_EQ(readText(dir / "to" / "move.jpg"), "already there");
    EXPECT_EQ(readText(dir / "to" / "Copy of move.jpg"), "moving");
    EXPECT_EQ(fileCount(), 2);
    PasteCommand();
    EXPECT_FALSE(fs::exists(dir / "to" / "Copy (2) of move.jpg"));
    EXPECT_EQ(unexpectedDialogs(), 0);
    EXPECT_TRUE(FileClipboardHasFiles());  // paste keeps the clipboard
    FreeFileClipboard();
    EXPECT_FALSE(FileClipboardHasFiles());
}

TEST_F(FileOps, RenameGivesTheEntryItsNewPathAndAnExistingNameFails)
{
    testsupport::writeFile(dir / "old.jpg", std::string("x"));
    testsupport::writeFile(dir / "taken.jpg", std::string("y"));
    showAndSelect("", "old.jpg");
    answerDialogs({enterName("new.jpg")});
    RenameFileCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_TRUE(fs::exists(dir / "new.jpg"));
    EXPECT_EQ(SelectedFiles(true).at(0).path, folder() + "new.jpg");

    std::string message;
    answerDialogs({enterName("taken.jpg"), anyFailureMessage(&message)});
    RenameFileCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(readText(dir / "taken.jpg"), "y");
    EXPECT_TRUE(fs::exists(dir / "new.jpg"));
}

TEST_F(FileOps, RenameFolderRenamesTheTreeItemAndShowsTheNewPath)
{
    fs::create_directories(dir / "before");
    testsupport::writeFile(dir / "before" / "pic.jpg", std::string("x"));
    ASSERT_TRUE(NavigateTo(folder("before")));
    answerDialogs({enterName("after")});
    RenameFolderCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_TRUE(fs::exists(dir / "after" / "pic.jpg"));
    EXPECT_EQ(gApp.currentFolder, folder("after"));
    EXPECT_NE(FindTreeItem(folder("after")), nullptr);
    EXPECT_EQ(FindTreeItem(folder("before")), nullptr);
    ASSERT_EQ(fileCount(), 1);
    EXPECT_EQ(gApp.files[0].path, folder("after") + "pic.jpg");
}

TEST_F(FileOps, DeleteFolderRemovesEverythingButNeverFollowsALink)
{
    fs::create_directories(dir / "outside");
    testsupport::writeFile(dir / "outside" / "precious.jpg", std::string("x"));
    fs::create_directories(dir / "doomed" / "deeper");
    testsupport::writeFile(dir / "doomed" / "a.jpg", std::string("x"));
    testsupport::writeFile(dir / "doomed" / "deeper" / ".hidden", std::string("x"));
    fs::create_directory_symlink(dir / "outside", dir / "doomed" / "link");
    ASSERT_TRUE(NavigateTo(folder("doomed")));

    answerDialogs({expectMessage(kIdsDeleteFolder, IDCANCEL)});
    DeleteFolderCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_TRUE(fs::exists(dir / "doomed" / "a.jpg"));

    answerDialogs({expectMessage(kIdsDeleteFolder, IDOK)});
    DeleteFolderCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_FALSE(fs::exists(dir / "doomed"));
    EXPECT_TRUE(fs::exists(dir / "outside" / "precious.jpg"));
    EXPECT_EQ(FindTreeItem(folder("doomed")), nullptr);
    EXPECT_EQ(unexpectedDialogs(), 0);
}

TEST_F(FileOps, DeleteFolderStopsAtAReadOnlyFileAndSaysSo)
{
    fs::create_directories(dir / "guarded");
    testsupport::writeFile(dir / "guarded" / "locked.jpg", std::string("x"));
    chmod((dir / "guarded" / "locked.jpg").c_str(), 0444);
    ASSERT_TRUE(NavigateTo(folder("guarded")));
    std::string message;
    answerDialogs({expectMessage(kIdsDeleteFolder, IDOK), anyFailureMessage(&message)});
    DeleteFolderCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_FALSE(message.empty());
    EXPECT_TRUE(fs::exists(dir / "guarded" / "locked.jpg"));
    EXPECT_NE(FindTreeItem(folder("guarded")), nullptr);
}

TEST_F(FileOps, ElevenFavoritesShowTheFirstTenAndTheMoreItem)
{
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, CmdFavoritesPlaceholder, "placeholder");
    FillFavoritesMenu(popup);
    ASSERT_EQ(GetMenuItemCount(popup), 2);  // separator and the organize item
    EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(CmdOrganizeFavorites));

    for (int i = 0; i < 11; ++i) {
        fs::create_directories(dir / ("f" + std::to_string(i)));
        ASSERT_TRUE(StoreFavorite("Fav & " + std::to_string(i), folder("f" + std::to_string(i))));
    }
    EXPECT_EQ(LoadFavorites().size(), 11u);
    FillFavoritesMenu(popup);
    FillFavoritesMenu(popup);  // a second opening rebuilds rather than adds
    ASSERT_EQ(GetMenuItemCount(popup), 12);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(GetMenuItemID(popup, i), static_cast<UINT>(CmdFavorite0 + i));
    char text[128] = "";
    GetMenuString(popup, CmdOrganizeFavorites, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), Tr(kIdsFavoritesEntry2));
    DestroyMenu(popup);

    const std::vector<FavoriteEntry> favorites = LoadFavorites();
    RunBrowserCommand(main, CmdFavorite0 + 3);
    EXPECT_EQ(gApp.currentFolder, favorites[3].path);
}

TEST_F(FileOps, FavoritesAreModifiedWithoutLossAndRefusedWithABackslash)
{
    EXPECT_FALSE(StoreFavorite("a\\b", folder()));
    EXPECT_FALSE(StoreFavorite("", folder()));
    ASSERT_TRUE(StoreFavorite("Home", folder()));
    ASSERT_TRUE(ModifyFavorite("Home", "Home", folder("x")));
    ASSERT_EQ(LoadFavorites().size(), 1u);
    EXPECT_EQ(LoadFavorites()[0].path, folder("x"));
    EXPECT_FALSE(ModifyFavorite("Home", "bad\\name", folder()));
    ASSERT_EQ(LoadFavorites().size(), 1u);
    ASSERT_TRUE(ModifyFavorite("Home", "Pictures", folder()));
    ASSERT_EQ(LoadFavorites().size(), 1u);
    EXPECT_EQ(LoadFavorites()[0].name, "Pictures");
    // Only the case changes: still one favorite, now spelt the new way.
    ASSERT_TRUE(ModifyFavorite("Pictures", "pictures", folder()));
    ASSERT_EQ(LoadFavorites().size(), 1u);
    EXPECT_EQ(LoadFavorites()[0].name, "pictures");
    EXPECT_TRUE(DeleteFavorite("Pictures"));
    EXPECT_TRUE(LoadFavorites().empty());
}

TEST_F(FileOps, AddFavoriteStoresTheFolderShownUnderTheNameEntered)
{
    fs::create_directories(dir / "Beach");
    ASSERT_TRUE(NavigateTo(folder("Beach")));
    std::string proposed;
    answerDialogs({enterName("Summer", &proposed)});
    AddFavoriteCommand(main);
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_EQ(proposed, "Beach");
    ASSERT_EQ(LoadFavorites().size(), 1u);
    EXPECT_EQ(LoadFavorites()[0].name, "Summer");
    EXPECT_EQ(LoadFavorites()[0].path, folder("Beach"));
}

TEST_F(FileOps, AssociatingKeepsTheOtherProgramsValueAndUnassociatingPutsItBack)
{
    writeDefault(HKEY_CLASSES_ROOT, ".jpg", "OtherViewer.jpg");
    ASSERT_TRUE(Associate(".jpg", "Fotrixel.jpg"));
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".jpg"), "Fotrixel.jpg");
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".jpg\\Fotrix.bak"), "OtherViewer.jpg");
    // Associating again keeps the other program's value, not our own.
    ASSERT_TRUE(Associate(".jpg", "FOTRIXEL.JPG"));
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".jpg\\Fotrix.bak"), "OtherViewer.jpg");
    Unassociate(".jpg", "Fotrixel.jpg");
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".jpg"), "OtherViewer.jpg");
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".jpg\\Fotrix.bak"), "<no key>");

    // A type that had no opener loses ours again.
    ASSERT_TRUE(Associate(".png", "Fotrixel.png"));
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".png\\Fotrix.bak"), "<no key>");
    Unassociate(".png", "Fotrixel.png");
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".png"), "<no value>");
}

TEST_F(FileOps, TheAlbumTypeAndTheCheckedPictureTypesAreRegistered)
{
    RegisterAlbumFileType();
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".alb"), "Fotrixel.alb");
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, "Fotrixel.alb"), "Fotrixel Album");
    const std::string command = readDefault(HKEY_CLASSES_ROOT, "Fotrixel.alb\\shell\\open\\command");
    EXPECT_EQ(command.front(), '"');
    EXPECT_EQ(command.substr(command.size() - 4), "\" %1");
    EXPECT_NE(readDefault(HKEY_CLASSES_ROOT, "Fotrixel.alb\\DefaultIcon").find(",-170"), std::string::npos);

    std::vector<FileTypeChoice>& choices = AssociationChoices();
    ASSERT_FALSE(choices.empty());
    for (FileTypeChoice& choice : choices) choice.checked = choice.extension == ".bmp";
    ApplyAssociationChoices();
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".bmp"), "Fotrixel.bmp");
    EXPECT_NE(readDefault(HKEY_CLASSES_ROOT, "Fotrixel.bmp\\DefaultIcon").find(",-108"), std::string::npos);
    for (FileTypeChoice& choice : choices) choice.checked = false;
    ReadAssociationChoices();
    for (const FileTypeChoice& choice : choices) EXPECT_EQ(choice.checked, choice.extension == ".bmp") << choice.extension;
    for (FileTypeChoice& choice : choices) choice.checked = false;
    ApplyAssociationChoices();
    EXPECT_EQ(readDefault(HKEY_CLASSES_ROOT, ".bmp"), "<no value>");
}

TEST_F(FileOps, OrganizeFavoritesModifiesDeletesAndOpens)
{
    fs::create_directories(dir / "one");
    fs::create_directories(dir / "two");
    ASSERT_TRUE(StoreFavorite("First", folder("one")));
    ASSERT_TRUE(StoreFavorite("Second", folder("two")));
    const char* shot = std::getenv("FOTRIX_SCREENSHOT_DIR");
    auto chooseSecond = [](HWND dialog) {
        const int second = static_cast<int>(SendDlgItemMessage(dialog, 1321, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                               reinterpret_cast<LPARAM>("Second")));
        SendDlgItemMessage(dialog, 1321, LB_SETCURSEL, static_cast<WPARAM>(second), 0);
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(1321, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1321)));
    };
    std::string open;
    answerDialogs({
        [&](HWND dialog) {
            if (shot) PlatformScreenshot((std::string(shot) + "/organize_favorites.png").c_str());
            chooseSecond(dialog);
            char path[512] = "";
            GetDlgItemText(dialog, 1325, path, sizeof path);
            EXPECT_EQ(std::string(path), folder("two"));
            SetDlgItemText(dialog, 1323, "Renamed");
            SendMessage(dialog, WM_COMMAND, 1327, 0);  // Delete/Modify with a name: modify
        },
        [&](HWND dialog) {
            const int first = static_cast<int>(SendDlgItemMessage(dialog, 1321, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                  reinterpret_cast<LPARAM>("First")));
            SendDlgItemMessage(dialog, 1321, LB_SETCURSEL, static_cast<WPARAM>(first), 0);
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(1321, LBN_SELCHANGE), 0);
            SetDlgItemText(dialog, 1323, "");
            SendMessage(dialog, WM_COMMAND, 1327, 0);  // with the name emptied: delete
        },
        [&](HWND dialog) {
            SendDlgItemMessage(dialog, 1321, LB_SETCURSEL, 0, 0);
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(1321, LBN_SELCHANGE), 0);
            SendMessage(dialog, WM_COMMAND, 1326, 0);  // Open
        },
    });
    EXPECT_TRUE(ShowOrganizeFavorites(main, &open));
    EXPECT_TRUE(dialogStepsDone());
    const std::vector<FavoriteEntry> left = LoadFavorites();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "Renamed");
    EXPECT_EQ(left[0].path, folder("two"));
    EXPECT_EQ(open, folder("two"));
}

TEST_F(FileOps, NameDialogsLookRight)
{
    const char* shot = std::getenv("FOTRIX_SCREENSHOT_DIR");
    if (!shot) GTEST_SKIP() << "FOTRIX_SCREENSHOT_DIR collects the pictures of the dialogs";
    testsupport::writeFile(dir / "pic.jpg", std::string("x"));
    showAndSelect("", "pic.jpg");
    answerDialogs({[&](HWND dialog) {
        PlatformScreenshot((std::string(shot) + "/rename_file.png").c_str());
        SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    }});
    RenameFileCommand(main);
    answerDialogs({[&](HWND dialog) {
        PlatformScreenshot((std::string(shot) + "/new_folder.png").c_str());
        SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    }});
    NewFolderCommand(main);
    answerDialogs({[&](HWND box) {
        PlatformScreenshot((std::string(shot) + "/delete_question.png").c_str());
        SendMessage(box, WM_COMMAND, IDCANCEL, 0);
    }});
    DeleteFilesCommand();
    EXPECT_TRUE(dialogStepsDone());
}

TEST_F(FileOps, AMoveToAnotherFileSystemRemovesTheOriginalOnlyAfterAWholeCopy)
{
    struct stat here{}, there{};
    if (stat("/dev/shm", &there) != 0 || stat(dir.path().c_str(), &here) != 0 || here.st_dev == there.st_dev)
        SKIP_MISSING("needs /dev/shm on a file system of its own");
    testsupport::TempDir shmParent;  // only for a unique name
    const fs::path other = fs::path("/dev/shm") / shmParent.path().filename();
    fs::create_directories(other);
    struct RemoveAtEnd {
        fs::path path;
        ~RemoveAtEnd() { fs::remove_all(path); }
    } removeOther{other};
    const std::string big(3 << 20, 'p');
    testsupport::writeFile(other / "far.jpg", big);
    const std::string longName = std::string(250, 'n') + ".jpg";
    testsupport::writeFile(other / longName, std::string("stays"));
    ASSERT_TRUE(NavigateTo(other.string() + "/"));
    for (int i = 0; i < fileCount(); ++i)
        if (gApp.files[static_cast<size_t>(i)].path == other.string() + "/far.jpg") SelectOnly(i);
    CutCommand();
    ASSERT_TRUE(NavigateTo(folder()));
    PasteCommand();
    EXPECT_FALSE(fs::exists(other / "far.jpg"));
    EXPECT_EQ(readText(dir / "far.jpg"), big);

    // A copy that cannot be made (here: every write of it fails, as on a full
    // disk) leaves the original where it was, and says so.
    ASSERT_TRUE(NavigateTo(other.string() + "/"));
    ASSERT_EQ(fileCount(), 1);
    SelectOnly(0);
    CutCommand();
    ASSERT_TRUE(NavigateTo(folder()));
    std::string message;
    answerDialogs({anyFailureMessage(&message)});
    struct RestoreSyscalls {
        ~RestoreSyscalls() { fotrix::replaceSyscalls() = fotrix::replaceSyscallsOfSystem(); }
    } restore;
    fotrix::replaceSyscalls().write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    PasteCommand();
    fotrix::replaceSyscalls() = fotrix::replaceSyscallsOfSystem();
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(readText(other / longName), "stays");
    EXPECT_FALSE(fs::exists(dir / longName));
}

TEST_F(FileOps, WhenEveryCopyNameIsTakenPasteFailsWithoutOverwriting)
{
    testsupport::writeFile(dir / "a.jpg", std::string("source"));
    testsupport::writeFile(dir / "Copy of a.jpg", std::string("kept"));
    for (int n = 2; n <= 998; ++n)
        testsupport::writeFile(dir / ("Copy (" + std::to_string(n) + ") of a.jpg"), std::string("kept"));
    EXPECT_EQ(MakeCopyName(folder(), "a.jpg"), folder() + "Copy (998) of a.jpg");
    showAndSelect("", "a.jpg");
    CopyCommand();
    std::string message;
    answerDialogs({anyFailureMessage(&message)});
    PasteCommand();
    EXPECT_TRUE(dialogStepsDone());
    EXPECT_NE(message.find("already exists"), std::string::npos) << message;
    EXPECT_EQ(readText(dir / "Copy (998) of a.jpg"), "kept");
}

TEST_F(FileOps, FavoritesThatAreNoFolderPathsAreLeftOut)
{
    ASSERT_TRUE(StoreFavorite("Good", folder()));
    ASSERT_TRUE(StoreFavorite("Relative", "pictures/"));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Fotrix Pocket\\Favorites\\Number", 0, nullptr, 0, KEY_WRITE,
                             nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueEx(key, "Path", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    const std::vector<FavoriteEntry> favorites = LoadFavorites();
    ASSERT_EQ(favorites.size(), 1u);
    EXPECT_EQ(favorites[0].name, "Good");
}

TEST_F(FileOps, TheDesktopsMimeDefaultIsKeptAndGivenBack)
{
    const std::string list = MimeAppsListPath();
    EXPECT_EQ(list, configDir.path().string() + "/mimeapps.list");  // beside the test's own registry
    std::ofstream(list) << "[Added Associations]\nimage/jpeg=gimp.desktop;\n\n[Default Applications]\n"
                           "image/jpeg=eog.desktop;\ntext/plain=gedit.desktop;\n";
    std::vector<FileTypeChoice>& choices = AssociationChoices();
    for (FileTypeChoice& choice : choices) choice.checked = choice.extension == ".jpg" || choice.extension == ".png";
    ApplyAssociationChoices();
    std::string value;
    ASSERT_TRUE(ReadMimeDefault("image/jpeg", &value));
    EXPECT_EQ(value, "fotrix.desktop;eog.desktop;");
    ASSERT_TRUE(ReadMimeDefault("image/png", &value));
    EXPECT_EQ(value, "fotrix.desktop;");
    ASSERT_TRUE(ReadMimeDefault("text/plain", &value));
    EXPECT_EQ(value, "gedit.desktop;");

    for (FileTypeChoice& choice : choices) choice.checked = false;
    ApplyAssociationChoices();
    ASSERT_TRUE(ReadMimeDefault("image/jpeg", &value));
    EXPECT_EQ(value, "eog.desktop;");
    EXPECT_FALSE(ReadMimeDefault("image/png", &value));
    const std::string text = readText(list);
    EXPECT_NE(text.find("[Added Associations]\nimage/jpeg=gimp.desktop;\n"), std::string::npos) << text;
    EXPECT_NE(text.find("text/plain=gedit.desktop;"), std::string::npos) << text;
}
