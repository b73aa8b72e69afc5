// Class registration and parent notifications shared by the controls.
#include "platform/controls/control_kit.h"

namespace controls {

void registerControlClass(const char* name, WNDPROC proc, UINT classStyle)
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, name, &existing)) return;
    WNDCLASS wc{};
    wc.style = classStyle | CS_GLOBALCLASS;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = kStateBytes;
    wc.lpszClassName = name;
    RegisterClass(&wc);
}

int FontHolder::lineHeight(HWND hwnd) const
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, get());
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight;
}

int scrollThumbPosition(HWND hwnd, int bar, WPARAM wParam)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const bool shown = style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL);
    if (shown && GetScrollInfo(hwnd, bar, &info) && (info.nTrackPos & 0xFFFF) == HIWORD(wParam)) return info.nTrackPos;
    return HIWORD(wParam);
}

LRESULT repaintAfterDefault(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = DefWindowProc(hwnd, message, wParam, lParam);
    InvalidateRect(hwnd, nullptr, FALSE);
    return result;
}

void notifyCommand(HWND control, WORD code)
{
    HWND parent = GetParent(control);
    if (!parent) return;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

LRESULT notifyParent(HWND control, NMHDR* header, UINT code)
{
    header->hwndFrom = control;
    header->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header->code = code;
    HWND parent = GetParent(control);
    if (!parent) return 0;
    return SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

HBRUSH staticBackground(HWND control, HDC dc)
{
    SetTextColor(dc, GetSysColor(COLOR_STATICTEXT));
    SetBkColor(dc, GetSysColor(COLOR_STATIC));
    HWND parent = GetParent(control);
    LRESULT brush = parent ? SendMessage(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(control))
                           : 0;
    return brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_STATIC);
}

}  // namespace controls

void registerButtonClass();
void registerStaticClass();
void registerProgressClass();
void registerTrackBarClass();
void registerListViewClass();
void registerTabClass();
void registerTreeViewClass();
void registerEditClass();
void registerComboBoxClass();
void registerUpDownClass();
void registerListBoxClass();

void InitCommonControls()
{
    registerButtonClass();
    registerStaticClass();
    registerProgressClass();
    registerTrackBarClass();
    registerListViewClass();
    registerTabClass();
    registerTreeViewClass();
    registerEditClass();
    registerComboBoxClass();
    registerUpDownClass();
    registerListBoxClass();
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init)
{
    if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    InitCommonControls();
    return TRUE;
}
