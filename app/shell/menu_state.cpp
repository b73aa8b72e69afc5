// The menu's check marks and enable rules, and the tool buttons' states.
// A command is enabled when the rules allow it and the part it belongs to is
// built (CommandReady); tool buttons follow the same rules.
#include "app/browser/browser.h"
#include "app/shell/commands.h"
#include "app/shell/main_window.h"
#include "app/shell/shell_internal.h"
#include "app/viewer/main_view.h"
#include "imagelib/formats.h"
#include "platform/controls/listview.h"

#include <algorithm>

namespace fotrix {

namespace {

void check(HMENU menu, int command, bool on)
{
    CheckMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

bool allSelectedAreJpeg(const std::vector<int>& selected)
{
    int jpeg = formatFindByName("jpeg");
    if (selected.empty() || jpeg < 0) return false;
    return std::all_of(selected.begin(), selected.end(), [jpeg](int i) {
        return i < fileCount() && gApp.files[i].state == EntryThumbnail && gApp.files[i].info.formatIndex == jpeg;
    });
}

bool selectedHasColours(const std::vector<int>& selected)
{
    if (selected.size() != 1 || selected[0] >= fileCount()) return false;
    const FileEntry& entry = gApp.files[selected[0]];
    return entry.state == EntryThumbnail && entry.info.componentCount >= 2;
}

// What the selection and mode allow, before readiness.
bool ruleAllows(int command, const std::vector<int>& selected)
{
    const size_t n = selected.size();
    const bool slideshow = gApp.mode == ModeSlideshow;
    switch (command) {
    case CmdCut: case CmdCopy: case CmdDelete:
    case CmdProperties: case CmdCrop: case CmdResize: case CmdConvert: case CmdAdjust: case CmdRotate:
    case CmdSharpenSoften: case CmdBatchRename: case CmdEmail:
        return n >= 1;
    case CmdRename: case CmdSendInfrared:
        return n == 1;
    case CmdPaste:
        return FileClipboardHasFiles();
    case CmdIptcEdit:
        return allSelectedAreJpeg(selected);
    case CmdModeThumbnails: case CmdModeList: case CmdModeDetails: case CmdModeStrip:
        return !slideshow;
    case CmdModeFullScreen:
        return n == 1 && !slideshow;
    case CmdPreviousPage:
        return gApp.currentPage != 0;
    case CmdNextPage:
        return gApp.currentPage != gApp.pageCount - 1;
    default:
        return true;
    }
}

bool imageModes() { return gApp.mode == ModeImage || gApp.mode == ModeFullScreen; }

BYTE openCloseButton(size_t n)
{
    if (gApp.mode == ModeSlideshow) return 0;
    if (gApp.mode == ModeFullScreen) return TBSTATE_ENABLED | TBSTATE_CHECKED;
    return n == 1 ? TBSTATE_ENABLED : 0;
}

BYTE propertiesButton(size_t n)
{
    bool on = n >= 1 && !imageModes() && gApp.mode != ModeSlideshow && CommandReady(CmdProperties);
    return on ? TBSTATE_ENABLED : 0;
}

BYTE deleteButton(size_t n)
{
    if (gApp.mode == ModeStrip || imageModes()) return TBSTATE_HIDDEN;
    bool on = n >= 1 && gApp.mode != ModeSlideshow && CommandReady(CmdDelete);
    return on ? TBSTATE_ENABLED : 0;
}

BYTE saveButton(const std::vector<int>& selected)
{
    if (gApp.mode != ModeStrip && !imageModes()) return TBSTATE_HIDDEN;
    return selectedHasColours(selected) && CommandReady(CmdSaveAdjusted) ? TBSTATE_ENABLED : 0;
}

BYTE toolButtonState(int command, const std::vector<int>& selected)
{
    switch (command) {
    case CmdSlideshow:
        return gApp.mode == ModeSlideshow ? TBSTATE_ENABLED | TBSTATE_CHECKED : TBSTATE_ENABLED;
    case CmdOpenClose: return openCloseButton(selected.size());
    case CmdProperties: return propertiesButton(selected.size());
    case CmdDelete: return deleteButton(selected.size());
    case CmdSaveAdjusted: return saveButton(selected);
    case CmdOrganizeFavorites: return CommandReady(command) ? TBSTATE_ENABLED : 0;
    default: return 0;
    }
}

constexpr int kToolButtons[] = {CmdSlideshow, CmdOpenClose, CmdSaveAdjusted, CmdDelete, CmdProperties,
                                CmdOrganizeFavorites};

}  // namespace

int FitChoice() { return gShell.fitChoice; }

void CheckModeItem()
{
    int mode = std::min(gApp.mode, static_cast<int>(ModeFullScreen));
    CheckMenuRadioItem(BarMenu(), CmdModeThumbnails, CmdModeFullScreen, CmdModeThumbnails + mode, MF_BYCOMMAND);
}

void ApplyMenuChecks()
{
    HMENU menu = BarMenu();
    CheckModeItem();
    CheckMenuRadioItem(menu, CmdSortName, CmdSortDimensions, CmdSortName + (gApp.sort & ~kSortDescending), MF_BYCOMMAND);
    CheckMenuRadioItem(menu, CmdSortAscending, CmdSortDescending,
                       (gApp.sort & kSortDescending) ? CmdSortDescending : CmdSortAscending, MF_BYCOMMAND);
    check(menu, CmdAutoRotate, gApp.rotateAuto);
    check(menu, CmdFileNames, gApp.showLabel);
    check(menu, CmdWholeFolderTree, gApp.recursive);
    EnableMenuItem(menu, CmdPreviousPage, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(menu, CmdNextPage, MF_BYCOMMAND | MF_ENABLED);
    check(menu, CmdActualSize, gShell.fitChoice == 2);
    check(menu, CmdFitWindow, gShell.fitChoice == 1);
    check(menu, CmdFitLargeFiles, gShell.fitChoice == 0);
}

bool CommandEnabled(int command)
{
    return CommandReady(command) && ruleAllows(command, ListSelectedIndexes());
}

BYTE ToolButtonState(int command) { return toolButtonState(command, ListSelectedIndexes()); }

void UpdateMenuState()
{
    std::vector<int> selected = ListSelectedIndexes();
    HMENU menu = BarMenu();
    const CommandMap& map = MainCommandMap();
    for (int i = 0; i < map.count; ++i) {
        int command = map.entries[i].id;
        bool on = CommandReady(command) && ruleAllows(command, selected);
        EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    }
    if (!gApp.menuBar) return;
    for (int command : kToolButtons)
        SendMessage(gApp.menuBar, TB_SETSTATE, static_cast<WPARAM>(command), toolButtonState(command, selected));
}

}  // namespace fotrix
