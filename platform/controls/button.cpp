// Buttons: push, default push, check boxes (two and three states, manual and
// automatic), radio buttons (manual and automatic) and group boxes. Flat: a
// one-pixel black frame (two for the default button), pressed buttons drawn
// inverted. A tap is a click only when the stylus comes up over the button.
#include "platform/controls/control_kit.h"

#include <strings.h>

using namespace controls;

namespace {

struct Button {
    FontHolder font;
    UINT check = BST_UNCHECKED;
    bool pushed = false;    // drawn pressed (stylus over it, or Space held)
    bool tracking = false;  // stylus went down on it and is still down
    bool focused = false;
};

DWORD typeOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & BS_TYPEMASK; }
bool isCheckBox(DWORD t) { return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE; }
bool isRadio(DWORD t) { return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON; }

// Box of a check box or radio button: a square at the left, centred vertically
// (at the right with BS_LEFTTEXT); the text takes the rest.
void checkLayout(HWND hwnd, RECT* box, RECT* text)
{
    RECT client;
    GetClientRect(hwnd, &client);
    int size = scaled(13);
    int gap = scaled(4);
    bool right = GetWindowLong(hwnd, GWL_STYLE) & BS_LEFTTEXT;
    int top = (client.bottom - size) / 2;
    if (right) {
        *box = RECT{client.right - size, top, client.right, top + size};
        *text = RECT{0, 0, box->left - gap, client.bottom};
    } else {
        *box = RECT{0, top, size, top + size};
        *text = RECT{size + gap, 0, client.right, client.bottom};
    }
}

void drawText(HWND hwnd, HDC dc, RECT* r, UINT format)
{
    char text[256];
    int n = GetWindowText(hwnd, text, sizeof text);
    if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, text, n, r, format);
}

void paintPush(HWND hwnd, Button* b, HDC dc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    bool down = b->pushed || (b->check & BST_CHECKED && GetWindowLong(hwnd, GWL_STYLE) & BS_PUSHLIKE);
    FillRect(dc, &r, GetSysColorBrush(down ? COLOR_WINDOWFRAME : COLOR_BTNFACE));
    HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
    FrameRect(dc, &r, frame);
    if (typeOf(hwnd) == BS_DEFPUSHBUTTON) {
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FrameRect(dc, &inner, frame);
    }
    SetTextColor(dc, GetSysColor(down ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    drawText(hwnd, dc, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void paintCheck(HWND hwnd, Button* b, HDC dc, bool radio)
{
    RECT client, box, text;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, staticBackground(hwnd, dc));
    checkLayout(hwnd, &box, &text);
    HBRUSH face = GetSysColorBrush(b->pushed || !IsWindowEnabled(hwnd) ? COLOR_BTNFACE : COLOR_WINDOW);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, face);
    int size = box.right - box.left;
    if (radio) {
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
        if (b->check & BST_CHECKED) {
            int inset = size * 3 / 10;
            SelectObject(dc, GetStockObject(BLACK_BRUSH));
            Ellipse(dc, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
        }
    } else {
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
        if (b->check & BST_INDETERMINATE) {
            RECT in{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
            FillRect(dc, &in, GetSysColorBrush(COLOR_BTNSHADOW));
        } else if (b->check & BST_CHECKED) {
            // A tick of three-pixel strokes: down to the lower third, then up to the top right.
            int x0 = box.left + size / 4, y0 = box.top + size / 2 - 1;
            int x1 = box.left + size * 2 / 5, y1 = box.bottom - size / 4 - 1;
            int x2 = box.right - size / 4, y2 = box.top + size / 4;
            for (int d = 0; d < 3; ++d) {
                MoveToEx(dc, x0, y0 + d, nullptr);
                LineTo(dc, x1, y1 + d);
                LineTo(dc, x2 + 1, y2 + d - 1);
            }
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    drawText(hwnd, dc, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void paintGroup(HWND hwnd, HDC dc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH back = staticBackground(hwnd, dc);
    FillRect(dc, &client, back);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    RECT frame{client.left, client.top + tm.tmHeight / 2, client.right, client.bottom};
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    char text[256];
    int n = GetWindowText(hwnd, text, sizeof text);
    if (n > 0) {
        RECT label{scaled(6), 0, client.right - scaled(6), tm.tmHeight};
        DrawText(dc, text, n, &label, DT_CALCRECT | DT_SINGLELINE);
        label.left -= 2;
        label.right += 2;
        FillRect(dc, &label, back);
        label.left += 2;
        drawText(hwnd, dc, &label, DT_LEFT | DT_SINGLELINE);
    }
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Button* b = state<Button>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ oldFont = SelectObject(dc, b->font.get());
    DWORD t = typeOf(hwnd);
    if (t == BS_GROUPBOX)
        paintGroup(hwnd, dc);
    else if (isRadio(t))
        paintCheck(hwnd, b, dc, true);
    else if (isCheckBox(t) && !(GetWindowLong(hwnd, GWL_STYLE) & BS_PUSHLIKE))
        paintCheck(hwnd, b, dc, false);
    else
        paintPush(hwnd, b, dc);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

// Radio buttons of one group: from the nearest sibling at or before this one
// with WS_GROUP up to the next WS_GROUP.
void uncheckGroupSiblings(HWND hwnd)
{
    HWND first = hwnd;
    while (!(GetWindowLong(first, GWL_STYLE) & WS_GROUP)) {
        HWND prev = GetWindow(first, GW_HWNDPREV);
        if (!prev) break;
        first = prev;
    }
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != first && (GetWindowLong(w, GWL_STYLE) & WS_GROUP)) break;
        if (w == hwnd) continue;
        char cls[32];
        GetClassName(w, cls, sizeof cls);
        if (strcasecmp(cls, WC_BUTTON) == 0 && typeOf(w) == BS_AUTORADIOBUTTON)
            SendMessage(w, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

// A completed click: automatic buttons change their check first, then the
// parent hears BN_CLICKED.
void click(HWND hwnd)
{
    Button* b = state<Button>(hwnd);
    DWORD t = typeOf(hwnd);
    if (t == BS_AUTOCHECKBOX) {
        SendMessage(hwnd, BM_SETCHECK, (b->check & BST_CHECKED) ? BST_UNCHECKED : BST_CHECKED, 0);
    } else if (t == BS_AUTO3STATE) {
        UINT next = (b->check & BST_CHECKED) ? BST_INDETERMINATE : (b->check & BST_INDETERMINATE) ? BST_UNCHECKED : BST_CHECKED;
        SendMessage(hwnd, BM_SETCHECK, next, 0);
    } else if (t == BS_AUTORADIOBUTTON) {
        SendMessage(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        uncheckGroupSiblings(hwnd);
    }
    notifyCommand(hwnd, BN_CLICKED);
}

void setPushed(HWND hwnd, bool pushed)
{
    Button* b = state<Button>(hwnd);
    if (b->pushed == pushed) return;
    b->pushed = pushed;
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (typeOf(hwnd) == BS_GROUPBOX) return 0;
    Button* b = state<Button>(hwnd);
    SetFocus(hwnd);
    SetCapture(hwnd);
    b->tracking = true;
    setPushed(hwnd, true);
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Button* b = state<Button>(hwnd);
    if (!b->tracking) return 0;
    RECT r;
    GetClientRect(hwnd, &r);
    setPushed(hwnd, contains(r, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Button* b = state<Button>(hwnd);
    if (!b->tracking) return 0;
    b->tracking = false;
    RECT r;
    GetClientRect(hwnd, &r);
    bool inside = contains(r, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    setPushed(hwnd, false);
    ReleaseCapture();
    if (inside) click(hwnd);
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Button* b = state<Button>(hwnd);
    if (b->tracking) {
        b->tracking = false;
        setPushed(hwnd, false);
    }
    return 0;
}

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wParam == VK_SPACE && typeOf(hwnd) != BS_GROUPBOX) {
        setPushed(hwnd, true);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT onKeyUp(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Button* b = state<Button>(hwnd);
    if (wParam == VK_SPACE && b->pushed) {
        setPushed(hwnd, false);
        click(hwnd);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT onSetFocus(HWND hwnd, UINT, WPARAM, LPARAM)
{
    state<Button>(hwnd)->focused = true;
    if (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY) notifyCommand(hwnd, BN_SETFOCUS);
    return 0;
}

LRESULT onKillFocus(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Button* b = state<Button>(hwnd);
    b->focused = false;
    setPushed(hwnd, false);
    if (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY) notifyCommand(hwnd, BN_KILLFOCUS);
    return 0;
}

LRESULT onGetCheck(HWND hwnd, UINT, WPARAM, LPARAM) { return state<Button>(hwnd)->check; }

LRESULT onSetCheck(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Button* b = state<Button>(hwnd);
    DWORD t = typeOf(hwnd);
    UINT check = static_cast<UINT>(wParam) & (BST_CHECKED | BST_INDETERMINATE);
    if (check == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE) check = BST_CHECKED;
    if (check == (BST_CHECKED | BST_INDETERMINATE)) check = BST_CHECKED;
    if (b->check != check) {
        b->check = check;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    // Tab stops of automatic radio buttons follow the check, so Tab lands on the chosen one.
    if (t == BS_AUTORADIOBUTTON) {
        LONG style = GetWindowLong(hwnd, GWL_STYLE);
        SetWindowLong(hwnd, GWL_STYLE, check ? (style | WS_TABSTOP) : (style & ~static_cast<LONG>(WS_TABSTOP)));
    }
    return 0;
}

LRESULT onGetState(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Button* b = state<Button>(hwnd);
    return b->check | (b->pushed ? UINT{BST_PUSHED} : 0u) | (b->focused ? UINT{BST_FOCUS} : 0u);
}

LRESULT onSetState(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    setPushed(hwnd, wParam != 0);
    return 0;
}

LRESULT onSetStyle(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    LONG style = GetWindowLong(hwnd, GWL_STYLE);
    SetWindowLong(hwnd, GWL_STYLE, (style & ~0xFFFF) | static_cast<LONG>(wParam & 0xFFFF));
    if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onClick(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (IsWindowEnabled(hwnd) && typeOf(hwnd) != BS_GROUPBOX) click(hwnd);
    return 0;
}

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    state<Button>(hwnd)->font.font = reinterpret_cast<HFONT>(wParam);
    if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(state<Button>(hwnd)->font.font);
}

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<Button>},
    {WM_NCDESTROY, destroyState<Button>},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDown},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {WM_KEYDOWN, onKeyDown},
    {WM_KEYUP, onKeyUp},
    {WM_SETFOCUS, onSetFocus},
    {WM_KILLFOCUS, onKillFocus},
    {WM_SETTEXT, repaintAfterDefault},
    {WM_ENABLE, repaintAfterDefault},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {BM_GETCHECK, onGetCheck},
    {BM_SETCHECK, onSetCheck},
    {BM_GETSTATE, onGetState},
    {BM_SETSTATE, onSetState},
    {BM_SETSTYLE, onSetStyle},
    {BM_CLICK, onClick},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerButtonClass() { registerControlClass(WC_BUTTON, MessageMapProc<kMap>); }

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND b = GetDlgItem(dialog, id);
    if (!b) return FALSE;
    SendMessage(b, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND b = GetDlgItem(dialog, id);
    return b ? static_cast<UINT>(SendMessage(b, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    for (int id = first; id <= last; ++id) {
        HWND b = GetDlgItem(dialog, id);
        if (b) SendMessage(b, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}
