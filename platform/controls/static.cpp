// Static controls: text (left, centred, right, word-wrapped or not), filled
// rectangles and pictures (STM_SETIMAGE with a bitmap). With SS_NOTIFY a tap
// sends STN_CLICKED.
#include "platform/controls/control_kit.h"

using namespace controls;

namespace {

struct Static {
    FontHolder font;
    HBITMAP bitmap = nullptr;  // not owned: the caller keeps and deletes it
};

void paintBitmap(HWND hwnd, Static* s, HDC dc, const RECT& client)
{
    BITMAP bm{};
    if (!s->bitmap || !GetObject(s->bitmap, sizeof bm, &bm)) return;
    int x = 0, y = 0;
    if (GetWindowLong(hwnd, GWL_STYLE) & SS_CENTERIMAGE) {
        x = (client.right - bm.bmWidth) / 2;
        y = (client.bottom - static_cast<int>(bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight)) / 2;
    }
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, s->bitmap);
    BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Static* s = state<Static>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    DWORD t = style & SS_TYPEMASK;
    if (t == SS_BLACKRECT || t == SS_GRAYRECT || t == SS_WHITERECT) {
        int colour = t == SS_BLACKRECT ? COLOR_WINDOWFRAME : t == SS_GRAYRECT ? COLOR_BTNSHADOW : COLOR_WINDOW;
        FillRect(dc, &client, GetSysColorBrush(colour));
    } else {
        FillRect(dc, &client, staticBackground(hwnd, dc));
        if (t == SS_BITMAP) {
            paintBitmap(hwnd, s, dc, client);
        } else {
            HGDIOBJ oldFont = SelectObject(dc, s->font.get());
            UINT format = t == SS_CENTER ? DT_CENTER : t == SS_RIGHT ? DT_RIGHT : DT_LEFT;
            format |= t == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
            if (style & SS_CENTERIMAGE) format |= DT_SINGLELINE | DT_VCENTER;
            if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            SetBkMode(dc, TRANSPARENT);
            char text[1024];
            int n = GetWindowText(hwnd, text, sizeof text);
            DrawText(dc, text, n, &client, format);
            SelectObject(dc, oldFont);
        }
    }
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (GetWindowLong(hwnd, GWL_STYLE) & SS_NOTIFY) notifyCommand(hwnd, STN_CLICKED);
    return 0;
}

LRESULT onSetImage(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    if (wParam != IMAGE_BITMAP) return 0;
    Static* s = state<Static>(hwnd);
    HBITMAP old = s->bitmap;
    s->bitmap = reinterpret_cast<HBITMAP>(lParam);
    InvalidateRect(hwnd, nullptr, FALSE);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT onGetImage(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(state<Static>(hwnd)->bitmap) : 0;
}

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    state<Static>(hwnd)->font.font = reinterpret_cast<HFONT>(wParam);
    if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(state<Static>(hwnd)->font.font); }

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<Static>},
    {WM_NCDESTROY, destroyState<Static>},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_SETTEXT, repaintAfterDefault},
    {WM_ENABLE, repaintAfterDefault},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {STM_SETIMAGE, onSetImage},
    {STM_GETIMAGE, onGetImage},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerStaticClass() { registerControlClass(WC_STATIC, MessageMapProc<kMap>); }
