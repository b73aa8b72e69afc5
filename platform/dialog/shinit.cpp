// The Pocket PC dialog set-up: size the dialog to the screen and put its OK
// button in the task bar.
#include "platform/dialog/dialog_internal.h"
#include "platform/shell/taskbar.h"

namespace {

EmptyMenuBarMaker emptyMenuBarMaker = nullptr;

}  // namespace

void setEmptyMenuBarMaker(EmptyMenuBarMaker maker) { emptyMenuBarMaker = maker; }

BOOL SHInitDialog(SHINITDLGINFO* info)
{
    if (!info || !(info->dwMask & SHIDIM_FLAGS) || !IsWindow(info->hDlg)) return FALSE;
    HWND dlg = info->hDlg;
    DWORD flags = info->dwFlags;
    if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
        // The work area the dialog has once it is active, which may differ
        // from the one of the full-screen window it comes up over.
        RECT r = shellWorkAreaFor(dlg);
        if (flags & SHIDIF_FULLSCREENNOMENUBAR) r.bottom = GetSystemMetrics(SM_CYSCREEN);
        MoveWindow(dlg, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    // There is no input panel to lower: SHIDIF_SIPDOWN asks for nothing. An
    // empty bar of the dialog's own hides the owner's menu bar, whose menus
    // are not for use while the dialog is up.
    bool emptyBar = (flags & SHIDIF_EMPTYMENU) && !(flags & SHIDIF_FULLSCREENNOMENUBAR);
    if (emptyBar && emptyMenuBarMaker) emptyMenuBarMaker(dlg);
    SHDoneButton(dlg, (flags & SHIDIF_DONEBUTTON) ? SHDB_SHOW : SHDB_HIDE);
    return TRUE;
}
