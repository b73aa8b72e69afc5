// File > Go to (the folders above the one shown, the parent, home and the
// personal folder), the folder and file commands, the favorites and the
// selection commands, as a table by command number.
#include "app/browser/browser_internal.h"

#include "app/browser/device_folders.h"
#include "app/browser/favorites.h"
#include "app/browser/file_commands.h"
#include "app/browser/shell_calls.h"
#include "platform/gdi/gdi.h"
#include "platform/menu/menu.h"
#include "platform/window/window.h"

#include <vector>

namespace fotrix {

void SelectAllItems(bool select);
void InvertSelection();

namespace {

// The ancestors of the folder shown below the root, from the top ("/A/", "/A/B/").
std::vector<std::string> goToPaths;

std::string parentFolder(const std::string& folder)
{
    if (folder.size() < 2) return "/";
    const size_t slash = folder.find_last_of('/', folder.size() - 2);
    return slash == std::string::npos ? "/" : folder.substr(0, slash + 1);
}

void goToPathFolder(int command)
{
    const size_t k = static_cast<size_t>(command - CmdGoToPathFolder0);
    if (k < goToPaths.size()) NavigateTo(goToPaths[k]);
}
void goHome() { NavigateTo(gApp.homeFolder.empty() ? PersonalFolder() : gApp.homeFolder); }
void goUp()
{
    if (!gApp.currentFolder.empty() && gApp.currentFolder != "/") NavigateTo(parentFolder(gApp.currentFolder));
}
void goToMyDocuments() { NavigateTo(PersonalFolder()); }
void goToStorageCard()
{
    const std::string folder = StorageCardFolder();
    if (!folder.empty()) NavigateTo(folder);
}

void toggleMultipleSelection()
{
    gApp.multiSelect = gApp.multiSelect ? 0 : 1;
    UpdateMenuState();
}

struct BrowserCommand {
    int first, last;
    void (*run)(int command);
};
constexpr BrowserCommand kCommands[] = {
    {CmdGoToPathFolder0, CmdGoToPathFolderLast, goToPathFolder},
    {CmdGoToHome, CmdGoToHome, [](int) { goHome(); }},
    {CmdGoUp, CmdGoUp, [](int) { goUp(); }},
    {CmdGoToMyDocuments, CmdGoToMyDocuments, [](int) { goToMyDocuments(); }},
    {CmdGoToStorageCard, CmdGoToStorageCard, [](int) { goToStorageCard(); }},
    {CmdSelectAll, CmdSelectAll, [](int) { SelectAllItems(true); }},
    {CmdSelectNone, CmdSelectNone, [](int) { SelectAllItems(false); }},
    {CmdSelectInvert, CmdSelectInvert, [](int) { InvertSelection(); }},
    {CmdMultipleSelection, CmdMultipleSelection, [](int) { toggleMultipleSelection(); }},
    {CmdNewFolder, CmdNewFolder, [](int) { NewFolderCommand(gApp.mainWindow); }},
    {CmdRenameFolder, CmdRenameFolder, [](int) { RenameFolderCommand(gApp.mainWindow); }},
    {CmdDeleteFolder, CmdDeleteFolder, [](int) { DeleteFolderCommand(gApp.mainWindow); }},
    {CmdCut, CmdCut, [](int) { CutCommand(); }},
    {CmdCopy, CmdCopy, [](int) { CopyCommand(); }},
    {CmdPaste, CmdPaste, [](int) { PasteCommand(); }},
    {CmdDelete, CmdDelete, [](int) { DeleteFilesCommand(); }},
    {CmdRename, CmdRename, [](int) { RenameFileCommand(gApp.mainWindow); }},
    {CmdAddFavorite, CmdAddFavorite, [](int) { AddFavoriteCommand(gApp.mainWindow); }},
    {CmdOrganizeFavorites, CmdOrganizeFavorites, [](int) { OrganizeFavoritesCommand(gApp.mainWindow); }},
    {CmdFavorite0, CmdFavoriteLast, [](int command) { GoToFavorite(command - CmdFavorite0); }},
};

const BrowserCommand* findCommand(int command)
{
    for (const BrowserCommand& entry : kCommands)
        if (command >= entry.first && command <= entry.last) return &entry;
    return nullptr;
}

}  // namespace

void RebuildGoToMenu()
{
    goToPaths.clear();
    const std::string& folder = gApp.currentFolder;
    for (size_t slash = folder.find('/', 1); slash != std::string::npos && slash + 1 < folder.size();
         slash = folder.find('/', slash + 1))
        goToPaths.push_back(folder.substr(0, slash + 1));
    if (goToPaths.size() > 10) goToPaths.resize(10);
}

std::vector<std::string> GoToFolders() { return goToPaths; }

void FillGoToMenu(HMENU menu)
{
    if (!menu) return;
    for (int id = CmdGoToPathFolder0; id <= CmdGoToPathFolderLast; ++id) DeleteMenu(menu, static_cast<UINT>(id), MF_BYCOMMAND);
    HDC dc = GetDC(nullptr);
    for (size_t k = 0; k < goToPaths.size(); ++k) {
        const std::string& path = goToPaths[k];
        const std::string text = FitText(dc, path.substr(0, path.size() - 1), (100 * gApp.dpiX + 48) / 96);
        AppendMenu(menu, MF_STRING, CmdGoToPathFolder0 + k, text.c_str());
    }
    ReleaseDC(nullptr, dc);
}

bool BrowserCommandReady(int command) { return findCommand(command) != nullptr; }

void RunBrowserCommand(HWND, int command)
{
    if (const BrowserCommand* entry = findCommand(command)) entry->run(command);
}

}  // namespace fotrix
