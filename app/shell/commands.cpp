#include "app/shell/commands.h"

#include "app/album/album_commands.h"
#include "app/browser/browser.h"
#include "app/properties/properties_commands.h"
#include "app/send/send_commands.h"
#include "app/settings/general_settings.h"
#include "app/shell/about.h"
#include "app/shell/main_window.h"
#include "app/shell/peer_interfaces.h"
#include "app/shell/shell_internal.h"
#include "app/tools/tool_commands.h"
#include "app/viewer/main_view.h"
#include "platform/controls/listview.h"

namespace fotrix {

namespace {

// ---- Commands of other parts ----

LRESULT browserCommand(HWND hwnd, WORD id, WORD, LPARAM)
{
    if (BrowserCommandReady(id)) RunBrowserCommand(hwnd, id);
    return 0;
}

LRESULT viewerCommand(HWND hwnd, WORD id, WORD, LPARAM)
{
    if (ViewerCommandReady(id)) RunViewerCommand(hwnd, id);
    return 0;
}

LRESULT toolCommand(HWND hwnd, WORD id, WORD, LPARAM)
{
    if (ToolCommandReady(id)) RunToolCommand(hwnd, id);
    return 0;
}

LRESULT sendCommand(HWND hwnd, WORD id, WORD, LPARAM)
{
    if (SendCommandReady(id)) RunSendCommand(hwnd, id);
    return 0;
}

LRESULT albumCommand(HWND hwnd, WORD id, WORD, LPARAM)
{
    if (AlbumCommandReady(id)) RunAlbumCommand(hwnd, id);
    return 0;
}

LRESULT propertiesCommand(HWND hwnd, WORD id, WORD, LPARAM)
{
    if (PropertiesCommandReady(id)) RunPropertiesCommand(hwnd, id);
    return 0;
}

// ---- Selection ----

// Select All / None / Invert run with multiple selection off, so that the
// list's own single-selection rule does not fight the change.
LRESULT selectItems(HWND, WORD id, WORD, LPARAM)
{
    int saved = gApp.multiSelect;
    gApp.multiSelect = 0;
    ListSetAllSelected(id == CmdSelectNone ? 0 : id == CmdSelectAll ? 1 : 2);
    gApp.multiSelect = saved;
    UpdateMenuState();
    return 0;
}

LRESULT toggleMultipleSelection(HWND, WORD, WORD, LPARAM)
{
    gApp.multiSelect = !gApp.multiSelect;
    if (!gApp.multiSelect) {
        std::vector<int> selected = ListSelectedIndexes();
        ListSetAllSelected(0);
        if (!selected.empty()) ListSelectOnly(selected.front());
    }
    CheckMenuItem(BarMenu(), CmdMultipleSelection, MF_BYCOMMAND | (gApp.multiSelect ? MF_CHECKED : MF_UNCHECKED));
    UpdateMenuState();
    return 0;
}

// ---- File ----

LRESULT showAbout(HWND hwnd, WORD, WORD, LPARAM)
{
    ShowAboutDialog(hwnd);
    return 0;
}

LRESULT exitProgram(HWND hwnd, WORD, WORD, LPARAM)
{
    WriteFitSetting(FitChoice());
    PostMessage(hwnd, WM_CLOSE, 0, 0);
    return 0;
}

// ---- View ----

LRESULT switchMode(HWND, WORD id, WORD, LPARAM)
{
    SetViewMode(id);
    return 0;
}

LRESULT toggleSlideshow(HWND, WORD, WORD, LPARAM)
{
    if (gApp.mode == ModeSlideshow) StopSlideshow();
    else StartSlideshow();
    return 0;
}

LRESULT openOrClose(HWND hwnd, WORD, WORD, LPARAM)
{
    std::vector<int> selected = ListSelectedIndexes();
    if (selected.size() != 1) return 0;
    int index = selected.front();
    if (index < fileCount() && gApp.files[index].state == EntryAlbum) {
        PlayAlbum(hwnd, gApp.files[index].path);
        if (gApp.menuBar) SendMessage(gApp.menuBar, TB_SETSTATE, CmdOpenClose, TBSTATE_ENABLED);
        return 0;
    }
    // In Image this closes the picture (back to the browse mode), as in
    // FullScreen; opening it again at once would undo the key's effect.
    OpenInViewer(index);
    return 0;
}

void resort()
{
    HMENU menu = BarMenu();
    CheckMenuRadioItem(menu, CmdSortName, CmdSortDimensions, CmdSortName + (gApp.sort & ~kSortDescending), MF_BYCOMMAND);
    CheckMenuRadioItem(menu, CmdSortAscending, CmdSortDescending,
                       (gApp.sort & kSortDescending) ? CmdSortDescending : CmdSortAscending, MF_BYCOMMAND);
    SortList(true);
}

LRESULT sortBy(HWND, WORD id, WORD, LPARAM)
{
    gApp.sort = (gApp.sort & kSortDescending) | (id - CmdSortName);
    resort();
    return 0;
}

LRESULT sortDirection(HWND, WORD id, WORD, LPARAM)
{
    gApp.sort = id == CmdSortDescending ? (gApp.sort | kSortDescending) : (gApp.sort & ~kSortDescending);
    resort();
    return 0;
}

LRESULT toggleWholeTree(HWND, WORD, WORD, LPARAM)
{
    gApp.recursive = !gApp.recursive;
    CheckMenuItem(BarMenu(), CmdWholeFolderTree, MF_BYCOMMAND | (gApp.recursive ? MF_CHECKED : MF_UNCHECKED));
    RefillFileList();
    return 0;
}

LRESULT toggleFileNames(HWND, WORD, WORD, LPARAM)
{
    gApp.showLabel = !gApp.showLabel;
    CheckMenuItem(BarMenu(), CmdFileNames, MF_BYCOMMAND | (gApp.showLabel ? MF_CHECKED : MF_UNCHECKED));
    if (gApp.listWindow) InvalidateRect(gApp.listWindow, nullptr, TRUE);
    return 0;
}

// The viewer toggles the flag and reloads; without it the flag still changes.
LRESULT toggleAutoRotate(HWND hwnd, WORD id, WORD code, LPARAM lParam)
{
    if (ViewerCommandReady(id)) return viewerCommand(hwnd, id, code, lParam);
    gApp.rotateAuto = !gApp.rotateAuto;
    CheckMenuItem(BarMenu(), CmdAutoRotate, MF_BYCOMMAND | (gApp.rotateAuto ? MF_CHECKED : MF_UNCHECKED));
    return 0;
}

// The three zoom choices that the Fit setting keeps: their check marks follow.
LRESULT chooseFit(HWND hwnd, WORD id, WORD code, LPARAM lParam)
{
    gShell.fitChoice = id == CmdActualSize ? 2 : id == CmdFitWindow ? 1 : 0;
    ApplyMenuChecks();
    return viewerCommand(hwnd, id, code, lParam);
}

// ---- Tools ----

LRESULT showOptions(HWND hwnd, WORD, WORD, LPARAM)
{
    AppState before = gApp;
    // The Associations page shows the file types as the classes hive has them
    // and writes the checked ones back on OK.
    ReadAssociationChoices();
    if (!ShowOptionsSheet(hwnd)) return 0;
    ApplyAssociationChoices();
    ApplyOptions(before);
    return 0;
}

const CommandEntry kCommands[] = {
    // File ▸ Go to.
    {1000, browserCommand}, {1001, browserCommand}, {1002, browserCommand}, {1003, browserCommand},
    {1004, browserCommand}, {1005, browserCommand}, {1006, browserCommand}, {1007, browserCommand},
    {1008, browserCommand}, {1009, browserCommand},
    {CmdGoToHome, browserCommand},
    {CmdGoUp, browserCommand},
    {CmdGoToStorageCard, browserCommand},
    {CmdGoToMyDocuments, browserCommand},
    // File: favorites, folders and files.
    {CmdAddFavorite, browserCommand},
    {CmdNewFolder, browserCommand},
    {CmdRenameFolder, browserCommand},
    {CmdDeleteFolder, browserCommand},
    {CmdCut, browserCommand},
    {CmdCopy, browserCommand},
    {CmdPaste, browserCommand},
    {CmdDelete, browserCommand},
    {CmdRename, browserCommand},
    {CmdSelectAll, selectItems},
    {CmdSelectNone, selectItems},
    {CmdSelectInvert, selectItems},
    {CmdMultipleSelection, toggleMultipleSelection},
    {CmdAbout, showAbout},
    {CmdExit, exitProgram},
    // View.
    {CmdModeThumbnails, switchMode},
    {CmdModeList, switchMode},
    {CmdModeDetails, switchMode},
    {CmdModeStrip, switchMode},
    {CmdModeImage, switchMode},
    {CmdModeFullScreen, switchMode},
    {CmdSlideshow, toggleSlideshow},
    {CmdOpenClose, openOrClose},
    {CmdSortName, sortBy},
    {CmdSortDate, sortBy},
    {CmdSortType, sortBy},
    {CmdSortSize, sortBy},
    {CmdSortDimensions, sortBy},
    {CmdSortAscending, sortDirection},
    {CmdSortDescending, sortDirection},
    {CmdWholeFolderTree, toggleWholeTree},
    {CmdFileNames, toggleFileNames},
    {CmdPreviousPage, viewerCommand},
    {CmdNextPage, viewerCommand},
    {CmdZoom150, viewerCommand},
    {CmdZoom200, viewerCommand},
    {CmdZoom300, viewerCommand},
    {CmdZoom400, viewerCommand},
    {CmdZoom75, viewerCommand},
    {CmdZoom50, viewerCommand},
    {CmdZoom25, viewerCommand},
    {CmdActualSize, chooseFit},
    {CmdZoomLarger, viewerCommand},
    {CmdZoomSmaller, viewerCommand},
    {CmdAutoRotate, toggleAutoRotate},
    {CmdFitWindow, chooseFit},
    {CmdFitLargeFiles, chooseFit},
    // Tools.
    {CmdConvert, toolCommand},
    {CmdCrop, toolCommand},
    {CmdResize, toolCommand},
    {CmdAdjust, toolCommand},
    {CmdRotate, toolCommand},
    {CmdSharpenSoften, toolCommand},
    {CmdBatchRename, toolCommand},
    {CmdCapture, toolCommand},
    {CmdFind, toolCommand},
    {CmdEmail, sendCommand},
    {CmdSendInfrared, sendCommand},
    {CmdReceiveInfrared, sendCommand},
    {CmdMakeSlideshowProgram, albumCommand},
    {CmdMakeAlbum, albumCommand},
    {CmdProperties, propertiesCommand},
    {CmdIptcEdit, propertiesCommand},
    {CmdOptions, showOptions},
    {CmdSaveAdjusted, viewerCommand},
    // Favorites drop-down.
    {CmdOrganizeFavorites, browserCommand},
    {10000, browserCommand}, {10001, browserCommand}, {10002, browserCommand}, {10003, browserCommand},
    {10004, browserCommand}, {10005, browserCommand}, {10006, browserCommand}, {10007, browserCommand},
    {10008, browserCommand}, {10009, browserCommand},
};
const CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcWindow);

// Whose readiness a handler depends on.
struct ReadyRow {
    CommandHandler handler;
    bool (*ready)(int);
};
bool alwaysReady(int) { return true; }
const ReadyRow kReadiness[] = {
    {browserCommand, BrowserCommandReady}, {viewerCommand, ViewerCommandReady},
    {toolCommand, ToolCommandReady},       {sendCommand, SendCommandReady},
    {albumCommand, AlbumCommandReady},     {propertiesCommand, PropertiesCommandReady},
};

}  // namespace

const CommandMap& MainCommandMap() { return kCommandMap; }
int MainCommandCount() { return kCommandMap.count; }

bool CommandReady(int command)
{
    for (const CommandEntry& row : kCommands) {
        if (row.id != command) continue;
        for (const ReadyRow& r : kReadiness)
            if (r.handler == row.handler) return r.ready(command);
        return alwaysReady(command);
    }
    return false;
}

}  // namespace fotrix
