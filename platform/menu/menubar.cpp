// The menu bar: a tool bar living in the menu-bar place at the bottom of the
// screen. Text buttons drop their pop-up menu up above the bar through the
// pop-up loop; tool buttons show an image and send their command. One layout
// function places the buttons for painting, for taps and for TB_GETITEMRECT.
#include "platform/controls/control_kit.h"
#include "platform/controls/imagelist.h"
#include "platform/menu/menu_internal.h"
#include "platform/menu/menubar.h"
#include "platform/resources/resources.h"

#include <cstring>
#include <map>
#include <mutex>

using namespace controls;

namespace {

constexpr char kMenuBarClass[] = "FotrixMenuBar";
constexpr COLORREF kImageMask = 0xC4C4C4;  // the transparent colour of tool-button bitmaps

std::mutex& barsLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<MenuBarResource>& barResources()
{
    static std::vector<MenuBarResource> list;
    return list;
}

struct Button {
    int image = I_IMAGENONE;
    int command = 0;
    BYTE state = TBSTATE_ENABLED;
    BYTE style = TBSTYLE_BUTTON;
    DWORD_PTR data = 0;
    INT_PTR stringIndex = -1;
    std::string text;
    int subMenu = NOMENU;
};

struct MenuBar {
    HWND parent = nullptr;
    HMENU menu = nullptr;                // owned: destroyed with the bar
    std::vector<Button> buttons;
    std::vector<std::string> strings;    // the string list of TB_ADDSTRING
    HBITMAP strip = nullptr;             // images side by side (nBmpId)
    int stripCount = 0;
    HIMAGELIST imageList = nullptr;          // TB_SETIMAGELIST: drawn instead of the strip
    HIMAGELIST disabledImageList = nullptr;  // TB_SETDISABLEDIMAGELIST: for disabled buttons
    bool sipButton = true;
    bool ownBackground = false;
    COLORREF background = 0;
    int pressed = -1;                    // button shown pushed (stylus down or menu open)
    int downButton = -1;                 // tool button the stylus went down on
    // The pop-up each drop-down command shows: a button deleted and inserted
    // again (to relabel it) keeps its menu.
    std::map<int, int> subMenuOfCommand;
};

MenuBar* bar(HWND hwnd) { return state<MenuBar>(hwnd); }

HFONT barFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

bool hidden(const Button& b) { return b.state & TBSTATE_HIDDEN; }
bool enabled(const Button& b) { return b.state & TBSTATE_ENABLED; }
bool hasText(const Button& b) { return b.image == I_IMAGENONE && !b.text.empty(); }
bool dropsDown(const Button& b) { return b.subMenu != NOMENU || (b.style & TBSTYLE_DROPDOWN); }

SIZE imageSize(const MenuBar* mb)
{
    int cx = 0, cy = 0;
    if (mb->imageList && ImageList_GetIconSize(mb->imageList, &cx, &cy)) return SIZE{cx, cy};
    if (mb->strip && mb->stripCount > 0) {
        BITMAP bm{};
        GetObject(mb->strip, sizeof bm, &bm);
        return SIZE{bm.bmWidth / mb->stripCount, bm.bmHeight};
    }
    return SIZE{scaled(16), scaled(16)};
}

// The input panel's button at the right end takes this much of the bar.
int sipButtonRoom() { return scaled(28); }

// Button rectangles in client coordinates; hidden buttons get empty ones.
// Buttons are as wide as their text or image with some room around it; when
// they would run into the input panel's button, that room shrinks for all of
// them alike (down to a little), so that no button lies under another.
std::vector<RECT> layout(HWND hwnd, const MenuBar* mb)
{
    RECT client;
    GetClientRect(hwnd, &client);
    HDC dc = GetDC(hwnd);
    HGDIOBJ oldFont = SelectObject(dc, barFont());
    SIZE image = imageSize(mb);
    std::vector<int> least, slack;  // width of each button at the least, and the room it may give up
    for (const Button& b : mb->buttons) {
        int w = 0, room = 0;
        if (hidden(b)) {
            w = 0;
        } else if (b.style & TBSTYLE_SEP) {
            w = b.image > 0 ? b.image : scaled(6);
        } else if (hasText(b)) {
            RECT r{0, 0, 0, 0};
            DrawText(dc, b.text.c_str(), static_cast<int>(b.text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
            w = r.right + scaled(6);
            room = scaled(8);
        } else {
            w = static_cast<int>(image.cx) + scaled(2);
            room = std::max(static_cast<int>(image.cx) + scaled(8), scaled(24)) - w;
        }
        least.push_back(w);
        slack.push_back(room);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd, dc);
    int available = client.right - (mb->sipButton ? sipButtonRoom() : 0), leastSum = 0, slackSum = 0;
    for (size_t i = 0; i < least.size(); ++i) leastSum += least[i], slackSum += slack[i];
    int room = std::clamp(available - leastSum, 0, slackSum);  // of slackSum, what the bar can give
    std::vector<RECT> rects;
    int x = 0, given = 0, slackSoFar = 0;
    for (size_t i = 0; i < least.size(); ++i) {
        // Hands out `room` in proportion to each button's slack, without rounding drift.
        slackSoFar += slack[i];
        int share = slackSum ? static_cast<int>(static_cast<long long>(room) * slackSoFar / slackSum) - given : 0;
        given += share;
        int w = least[i] + share;
        rects.push_back(RECT{x, 1, x + w, client.bottom});
        x += w;
    }
    return rects;
}

int buttonAt(HWND hwnd, const MenuBar* mb, int x, int y)
{
    std::vector<RECT> rects = layout(hwnd, mb);
    for (size_t i = 0; i < rects.size(); ++i)
        if (!hidden(mb->buttons[i]) && !(mb->buttons[i].style & TBSTYLE_SEP) && contains(rects[i], x, y))
            return static_cast<int>(i);
    return -1;
}

int indexOfCommand(const MenuBar* mb, WPARAM command)
{
    for (size_t i = 0; i < mb->buttons.size(); ++i)
        if (!(mb->buttons[i].style & TBSTYLE_SEP) && mb->buttons[i].command == static_cast<int>(command))
            return static_cast<int>(i);
    return -1;
}

// Draws image `index` of the bar's strip, leaving out the mask colour.
void drawStripImage(HDC dc, const MenuBar* mb, int index, int x, int y, bool grey)
{
    if (!mb->strip || index < 0 || index >= mb->stripCount) return;
    SIZE size = imageSize(mb);
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, mb->strip);
    for (int py = 0; py < size.cy; ++py)
        for (int px = 0; px < size.cx; ++px) {
            COLORREF c = GetPixel(src, index * size.cx + px, py);
            if (c == kImageMask) continue;
            if (grey) {
                // Disabled without an image list of its own: a light grey shape.
                int l = (GetRValue(c) * 77 + GetGValue(c) * 150 + GetBValue(c) * 29) >> 8;
                int v = 128 + l / 2;
                c = RGB(v, v, v);
            }
            SetPixel(dc, x + px, y + py, c);
        }
    SelectObject(src, old);
    DeleteDC(src);
}

void drawSipButton(HDC dc, const RECT& client)
{
    // A small keyboard: the input panel's button keeps its place at the right end.
    int w = scaled(20), h = scaled(12);
    int x = client.right - (sipButtonRoom() - w) / 2 - w, y = (client.bottom + 1 - h) / 2;
    RECT box{x, y, x + w, y + h};
    FrameRect(dc, &box, GetSysColorBrush(COLOR_MENUTEXT));
    for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 4; ++k) {
            RECT key{x + scaled(3) + k * scaled(4), y + scaled(3) + row * scaled(4), x + scaled(5) + k * scaled(4),
                     y + scaled(5) + row * scaled(4)};
            FillRect(dc, &key, GetSysColorBrush(COLOR_MENUTEXT));
        }
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    MenuBar* mb = bar(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH own = mb->ownBackground ? CreateSolidBrush(mb->background) : nullptr;
    FillRect(dc, &client, own ? own : GetSysColorBrush(COLOR_MENU));
    if (own) DeleteObject(own);
    RECT line{0, 0, client.right, 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
    HGDIOBJ oldFont = SelectObject(dc, barFont());
    SetBkMode(dc, TRANSPARENT);
    std::vector<RECT> rects = layout(hwnd, mb);
    SIZE image = imageSize(mb);
    for (size_t i = 0; i < mb->buttons.size(); ++i) {
        const Button& b = mb->buttons[i];
        if (hidden(b) || (b.style & TBSTYLE_SEP)) continue;
        RECT r = rects[i];
        bool down = static_cast<int>(i) == mb->pressed || (b.state & TBSTATE_PRESSED);
        if (down) {
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        } else if (b.state & TBSTATE_CHECKED) {
            FillRect(dc, &r, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        }
        if (hasText(b)) {
            SetTextColor(dc, GetSysColor(!enabled(b) ? COLOR_GRAYTEXT : down ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
            DrawText(dc, b.text.c_str(), static_cast<int>(b.text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        } else if (b.image >= 0) {
            int x = (r.left + r.right - image.cx) / 2, y = (r.top + r.bottom - image.cy) / 2;
            if (!enabled(b) && mb->disabledImageList) ImageList_Draw(mb->disabledImageList, b.image, dc, x, y, ILD_TRANSPARENT);
            else if (mb->imageList && !enabled(b))  // faded into the bar when there is no disabled list
                ImageList_DrawEx(mb->imageList, b.image, dc, x, y, 0, 0, CLR_NONE, GetSysColor(COLOR_MENU),
                                 ILD_TRANSPARENT | ILD_BLEND50);
            else if (mb->imageList) ImageList_Draw(mb->imageList, b.image, dc, x, y, ILD_TRANSPARENT);
            else drawStripImage(dc, mb, b.image, x, y, !enabled(b));
        }
    }
    if (mb->sipButton) drawSipButton(dc, client);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

void setPressed(HWND hwnd, int index)
{
    MenuBar* mb = bar(hwnd);
    if (mb->pressed == index) return;
    mb->pressed = index;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

HMENU subMenuOf(const MenuBar* mb, const Button& b) { return b.subMenu == NOMENU ? nullptr : GetSubMenu(mb->menu, b.subMenu); }

// Drops the menu of button `index` up above the bar. A tap on another drop-down
// button while a menu is open moves to that button's menu.
void dropDown(HWND hwnd, int index)
{
    for (;;) {
        MenuBar* mb = bar(hwnd);
        HMENU menu = subMenuOf(mb, mb->buttons[index]);
        if (!menu) return;
        std::vector<RECT> rects = layout(hwnd, mb);
        POINT at{rects[index].left, 0};
        ClientToScreen(hwnd, &at);
        setPressed(hwnd, index);
        POINT cancelPoint;
        HWND parent = mb->parent;
        UINT id = menus::trackPopup(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN, at.x, at.y, parent, nullptr, &cancelPoint);
        if (!IsWindow(hwnd)) return;
        setPressed(hwnd, -1);
        if (id) {
            SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, 0), 0);
            return;
        }
        if (cancelPoint.x < 0) return;
        POINT p = cancelPoint;
        ScreenToClient(hwnd, &p);
        int next = buttonAt(hwnd, bar(hwnd), p.x, p.y);
        if (next < 0 || next == index || !enabled(bar(hwnd)->buttons[next]) || !subMenuOf(bar(hwnd), bar(hwnd)->buttons[next]))
            return;
        index = next;
    }
}

// A bar whose window is disabled (a modal dialog runs over it) takes no
// taps, as that window would take none: its commands wait for the dialog.
bool takesTaps(const MenuBar* mb) { return !mb->parent || IsWindowEnabled(mb->parent); }

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    int i = buttonAt(hwnd, mb, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (i < 0 || !enabled(mb->buttons[i]) || !takesTaps(mb)) return 0;
    if (dropsDown(mb->buttons[i])) {
        dropDown(hwnd, i);
        return 0;
    }
    mb->downButton = i;
    SetCapture(hwnd);
    setPressed(hwnd, i);
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    if (GetCapture() != hwnd || mb->downButton < 0) return 0;
    // The pushed look follows the stylus on and off the button it went down on.
    int over = buttonAt(hwnd, mb, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    setPressed(hwnd, over == mb->downButton ? over : -1);
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    if (GetCapture() != hwnd) return 0;
    int down = mb->downButton;
    mb->downButton = -1;
    ReleaseCapture();
    setPressed(hwnd, -1);
    int i = buttonAt(hwnd, mb, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (down < 0 || i != down || !enabled(mb->buttons[i])) return 0;
    Button& b = mb->buttons[i];
    if (b.style & TBSTYLE_CHECK) {
        b.state ^= TBSTATE_CHECKED;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    SendMessage(mb->parent, WM_COMMAND, MAKEWPARAM(b.command, 0), reinterpret_cast<LPARAM>(hwnd));
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    // Capture taken away in the middle of a tap: the tap is over without a command.
    MenuBar* mb = bar(hwnd);
    if (mb->downButton >= 0 && GetCapture() != hwnd) {
        mb->downButton = -1;
        setPressed(hwnd, -1);
    }
    return 0;
}

LRESULT onDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    if (mb->menu) DestroyMenu(mb->menu);
    if (mb->strip) DeleteObject(mb->strip);
    mb->menu = nullptr;
    mb->strip = nullptr;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void changed(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

// ---- Buttons as TBBUTTON records ----

std::string stringAt(const MenuBar* mb, INT_PTR index)
{
    if (index < 0 || static_cast<size_t>(index) >= mb->strings.size()) return std::string();
    return mb->strings[static_cast<size_t>(index)];
}

Button fromTb(const MenuBar* mb, const TBBUTTON& tb)
{
    Button b;
    b.image = tb.iBitmap;
    b.command = tb.idCommand;
    b.state = tb.fsState;
    b.style = tb.fsStyle;
    b.data = tb.dwData;
    b.stringIndex = tb.iString;
    b.text = stringAt(mb, tb.iString);
    if (!b.text.empty() && b.image >= 0 && !(b.style & TBSTYLE_DROPDOWN)) b.text.clear();  // image buttons show no text
    return b;
}

TBBUTTON toTb(const Button& b)
{
    TBBUTTON tb{};
    tb.iBitmap = b.image;
    tb.idCommand = b.command;
    tb.fsState = b.state;
    tb.fsStyle = b.style;
    tb.dwData = b.data;
    tb.iString = b.stringIndex;
    return tb;
}

int copyText(const std::string& text, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0) return static_cast<int>(text.size());
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    while (n > 0 && n < text.size() && (static_cast<uint8_t>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

// ---- Messages ----

LRESULT onGetMenu(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(bar(hwnd)->menu); }

LRESULT onGetSubMenu(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    int i = indexOfCommand(mb, static_cast<WPARAM>(lParam));
    return i < 0 ? 0 : reinterpret_cast<LRESULT>(subMenuOf(mb, mb->buttons[i]));
}

LRESULT onSetSubMenu(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    // Replaces the pop-up of the bar's menu that a drop-down button shows; the old one is returned to the caller.
    MenuBar* mb = bar(hwnd);
    int i = indexOfCommand(mb, wParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (i < 0 || !IsMenu(menu)) return 0;
    HMENU old = subMenuOf(mb, mb->buttons[i]);
    if (!mb->menu) mb->menu = CreateMenu();
    MENUITEMINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    info.hSubMenu = menu;
    if (old) {
        SetMenuItemInfo(mb->menu, static_cast<UINT>(mb->buttons[i].subMenu), TRUE, &info);
    } else {
        AppendMenu(mb->menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), mb->buttons[i].text.c_str());
        mb->buttons[i].subMenu = GetMenuItemCount(mb->menu) - 1;
        mb->subMenuOfCommand[mb->buttons[i].command] = mb->buttons[i].subMenu;
    }
    return reinterpret_cast<LRESULT>(old);
}

LRESULT onSetState(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    int i = indexOfCommand(mb, wParam);
    if (i < 0) return FALSE;
    mb->buttons[i].state = static_cast<BYTE>(lParam);
    changed(hwnd);
    return TRUE;
}

LRESULT onGetState(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    MenuBar* mb = bar(hwnd);
    int i = indexOfCommand(mb, wParam);
    return i < 0 ? -1 : mb->buttons[i].state;
}

// TB_ENABLEBUTTON, TB_CHECKBUTTON, TB_PRESSBUTTON, TB_HIDEBUTTON: one state bit on or off.
LRESULT onStateBit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const struct {
        UINT message;
        BYTE bit;
    } kBits[] = {{TB_ENABLEBUTTON, TBSTATE_ENABLED}, {TB_CHECKBUTTON, TBSTATE_CHECKED}, {TB_PRESSBUTTON, TBSTATE_PRESSED},
                 {TB_HIDEBUTTON, TBSTATE_HIDDEN}};
    MenuBar* mb = bar(hwnd);
    int i = indexOfCommand(mb, wParam);
    if (i < 0) return FALSE;
    for (const auto& row : kBits)
        if (row.message == message) {
            BYTE& s = mb->buttons[i].state;
            s = LOWORD(lParam) ? (s | row.bit) : (s & ~row.bit);
        }
    changed(hwnd);
    return TRUE;
}

LRESULT onIsState(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    MenuBar* mb = bar(hwnd);
    int i = indexOfCommand(mb, wParam);
    if (i < 0) return 0;
    BYTE bit = message == TB_ISBUTTONENABLED ? TBSTATE_ENABLED : message == TB_ISBUTTONCHECKED ? TBSTATE_CHECKED : TBSTATE_HIDDEN;
    return (mb->buttons[i].state & bit) ? TRUE : FALSE;
}

LRESULT onAddString(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    if (!lParam) return -1;
    INT_PTR first = static_cast<INT_PTR>(mb->strings.size());
    if (wParam && IS_INTRESOURCE(reinterpret_cast<const char*>(lParam))) {
        char buffer[256];
        if (!LoadString(reinterpret_cast<HINSTANCE>(wParam), static_cast<UINT>(lParam), buffer, sizeof buffer)) return -1;
        mb->strings.emplace_back(buffer);
        return first;
    }
    const char* p = reinterpret_cast<const char*>(lParam);
    // Texts one after another, each ending in a zero; an empty text ends the list.
    // A single text with nothing after it is taken as one string.
    do {
        size_t n = std::strlen(p);
        mb->strings.emplace_back(p, n);
        p += n + 1;
    } while (*p);
    return first;
}

LRESULT onButtonCount(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(bar(hwnd)->buttons.size()); }

LRESULT onCommandToIndex(HWND hwnd, UINT, WPARAM wParam, LPARAM) { return indexOfCommand(bar(hwnd), wParam); }

LRESULT onGetButton(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    auto* out = reinterpret_cast<TBBUTTON*>(lParam);
    if (!out || wParam >= mb->buttons.size()) return FALSE;
    *out = toTb(mb->buttons[wParam]);
    return TRUE;
}

LRESULT onGetItemRect(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    auto* out = reinterpret_cast<RECT*>(lParam);
    if (!out || wParam >= mb->buttons.size() || hidden(mb->buttons[wParam])) return FALSE;
    *out = layout(hwnd, mb)[wParam];
    return TRUE;
}

LRESULT onDeleteButton(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    MenuBar* mb = bar(hwnd);
    if (wParam >= mb->buttons.size()) return FALSE;
    mb->buttons.erase(mb->buttons.begin() + static_cast<long>(wParam));
    mb->pressed = mb->downButton = -1;
    changed(hwnd);
    return TRUE;
}

LRESULT onInsertButton(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    auto* tb = reinterpret_cast<const TBBUTTON*>(lParam);
    if (!tb) return FALSE;
    size_t at = std::min(static_cast<size_t>(wParam), mb->buttons.size());
    Button b = fromTb(mb, *tb);
    // A drop-down button inserted again keeps the menu it showed before.
    auto known = mb->subMenuOfCommand.find(b.command);
    if (known != mb->subMenuOfCommand.end() && b.command != 0) b.subMenu = known->second;
    mb->buttons.insert(mb->buttons.begin() + static_cast<long>(at), b);
    changed(hwnd);
    return TRUE;
}

LRESULT onAddButtons(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    auto* tb = reinterpret_cast<const TBBUTTON*>(lParam);
    if (!tb) return FALSE;
    for (WPARAM i = 0; i < wParam; ++i) mb->buttons.push_back(fromTb(mb, tb[i]));
    changed(hwnd);
    return TRUE;
}

int infoIndex(const MenuBar* mb, WPARAM wParam, const TBBUTTONINFO* info)
{
    if (info->dwMask & TBIF_BYINDEX) return wParam < mb->buttons.size() ? static_cast<int>(wParam) : -1;
    return indexOfCommand(mb, wParam);
}

LRESULT onGetButtonInfo(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    auto* info = reinterpret_cast<TBBUTTONINFO*>(lParam);
    if (!info || info->cbSize < sizeof(TBBUTTONINFO)) return -1;
    int i = infoIndex(mb, wParam, info);
    if (i < 0) return -1;
    const Button& b = mb->buttons[i];
    if (info->dwMask & TBIF_COMMAND) info->idCommand = b.command;
    if (info->dwMask & TBIF_IMAGE) info->iImage = b.image;
    if (info->dwMask & TBIF_STATE) info->fsState = b.state;
    if (info->dwMask & TBIF_STYLE) info->fsStyle = b.style;
    if (info->dwMask & TBIF_LPARAM) info->lParam = b.data;
    if (info->dwMask & TBIF_SIZE) {
        RECT r = layout(hwnd, mb)[i];
        info->cx = static_cast<WORD>(r.right - r.left);
    }
    if (info->dwMask & TBIF_TEXT) info->cchText = copyText(b.text, info->pszText, info->cchText);
    return i;
}

LRESULT onSetButtonInfo(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    MenuBar* mb = bar(hwnd);
    auto* info = reinterpret_cast<const TBBUTTONINFO*>(lParam);
    if (!info || info->cbSize < sizeof(TBBUTTONINFO)) return FALSE;
    int i = infoIndex(mb, wParam, info);
    if (i < 0) return FALSE;
    Button& b = mb->buttons[i];
    if (info->dwMask & TBIF_COMMAND) b.command = info->idCommand;
    if (info->dwMask & TBIF_IMAGE) b.image = info->iImage;
    if (info->dwMask & TBIF_STATE) b.state = info->fsState;
    if (info->dwMask & TBIF_STYLE) b.style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM) b.data = info->lParam;
    if (info->dwMask & TBIF_TEXT) b.text = info->pszText ? info->pszText : "";
    changed(hwnd);
    return TRUE;
}

// The bar keeps the lists it is given but does not own them: the caller destroys them.
LRESULT swapList(HIMAGELIST& slot, HWND hwnd, LPARAM lParam)
{
    HIMAGELIST old = slot;
    slot = reinterpret_cast<HIMAGELIST>(lParam);
    changed(hwnd);
    return reinterpret_cast<LRESULT>(old);
}
LRESULT onSetImageList(HWND hwnd, UINT, WPARAM, LPARAM lParam) { return swapList(bar(hwnd)->imageList, hwnd, lParam); }
LRESULT onGetImageList(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(bar(hwnd)->imageList); }
LRESULT onSetDisabledImageList(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    return swapList(bar(hwnd)->disabledImageList, hwnd, lParam);
}
LRESULT onGetDisabledImageList(HWND hwnd, UINT, WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(bar(hwnd)->disabledImageList);
}
LRESULT onButtonStructSize(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT onEraseBackground(HWND, UINT, WPARAM, LPARAM) { return 1; }

const MessageEntry kEntries[] = {
    {WM_NCCREATE, createState<MenuBar>},
    {WM_NCDESTROY, destroyState<MenuBar>},
    {WM_DESTROY, onDestroy},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, onEraseBackground},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDown},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {SHCMBM_GETMENU, onGetMenu},
    {SHCMBM_GETSUBMENU, onGetSubMenu},
    {SHCMBM_SETSUBMENU, onSetSubMenu},
    {TB_SETSTATE, onSetState},
    {TB_GETSTATE, onGetState},
    {TB_ENABLEBUTTON, onStateBit},
    {TB_CHECKBUTTON, onStateBit},
    {TB_PRESSBUTTON, onStateBit},
    {TB_HIDEBUTTON, onStateBit},
    {TB_ISBUTTONENABLED, onIsState},
    {TB_ISBUTTONCHECKED, onIsState},
    {TB_ISBUTTONHIDDEN, onIsState},
    {TB_ADDSTRING, onAddString},
    {TB_BUTTONCOUNT, onButtonCount},
    {TB_COMMANDTOINDEX, onCommandToIndex},
    {TB_GETBUTTON, onGetButton},
    {TB_GETITEMRECT, onGetItemRect},
    {TB_DELETEBUTTON, onDeleteButton},
    {TB_INSERTBUTTON, onInsertButton},
    {TB_ADDBUTTONS, onAddButtons},
    {TB_GETBUTTONINFO, onGetButtonInfo},
    {TB_SETBUTTONINFO, onSetButtonInfo},
    {TB_SETIMAGELIST, onSetImageList},
    {TB_GETIMAGELIST, onGetImageList},
    {TB_SETDISABLEDIMAGELIST, onSetDisabledImageList},
    {TB_GETDISABLEDIMAGELIST, onGetDisabledImageList},
    {TB_BUTTONSTRUCTSIZE, onButtonStructSize},
};
const MessageMap kMap = makeMessageMap(kEntries, DefaultProcWindow);

// ---- Building a bar from its resource ----

bool findBarResource(UINT id, MenuBarResource* out)
{
    std::lock_guard<std::mutex> guard(barsLock());
    bool found = false;
    for (const MenuBarResource& r : barResources())
        if (r.id == static_cast<int>(id)) {
            *out = r;
            found = true;
        }
    return found;
}

// String index 0 holds an empty text, so that every button text has an index above 0.
INT_PTR addString(MenuBar* mb, const char* text)
{
    mb->strings.emplace_back(text ? text : "");
    return static_cast<INT_PTR>(mb->strings.size() - 1);
}

bool fillFromBarResource(MenuBar* mb, UINT id, HINSTANCE instance)
{
    MenuBarResource res{};
    if (!findBarResource(id, &res)) return false;
    if (res.menuId) mb->menu = LoadMenu(instance, MAKEINTRESOURCE(res.menuId));
    for (int i = 0; i < res.count; ++i) {
        const MenuBarButtonTemplate& t = res.buttons[i];
        Button b;
        b.image = t.image;
        b.command = static_cast<int>(t.command);
        b.state = t.state;
        b.style = t.style;
        b.subMenu = t.subMenu;
        if (t.subMenu != NOMENU && t.command) mb->subMenuOfCommand[b.command] = t.subMenu;
        if (t.text) {
            b.stringIndex = addString(mb, t.text);
            b.text = t.text;
        }
        mb->buttons.push_back(b);
    }
    return true;
}

bool fillFromMenu(MenuBar* mb, UINT id, HINSTANCE instance)
{
    mb->menu = LoadMenu(instance, MAKEINTRESOURCE(static_cast<int>(id)));
    if (!mb->menu) return false;
    for (int i = 0; i < GetMenuItemCount(mb->menu); ++i) {
        const MenuItemRec& item = mb->menu->items[i];
        Button b;
        b.command = item.sub ? 0 : static_cast<int>(item.id);
        if (item.sub) b.subMenu = i;
        if (item.state & (MF_GRAYED | MF_DISABLED)) b.state = 0;
        b.stringIndex = addString(mb, item.text.c_str());
        b.text = item.text;
        mb->buttons.push_back(b);
    }
    return true;
}

}  // namespace

void RegisterMenuBars(const MenuBarResource* list, int count)
{
    std::lock_guard<std::mutex> guard(barsLock());
    for (int i = 0; i < count; ++i) barResources().push_back(list[i]);
}

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || info->cbSize < sizeof(SHMENUBARINFO)) return FALSE;
    info->hwndMB = nullptr;
    registerControlClass(kMenuBarClass, MessageMapProc<kMap>);
    RECT place = screenMenuBarPlace();
    if (IsRectEmpty(&place)) {
        // The place is hidden (full screen): the bar still takes it, ready for when it shows.
        int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        place = RECT{0, sh - scaled(kMenuBarHeight96), sw, sh};
    }
    HWND hwnd = CreateWindowEx(WS_EX_NOACTIVATE, kMenuBarClass, "", WS_POPUP, place.left, place.top, place.right - place.left,
                               place.bottom - place.top, info->hwndParent, nullptr, info->hInstRes, nullptr);
    if (!hwnd) return FALSE;
    MenuBar* mb = bar(hwnd);
    mb->parent = info->hwndParent;
    mb->sipButton = !(info->dwFlags & SHCMBF_HIDESIPBUTTON);
    mb->ownBackground = info->dwFlags & SHCMBF_COLORBK;
    mb->background = info->clrBk;
    addString(mb, "");
    bool filled = true;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
        filled = (info->dwFlags & SHCMBF_HMENU) ? fillFromMenu(mb, info->nToolBarId, info->hInstRes)
                                                : fillFromBarResource(mb, info->nToolBarId, info->hInstRes);
    }
    if (!filled) {
        DestroyWindow(hwnd);
        return FALSE;
    }
    if (info->nBmpId && info->cBmpImages > 0) {
        mb->strip = LoadBitmap(info->hInstRes, MAKEINTRESOURCE(info->nBmpId));
        mb->stripCount = mb->strip ? info->cBmpImages : 0;
    }
    if (!(info->dwFlags & SHCMBF_HIDDEN)) ShowWindow(hwnd, SW_SHOWNA);
    info->hwndMB = hwnd;
    return TRUE;
}
