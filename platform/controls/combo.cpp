// Combo box: the field (the chosen item's text, or an edit field with
// CBS_DROPDOWN) with its arrow button, focus, keys and dropping. The items are
// in combo_items.cpp, the list it drops in combo_droplist.cpp.
#include "platform/controls/combo_internal.h"
#include "platform/controls/edit.h"
#include "platform/base/utf8.h"

using namespace controls;

namespace combo {

constexpr int kEditId = 1001;

Combo* comboOf(HWND hwnd) { return state<Combo>(hwnd); }

bool isDropDown(HWND hwnd) { return (GetWindowLong(hwnd, GWL_STYLE) & CBS_TYPEMASK) == CBS_DROPDOWN; }

int itemHeight(HWND hwnd) { return comboOf(hwnd)->font.lineHeight(hwnd) + scaled(2); }

// A frame line, a pixel of space and an item's height.
int fieldHeight(HWND hwnd) { return itemHeight(hwnd) + 4; }

void showInEdit(Combo* c, int index)
{
    if (!c->edit) return;
    c->quiet = true;
    SetWindowText(c->edit, index >= 0 ? c->items[static_cast<size_t>(index)].text.c_str() : "");
    SendMessage(c->edit, EM_SETSEL, 0, -1);
    c->quiet = false;
}

void select(HWND hwnd, Combo* c, int index)
{
    c->sel = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
    showInEdit(c, c->sel);
    InvalidateRect(hwnd, nullptr, FALSE);
}

namespace {

struct FieldLayout {
    RECT frame;   // the whole field
    RECT text;    // inside the frame, left of the button
    RECT button;  // the arrow button at the right
};

FieldLayout fieldLayout(HWND hwnd)
{
    FieldLayout f;
    GetClientRect(hwnd, &f.frame);
    int h = f.frame.bottom;
    int buttonWidth = std::min(static_cast<int>(f.frame.right) / 2, std::max(h - 2, scaled(13)));
    f.button = RECT{f.frame.right - 1 - buttonWidth, 1, f.frame.right - 1, h - 1};
    f.text = RECT{1, 1, f.button.left - 1, h - 1};
    return f;
}

void notify(HWND hwnd, WORD code) { notifyCommand(hwnd, code); }

// Moves the selection as a user does (from the keys, with the list closed).
void selectByUser(HWND hwnd, Combo* c, int index)
{
    int count = static_cast<int>(c->items.size());
    if (count == 0) return;
    index = std::clamp(index, 0, count - 1);
    if (index == c->sel) return;
    select(hwnd, c, index);
    notify(hwnd, CBN_SELCHANGE);
}

void resizeField(HWND hwnd, Combo* c)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    c->sizing = true;
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, fieldHeight(hwnd), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    c->sizing = false;
    if (c->edit) {
        FieldLayout f = fieldLayout(hwnd);
        MoveWindow(c->edit, f.text.left + 1, f.text.top, f.text.right - f.text.left - 1, f.text.bottom - f.text.top, TRUE);
    }
}

// ---- Painting ----

void paintArrow(HDC dc, const RECT& button, bool enabled)
{
    FillRect(dc, &button, GetSysColorBrush(COLOR_BTNFACE));
    RECT line{button.left - 1, button.top, button.left, button.bottom};
    FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
    int w = button.right - button.left, h = button.bottom - button.top;
    int half = std::max(2, w / 4);
    int cx = button.left + w / 2, top = button.top + (h - half) / 2;
    HBRUSH ink = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    // A triangle pointing down: rows that shrink by a pixel on each side.
    for (int row = 0; row < half; ++row) {
        RECT r{cx - half + row, top + row, cx + half - row, top + row + 1};
        FillRect(dc, &r, ink);
    }
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Combo* c = comboOf(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ oldFont = SelectObject(dc, c->font.get());
    FieldLayout f = fieldLayout(hwnd);
    bool enabled = IsWindowEnabled(hwnd);
    FrameRect(dc, &f.frame, GetSysColorBrush(COLOR_WINDOWFRAME));
    paintArrow(dc, f.button, enabled);
    if (!c->edit) {
        // The field of a drop-down list: background from the parent, the
        // chosen item highlighted while the box has the focus.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        HWND parent = GetParent(hwnd);
        LRESULT brush = parent && enabled
                            ? SendMessage(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd))
                            : 0;
        FillRect(dc, &f.text, brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
        bool highlight = c->focused && !c->list && enabled;
        RECT inner{f.text.left + 1, f.text.top + 1, f.text.right - 1, f.text.bottom - 1};
        if (highlight) {
            FillRect(dc, &inner, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
        if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        if (c->sel >= 0) {
            const std::string& t = c->items[static_cast<size_t>(c->sel)].text;
            RECT r{inner.left + scaled(2), inner.top, inner.right - 1, inner.bottom};
            SetBkMode(dc, TRANSPARENT);
            DrawText(dc, t.c_str(), static_cast<int>(t.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    } else {
        FillRect(dc, &f.text, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

// ---- Creation, size, font ----

LRESULT comboEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC editClassProc = nullptr;

LRESULT onCreate(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    c->droppedHeight = cs ? cs->cy : 0;
    // A combo box's scroll-bar styles are its list's (which scrolls by
    // itself): the field never shows a bar beside its arrow.
    ShowScrollBar(hwnd, SB_BOTH, FALSE);
    if (isDropDown(hwnd)) {
        DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (cs && (cs->style & WS_DISABLED) ? static_cast<DWORD>(WS_DISABLED) : 0u);
        c->edit = CreateWindowEx(0, WC_EDIT, "", style, 0, 0, 1, 1, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(kEditId)), nullptr, nullptr);
        if (!c->edit) return -1;
        // The box takes the edit field's arrow keys, Return and Escape.
        editClassProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtr(c->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(comboEditProc)));
    }
    resizeField(hwnd, c);
    return 0;
}

LRESULT onDestroy(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (c->list) {
        c->closing = true;
        HWND list = c->list;
        c->list = nullptr;
        DestroyWindow(list);
    }
    return 0;
}

// The box keeps the height of its field; a new height asked for later is
// taken as the new dropped height, as at creation.
LRESULT onSize(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    if (c->sizing) return 0;
    int height = HIWORD(static_cast<uintptr_t>(lParam));
    if (height != fieldHeight(hwnd)) c->droppedHeight = height;
    resizeField(hwnd, c);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    c->font.font = reinterpret_cast<HFONT>(wParam);
    if (c->edit) SendMessage(c->edit, WM_SETFONT, wParam, lParam);
    resizeField(hwnd, c);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}
LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(comboOf(hwnd)->font.font); }

LRESULT onEnable(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (c->edit) EnableWindow(c->edit, wParam != 0);
    if (!wParam) closeUp(hwnd, false);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

// ---- Text ----

LRESULT onSetText(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    const char* text = reinterpret_cast<const char*>(lParam);
    if (c->edit) {
        SetWindowText(c->edit, text ? text : "");
        return TRUE;
    }
    // A drop-down list can only show its items: the text picks one.
    LRESULT i = find(c, static_cast<WPARAM>(-1), text ? text : "", true);
    if (i == CB_ERR) return CB_ERR;
    select(hwnd, c, static_cast<int>(i));
    return TRUE;
}

LRESULT onGetText(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    if (c->edit) return SendMessage(c->edit, WM_GETTEXT, wParam, lParam);
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || wParam == 0) return 0;
    std::string t = c->sel >= 0 ? c->items[static_cast<size_t>(c->sel)].text : "";
    size_t n = std::min(t.size(), static_cast<size_t>(wParam) - 1);
    while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
    t.copy(buffer, n);
    buffer[n] = 0;
    return static_cast<LRESULT>(n);
}

LRESULT onGetTextLength(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (c->edit) return SendMessage(c->edit, WM_GETTEXTLENGTH, 0, 0);
    return c->sel >= 0 ? static_cast<LRESULT>(c->items[static_cast<size_t>(c->sel)].text.size()) : 0;
}

// ---- Focus ----

void gotFocus(HWND hwnd, Combo* c)
{
    if (c->focused) return;
    c->focused = true;
    InvalidateRect(hwnd, nullptr, FALSE);
    notify(hwnd, CBN_SETFOCUS);
}

void lostFocus(HWND hwnd, Combo* c)
{
    if (!c->focused) return;
    c->focused = false;
    InvalidateRect(hwnd, nullptr, FALSE);
    closeUp(hwnd, false);
    if (IsWindow(hwnd)) notify(hwnd, CBN_KILLFOCUS);
}

LRESULT onSetFocus(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (c->edit) {
        SetFocus(c->edit);  // the edit field's EN_SETFOCUS tells the parent
        SendMessage(c->edit, EM_SETSEL, 0, -1);
        return 0;
    }
    gotFocus(hwnd, c);
    return 0;
}

LRESULT onKillFocus(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (c->edit && reinterpret_cast<HWND>(wParam) == c->edit) return 0;
    lostFocus(hwnd, c);
    return 0;
}

// What the edit field of a CBS_DROPDOWN box reports becomes the box's own news.
LRESULT onCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (!c->edit || LOWORD(wParam) != kEditId) return 0;
    switch (HIWORD(wParam)) {
    case EN_CHANGE: if (!c->quiet) notify(hwnd, CBN_EDITCHANGE); break;
    case EN_UPDATE: if (!c->quiet) notify(hwnd, CBN_EDITUPDATE); break;
    case EN_SETFOCUS: gotFocus(hwnd, c); break;
    case EN_KILLFOCUS:
        if (GetFocus() != hwnd) lostFocus(hwnd, c);
        break;
    default: break;
    }
    return 0;
}

// ---- Dropping ----

void openList(HWND hwnd, bool stylusDown)
{
    Combo* c = comboOf(hwnd);
    if (c->list || !IsWindowEnabled(hwnd)) return;
    notify(hwnd, CBN_DROPDOWN);  // the parent may fill the list now (or even destroy the box)
    if (!IsWindow(hwnd) || c->list) return;
    c->list = createDropList(hwnd, c->sel, stylusDown);
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    if (c->edit) {
        // Only the button reaches the box itself; the edit field takes the rest.
        FieldLayout f = fieldLayout(hwnd);
        if (!contains(f.button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
    }
    SetFocus(hwnd);
    if (c->list) closeUp(hwnd, false);
    else openList(hwnd, true);
    return 0;
}

bool altDown() { return GetKeyState(VK_MENU) < 0; }

// Keys with the list closed: arrows, Page Up/Down and (in a drop-down list)
// Home/End move the selection; Return, F4 and Alt+arrow open the list. With
// the list open they move its highlight; Return, F4 and Alt+arrow choose,
// Escape cancels.
bool comboKey(HWND hwnd, UINT key)
{
    Combo* c = comboOf(hwnd);
    bool toggle = key == VK_F4 || key == VK_RETURN || (altDown() && (key == VK_DOWN || key == VK_UP));
    if (c->list) {
        if (toggle) closeUp(hwnd, true);
        else if (key == VK_ESCAPE) closeUp(hwnd, false);
        else return dropListKey(c->list, key);
        return true;
    }
    if (toggle) {
        openList(hwnd, false);
        return true;
    }
    int count = static_cast<int>(c->items.size());
    int rows = 1;
    dropListRect(hwnd, &rows);
    switch (key) {
    case VK_UP: selectByUser(hwnd, c, c->sel < 0 ? 0 : c->sel - 1); return true;
    case VK_DOWN: selectByUser(hwnd, c, c->sel + 1); return true;
    case VK_PRIOR: selectByUser(hwnd, c, c->sel - rows); return true;
    case VK_NEXT: selectByUser(hwnd, c, c->sel + rows); return true;
    case VK_HOME: if (c->edit) return false; selectByUser(hwnd, c, 0); return true;
    case VK_END: if (c->edit) return false; selectByUser(hwnd, c, count - 1); return true;
    default: return false;
    }
}

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (comboKey(hwnd, static_cast<UINT>(wParam))) return 0;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// A typed character in a drop-down list selects the next item starting with it.
LRESULT onChar(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (c->edit || wParam < 0x20) return 0;
    std::string prefix;
    utf8Append(prefix, static_cast<uint32_t>(wParam));
    LRESULT i = find(c, static_cast<WPARAM>(c->sel), prefix.c_str(), false);
    if (i == CB_ERR) return 0;
    if (c->list) dropListSetHot(c->list, static_cast<int>(i));
    else selectByUser(hwnd, c, static_cast<int>(i));
    return 0;
}

// What the box keeps from dialog navigation: arrows and characters, and
// while its list shows also Return and Escape, which choose or cancel there
// rather than press the dialog's buttons. (The message and its bits, as
// dialogs define them.)
constexpr UINT kGetDialogCode = 0x0087;
constexpr LRESULT kWantArrows = 0x0001, kWantMessage = 0x0004, kWantChars = 0x0080;

LRESULT dialogCode(HWND box, LPARAM lParam)
{
    LRESULT code = kWantArrows | kWantChars;
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (comboOf(box)->list && msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        code |= kWantMessage;
    return code;
}

LRESULT onGetDialogCode(HWND hwnd, UINT, WPARAM, LPARAM lParam) { return dialogCode(hwnd, lParam); }

LRESULT comboEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND box = GetParent(hwnd);
    if (message == kGetDialogCode && box)
        return CallWindowProc(editClassProc, hwnd, message, wParam, lParam) | dialogCode(box, lParam);
    if (message == WM_KEYDOWN && box) {
        auto key = static_cast<UINT>(wParam);
        bool forBox = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT || key == VK_F4 ||
                      key == VK_RETURN || (key == VK_ESCAPE && comboOf(box)->list);
        if (forBox && comboKey(box, key)) return 0;
    }
    // Return and Escape also arrive as characters; they are the box's keys.
    if (message == WM_CHAR && (wParam == VK_RETURN || wParam == VK_ESCAPE)) return 0;
    return CallWindowProc(editClassProc, hwnd, message, wParam, lParam);
}

// ---- Dropping by message ----

LRESULT onShowDropDown(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    if (wParam) openList(hwnd, false);
    else closeUp(hwnd, false);
    return TRUE;
}

LRESULT onGetDroppedState(HWND hwnd, UINT, WPARAM, LPARAM) { return comboOf(hwnd)->list ? TRUE : FALSE; }

LRESULT onGetDroppedControlRect(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    if (!lParam) return CB_ERR;
    int rows;
    *reinterpret_cast<RECT*>(lParam) = dropListRect(hwnd, &rows);
    return TRUE;
}

LRESULT onSetDroppedWidth(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    c->droppedWidth = static_cast<int>(std::min<WPARAM>(wParam, 0x7FFF));
    RECT r;
    GetWindowRect(hwnd, &r);
    return std::max<LRESULT>(c->droppedWidth, r.right - r.left);
}

LRESULT onGetDroppedWidth(HWND hwnd, UINT, WPARAM, LPARAM)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return std::max<LRESULT>(comboOf(hwnd)->droppedWidth, r.right - r.left);
}

LRESULT onGetItemHeight(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    return static_cast<int>(wParam) == -1 ? fieldHeight(hwnd) : itemHeight(hwnd);
}

LRESULT onLimitText(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    if (!c->edit) return CB_ERR;
    SendMessage(c->edit, EM_LIMITTEXT, wParam, 0);
    return TRUE;
}

LRESULT onGetEditSel(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    return c->edit ? SendMessage(c->edit, EM_GETSEL, wParam, lParam) : CB_ERR;
}

LRESULT onSetEditSel(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    if (!c->edit) return CB_ERR;
    auto start = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
    auto end = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
    SendMessage(c->edit, EM_SETSEL, static_cast<WPARAM>(static_cast<intptr_t>(start)), end);
    return TRUE;
}

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<Combo>},
    {WM_NCDESTROY, destroyState<Combo>},
    {WM_CREATE, onCreate},
    {WM_DESTROY, onDestroy},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_SIZE, onSize},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {WM_ENABLE, onEnable},
    {WM_SETTEXT, onSetText},
    {WM_GETTEXT, onGetText},
    {WM_GETTEXTLENGTH, onGetTextLength},
    {WM_SETFOCUS, onSetFocus},
    {WM_KILLFOCUS, onKillFocus},
    {WM_COMMAND, onCommand},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDown},
    {WM_KEYDOWN, onKeyDown},
    {WM_CHAR, onChar},
    {kGetDialogCode, onGetDialogCode},
    {CB_ADDSTRING, itemAddString},
    {CB_INSERTSTRING, itemInsertString},
    {CB_DELETESTRING, itemDeleteString},
    {CB_RESETCONTENT, itemResetContent},
    {CB_GETCOUNT, itemGetCount},
    {CB_GETCURSEL, itemGetCurSel},
    {CB_SETCURSEL, itemSetCurSel},
    {CB_GETLBTEXT, itemGetLbText},
    {CB_GETLBTEXTLEN, itemGetLbTextLen},
    {CB_GETITEMDATA, itemGetItemData},
    {CB_SETITEMDATA, itemSetItemData},
    {CB_FINDSTRING, itemFindString},
    {CB_FINDSTRINGEXACT, itemFindStringExact},
    {CB_SELECTSTRING, itemSelectString},
    {CB_SHOWDROPDOWN, onShowDropDown},
    {CB_GETDROPPEDSTATE, onGetDroppedState},
    {CB_GETDROPPEDCONTROLRECT, onGetDroppedControlRect},
    {CB_SETDROPPEDWIDTH, onSetDroppedWidth},
    {CB_GETDROPPEDWIDTH, onGetDroppedWidth},
    {CB_GETITEMHEIGHT, onGetItemHeight},
    {CB_LIMITTEXT, onLimitText},
    {CB_GETEDITSEL, onGetEditSel},
    {CB_SETEDITSEL, onSetEditSel},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

// Rows that fit the dropped height (at least one, at most the items), placed
// below the box, or above it when there is more room there; fewer rows when
// the screen has no room for them all, and the list then scrolls.
RECT dropListRect(HWND hwnd, int* rows)
{
    Combo* c = comboOf(hwnd);
    int item = itemHeight(hwnd);
    int count = std::max(1, static_cast<int>(c->items.size()));
    int wanted = std::clamp((c->droppedHeight - fieldHeight(hwnd) - 2) / item, 1, count);
    RECT box;
    GetWindowRect(hwnd, &box);
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    int below = screenH - box.bottom, above = box.top;
    bool up = wanted * item + 2 > below && above > below;
    int room = std::max(item + 2, up ? above : below);
    *rows = std::clamp((room - 2) / item, 1, wanted);
    int height = *rows * item + 2;
    int width = std::min(screenW, std::max(c->droppedWidth, static_cast<int>(box.right - box.left)));
    int left = std::clamp(static_cast<int>(box.left), 0, std::max(0, screenW - width));
    int top = up ? box.top - height : box.bottom;
    return RECT{left, top, left + width, top + height};
}

void closeUp(HWND hwnd, bool accept)
{
    Combo* c = comboOf(hwnd);
    if (!c || !c->list || c->closing) return;
    int hot = dropListHot(c->list);
    if (hot >= static_cast<int>(c->items.size())) hot = -1;  // items deleted while the list showed
    HWND list = c->list;
    c->closing = true;
    c->list = nullptr;
    DestroyWindow(list);
    c->closing = false;
    bool change = accept && hot >= 0 && hot != c->sel;
    if (change) select(hwnd, c, hot);
    InvalidateRect(hwnd, nullptr, FALSE);
    notify(hwnd, accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    notify(hwnd, CBN_CLOSEUP);
    if (change) notify(hwnd, CBN_SELCHANGE);
}

}  // namespace combo

void registerComboBoxClass()
{
    controls::registerControlClass(WC_COMBOBOX, MessageMapProc<combo::kMap>, CS_DBLCLKS);
    combo::registerDropListClass();
}
