#include "app/startscreen/start_actions.h"

#include "app/browser/browser.h"
#include "app/resources/texts.h"
#include "app/shell/app_state.h"
#include "app/shell/command_ids.h"
#include "app/startscreen/album_pending.h"

#include <iterator>
#include <string>

namespace fotrix {

namespace {

void browse(HWND, HWND) {}

void playAlbum(HWND startScreen, HWND mainWindow)
{
    std::string filter = Tr(kIdsSoundFilename);
    filter.push_back('\0');
    filter += "*.alb";
    filter.append(2, '\0');
    char path[260] = "";
    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = startScreen;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = gApp.currentFolder.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileName(&ofn)) PlayAlbumFile(mainWindow, path);
}

// A tile's caption on one line, as the chooser's title.
std::string titleOf(TextId caption)
{
    std::string title = Tr(caption);
    for (char& c : title)
        if (c == '\n' || c == '\r') c = ' ';
    return title;
}

// Chooses a folder, goes there, then sends `command` to the main window.
void inChosenFolder(HWND startScreen, HWND mainWindow, WORD command, TextId caption)
{
    char folder[260] = "";
    if (gApp.currentFolder.size() < sizeof folder) gApp.currentFolder.copy(folder, gApp.currentFolder.size());
    if (!ChooseFolder(startScreen, titleOf(caption).c_str(), folder, sizeof folder, 0)) return;
    NavigateTo(folder);
    SendMessage(mainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void makeAlbum(HWND startScreen, HWND mainWindow)
{
    inChosenFolder(startScreen, mainWindow, CmdMakeAlbum, kIdsWizard3);
}
void makeSlideshowProgram(HWND startScreen, HWND mainWindow)
{
    inChosenFolder(startScreen, mainWindow, CmdMakeSlideshowProgram, kIdsWizard4);
}
void goToStorageCard(HWND, HWND mainWindow) { SendMessage(mainWindow, WM_COMMAND, MAKEWPARAM(CmdGoToStorageCard, 0), 0); }
void openOptions(HWND, HWND mainWindow) { SendMessage(mainWindow, WM_COMMAND, MAKEWPARAM(CmdOptions, 0), 0); }

using TileAction = void (*)(HWND startScreen, HWND mainWindow);
constexpr TileAction kActions[] = {browse, playAlbum, makeAlbum, makeSlideshowProgram, goToStorageCard, openOptions};

}  // namespace

void RunStartTile(int tile, HWND startScreen, HWND mainWindow)
{
    if (tile >= 0 && tile < static_cast<int>(std::size(kActions))) kActions[tile](startScreen, mainWindow);
}

}  // namespace fotrix
