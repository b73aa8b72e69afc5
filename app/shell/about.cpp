#include "app/shell/about.h"

#include "app/language.h"
#include "app/shell/peer_interfaces.h"

namespace fotrix {

namespace {

// Done button, full-screen size, input panel down, empty menu.
constexpr DWORD kDialogInitFlags = 0x2D;

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM)
{
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, kDialogInitFlags};
    SHInitDialog(&info);
    BeginDialogSection("DlgAbout");
    SetDlgItemTr(dialog, kAboutLibrary, "IDC_ABOUT_LIBRARY");
    SetDlgItemTr(dialog, IDOK, "IDOK");
    return TRUE;
}

LRESULT onCommand(HWND dialog, UINT, WPARAM wParam, LPARAM)
{
    WORD id = LOWORD(wParam);
    if (id != IDOK && id != IDCANCEL) return FALSE;
    EndDialog(dialog, id);
    return TRUE;
}

const MessageEntry kAboutMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, onCommand},
};
const MessageMap kAboutMap = makeMessageMap(kAboutMessages, DefaultProcNone);

}  // namespace

INT_PTR ShowAboutDialog(HWND owner)
{
    return DialogBoxParam(GetModuleHandle(nullptr), MAKEINTRESOURCE(kDialogAbout), owner, MessageMapProc<kAboutMap>,
                          0);
}

}  // namespace fotrix
