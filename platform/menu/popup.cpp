// Pop-up menus: TrackPopupMenu(Ex) shows a menu in a top-most window drawn
// flat over everything and runs a modal loop until an item is chosen or the
// menu is cancelled. Sub-menus open beside their item; every pop-up is kept on
// the screen. The loop reads the stylus and keys from the queue itself, so
// input posted before the call drives it as well as input that comes later.
#include "platform/menu/menu_internal.h"
#include "platform/gdi/gdi.h"
#include "platform/screen/metrics.h"
#include "platform/window/window.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr char kPopupClass[] = "FotrixMenuPopup";

struct Level {
    HMENU menu = nullptr;
    HWND wnd = nullptr;
    int hot = -1;              // highlighted item, -1 for none
    RECT screen{};             // where the pop-up lies on the screen
    std::vector<RECT> items;   // item rectangles, client coordinates
};

struct Loop {
    HWND owner = nullptr;
    UINT flags = 0;
    std::vector<Level> levels;
    bool downSeen = false;     // a stylus-down reached the loop: only its lift may choose
    bool done = false;
    UINT chosen = 0;
    POINT cancelPoint{-1, -1};
};

Loop* running = nullptr;
MenuIdleHook idleHook = nullptr;
void* idleData = nullptr;

int scaled(int n) { return ScaleForScreen(n); }

HFONT menuFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// Metrics at 96 dpi: item height, separator height, the check column on the
// left, the arrow column on the right, the gap before a "\t" accelerator text.
struct Metrics {
    int itemHeight, separatorHeight, checkColumn, arrowColumn, accelGap, minWidth;
};

Metrics metrics(HDC dc)
{
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    return Metrics{std::max(scaled(18), static_cast<int>(tm.tmHeight) + scaled(6)), scaled(7), scaled(16), scaled(14),
                   scaled(12), scaled(50)};
}

// The label and the accelerator text of an item (split at the first tab).
void splitText(const std::string& text, std::string* label, std::string* accel)
{
    size_t tab = text.find('\t');
    *label = text.substr(0, tab);
    *accel = tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

int textWidth(HDC dc, const std::string& text)
{
    if (text.empty()) return 0;
    RECT r{0, 0, 0, 0};
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
    return r.right - r.left;
}

// Lays out the items of a level and returns the pop-up's size.
SIZE layoutLevel(Level& level)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, menuFont());
    Metrics m = metrics(dc);
    int labelWidth = 0, accelWidth = 0;
    for (const MenuItemRec& item : level.menu->items) {
        if (menus::isSeparator(item)) continue;
        std::string label, accel;
        splitText(item.text, &label, &accel);
        labelWidth = std::max(labelWidth, textWidth(dc, label));
        accelWidth = std::max(accelWidth, textWidth(dc, accel));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    int width = 2 + m.checkColumn + labelWidth + (accelWidth ? m.accelGap + accelWidth : 0) + m.arrowColumn + 2;
    width = std::max(width, m.minWidth);
    level.items.clear();
    int y = 2;
    for (const MenuItemRec& item : level.menu->items) {
        int h = menus::isSeparator(item) ? m.separatorHeight : m.itemHeight;
        level.items.push_back(RECT{2, y, width - 2, y + h});
        y += h;
    }
    return SIZE{width, y + 2};
}

// Keeps a rectangle of the given size on the screen, moving it as little as needed.
void keepOnScreen(int* left, int* top, SIZE size)
{
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    *left = std::max(0, std::min(*left, sw - static_cast<int>(size.cx)));
    *top = std::max(0, std::min(*top, sh - static_cast<int>(size.cy)));
}

Level* levelOf(HWND hwnd)
{
    if (!running) return nullptr;
    for (Level& l : running->levels)
        if (l.wnd == hwnd) return &l;
    return nullptr;
}

void drawCheck(HDC dc, const RECT& column, const MenuItemRec& item, COLORREF colour)
{
    int cx = (column.left + column.right) / 2, cy = (column.top + column.bottom) / 2;
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    if (item.type & MFT_RADIOCHECK) {
        int r = scaled(3);
        Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1);
    } else {
        // A tick two pixels thick: down-right from the left, then up to the right.
        int s = scaled(3);
        for (int t = 0; t < 2; ++t) {
            POINT tick[3] = {{cx - s, cy - 1 + t}, {cx - 1, cy + s - 2 + t}, {cx + s + 1, cy - s - 1 + t}};
            Polyline(dc, tick, 3);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void drawArrow(HDC dc, const RECT& column, COLORREF colour)
{
    int cx = (column.left + column.right) / 2, cy = (column.top + column.bottom) / 2;
    int s = scaled(3);
    POINT tri[3] = {{cx - s / 2, cy - s}, {cx - s / 2 + s, cy}, {cx - s / 2, cy + s}};
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    Polygon(dc, tri, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void paintLevel(HWND hwnd, HDC dc, const Level& level)
{
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
    HGDIOBJ oldFont = SelectObject(dc, menuFont());
    SetBkMode(dc, TRANSPARENT);
    Metrics m = metrics(dc);
    for (size_t i = 0; i < level.items.size() && i < level.menu->items.size(); ++i) {
        const MenuItemRec& item = level.menu->items[i];
        RECT r = level.items[i];
        if (menus::isSeparator(item)) {
            int mid = (r.top + r.bottom) / 2;
            RECT line{r.left + scaled(2), mid, r.right - scaled(2), mid + 1};
            FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
            continue;
        }
        bool hot = static_cast<int>(i) == level.hot;
        bool grey = item.state & (MF_GRAYED | MF_DISABLED);
        if (hot) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        COLORREF text = GetSysColor(grey ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
        SetTextColor(dc, text);
        if (item.state & MF_CHECKED) drawCheck(dc, RECT{r.left, r.top, r.left + m.checkColumn, r.bottom}, item, text);
        std::string label, accel;
        splitText(item.text, &label, &accel);
        RECT textRect{r.left + m.checkColumn, r.top, r.right - m.arrowColumn, r.bottom};
        DrawText(dc, label.c_str(), static_cast<int>(label.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!accel.empty())
            DrawText(dc, accel.c_str(), static_cast<int>(accel.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        if (item.sub) drawArrow(dc, RECT{r.right - m.arrowColumn, r.top, r.right, r.bottom}, text);
    }
    SelectObject(dc, oldFont);
}

LRESULT popupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Level* level = levelOf(hwnd);
        if (level && menus::alive(level->menu)) paintLevel(hwnd, dc, *level);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

void registerPopupClass()
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, kPopupClass, &existing)) return;
    WNDCLASS wc{};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = popupProc;
    wc.lpszClassName = kPopupClass;
    RegisterClass(&wc);
}

void setHot(Level& level, int index)
{
    if (level.hot == index) return;
    level.hot = index;
    if (level.wnd) InvalidateRect(level.wnd, nullptr, FALSE);
}

// Creates the window of a level whose menu is set, at the place the caller chose.
void showLevel(Loop& loop, Level level, int left, int top, SIZE size)
{
    keepOnScreen(&left, &top, size);
    level.screen = RECT{left, top, left + static_cast<int>(size.cx), top + static_cast<int>(size.cy)};
    level.wnd = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kPopupClass, "", WS_POPUP | WS_VISIBLE, left, top,
                               size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    loop.levels.push_back(level);
}

void notifyInit(Loop& loop, HMENU menu, int index)
{
    if (!(loop.flags & TPM_NONOTIFY) && IsWindow(loop.owner))
        SendMessage(loop.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, FALSE));
}

void closeLevelsFrom(Loop& loop, size_t first)
{
    while (loop.levels.size() > first) {
        HWND wnd = loop.levels.back().wnd;
        loop.levels.pop_back();
        if (wnd) DestroyWindow(wnd);
    }
}

int firstSelectable(const Level& level)
{
    for (size_t i = 0; i < level.menu->items.size(); ++i)
        if (!menus::isSeparator(level.menu->items[i])) return static_cast<int>(i);
    return -1;
}

// Opens the sub-menu of item `index` of level `at` beside the item.
void openSubMenu(Loop& loop, size_t at, int index, bool selectFirst)
{
    closeLevelsFrom(loop, at + 1);
    HMENU sub = loop.levels[at].menu->items[index].sub;
    notifyInit(loop, sub, index);
    if (!menus::alive(sub) || loop.levels.size() != at + 1) return;  // the owner may have changed things
    Level level;
    level.menu = sub;
    SIZE size = layoutLevel(level);
    const Level& parent = loop.levels[at];
    const RECT& item = parent.items[index];
    int left = parent.screen.right - 1;
    int top = parent.screen.top + item.top - 2;
    if (left + size.cx > GetSystemMetrics(SM_CXSCREEN)) left = parent.screen.left - size.cx + 1;
    if (selectFirst) level.hot = firstSelectable(level);
    showLevel(loop, level, left, top, size);
}

void choose(Loop& loop, const MenuItemRec& item)
{
    loop.chosen = item.id;
    loop.done = true;
}

void cancel(Loop& loop, POINT at)
{
    loop.cancelPoint = at;
    loop.done = true;
}

// The deepest level and item under a screen point; false when outside every pop-up.
bool hitTest(const Loop& loop, POINT pt, size_t* levelIndex, int* item)
{
    for (size_t l = loop.levels.size(); l-- > 0;) {
        const Level& level = loop.levels[l];
        if (!PtInRect(&level.screen, pt)) continue;
        *levelIndex = l;
        *item = -1;
        POINT c{pt.x - level.screen.left, pt.y - level.screen.top};
        for (size_t i = 0; i < level.items.size(); ++i)
            if (PtInRect(&level.items[i], c)) *item = static_cast<int>(i);
        return true;
    }
    return false;
}

void onStylus(Loop& loop, UINT message, POINT pt)
{
    size_t l = 0;
    int i = -1;
    bool inside = hitTest(loop, pt, &l, &i);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        loop.downSeen = true;
        if (!inside) return cancel(loop, pt);
    }
    // A lift that no tap inside the loop began (the tap that opened the menu) chooses nothing.
    if (!loop.downSeen) return;
    if (!inside) {
        if (!loop.levels.empty()) setHot(loop.levels.back(), -1);
        return;
    }
    Level& level = loop.levels[l];
    const MenuItemRec* item = i >= 0 ? &level.menu->items[i] : nullptr;
    if (item && menus::isSeparator(*item)) item = nullptr, i = -1;
    setHot(level, i);
    if (message == WM_MOUSEMOVE) return;
    if (message != WM_LBUTTONUP) {
        // A tap on an item with a sub-menu opens it; on another item it closes deeper pop-ups.
        if (item && item->sub && menus::isChoosable(*item)) openSubMenu(loop, l, i, false);
        else closeLevelsFrom(loop, l + 1);
        return;
    }
    if (item && !item->sub && menus::isChoosable(*item)) choose(loop, *item);
}

void moveHot(Level& level, int step)
{
    int n = static_cast<int>(level.menu->items.size());
    if (n == 0) return;
    int i = level.hot;
    for (int tries = 0; tries < n; ++tries) {
        i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
        if (!menus::isSeparator(level.menu->items[i])) return setHot(level, i);
    }
}

// Enter, or a mnemonic: chooses the item or opens its sub-menu.
void activate(Loop& loop, size_t l, int i)
{
    const MenuItemRec& item = loop.levels[l].menu->items[i];
    if (!menus::isChoosable(item)) return;
    if (item.sub) return openSubMenu(loop, l, i, true);
    choose(loop, item);
}

void onKey(Loop& loop, UINT vk)
{
    size_t l = loop.levels.size() - 1;
    Level& level = loop.levels[l];
    switch (vk) {
    case VK_UP: return moveHot(level, -1);
    case VK_DOWN: return moveHot(level, +1);
    case VK_RIGHT:
        if (level.hot >= 0 && level.menu->items[level.hot].sub) activate(loop, l, level.hot);
        return;
    case VK_LEFT:
        if (l > 0) closeLevelsFrom(loop, l);
        return;
    case VK_RETURN:
        if (level.hot >= 0) activate(loop, l, level.hot);
        return;
    case VK_ESCAPE: return cancel(loop, POINT{-1, -1});
    default: return;
    }
}

// The underlined letter of a label ("&File" gives 'f'; "&&" is a plain "&").
int mnemonicOf(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::tolower(static_cast<unsigned char>(text[i + 1]));
    }
    return -1;
}

void onChar(Loop& loop, WPARAM ch)
{
    if (ch > 0x7F) return;
    int wanted = std::tolower(static_cast<int>(ch));
    size_t l = loop.levels.size() - 1;
    const Level& level = loop.levels[l];
    for (size_t i = 0; i < level.menu->items.size(); ++i)
        if (!menus::isSeparator(level.menu->items[i]) && mnemonicOf(level.menu->items[i].text) == wanted) {
            setHot(loop.levels[l], static_cast<int>(i));
            return activate(loop, l, static_cast<int>(i));
        }
}

// Handles one message of the loop; what is not input for the menu is dispatched.
void handle(Loop& loop, const MSG& msg)
{
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: {
        // Input posted before the menu came up went to the window under the stylus:
        // its client coordinates are turned back into the screen point.
        POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        if (msg.hwnd) ClientToScreen(msg.hwnd, &pt);
        return onStylus(loop, msg.message, pt);
    }
    case WM_KEYDOWN: return onKey(loop, static_cast<UINT>(msg.wParam));
    case WM_CHAR: return onChar(loop, msg.wParam);
    case WM_KEYUP: return;
    case WM_QUIT:
        PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the caller's loop
        return cancel(loop, POINT{-1, -1});
    default: DispatchMessage(&msg); return;
    }
}

// The owner may change or destroy a menu while it shows (a timer, a command):
// a destroyed menu ends the loop, a changed one is laid out again in place.
void followMenuChanges(Loop& loop)
{
    for (Level& level : loop.levels) {
        if (!menus::alive(level.menu)) return cancel(loop, POINT{-1, -1});
        if (level.items.size() == level.menu->items.size()) continue;
        SIZE size = layoutLevel(level);
        int left = level.screen.left, top = level.screen.top;
        keepOnScreen(&left, &top, size);
        level.screen = RECT{left, top, left + static_cast<int>(size.cx), top + static_cast<int>(size.cy)};
        level.hot = -1;
        if (level.wnd) MoveWindow(level.wnd, left, top, size.cx, size.cy, TRUE);
    }
}

}  // namespace

namespace menus {

UINT trackPopup(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT*, POINT* cancelPoint)
{
    if (cancelPoint) *cancelPoint = POINT{-1, -1};
    if (running || !alive(menu) || !IsWindow(owner)) return 0;
    registerPopupClass();
    Loop loop;
    loop.owner = owner;
    loop.flags = flags;
    running = &loop;
    notifyInit(loop, menu, 0);
    if (alive(menu) && !menu->items.empty()) {
        Level level;
        level.menu = menu;
        SIZE size = layoutLevel(level);
        int left = x, top = y;
        if (flags & TPM_RIGHTALIGN) left = x - size.cx;
        else if (flags & TPM_CENTERALIGN) left = x - size.cx / 2;
        if (flags & TPM_BOTTOMALIGN) top = y - size.cy;
        else if (flags & TPM_VCENTERALIGN) top = y - size.cy / 2;
        showLevel(loop, level, left, top, size);
    } else {
        loop.done = true;
    }
    HWND oldCapture = GetCapture();
    // The stylus goes to the menu wherever it lands, so a tap outside reaches no other window.
    if (!loop.done) SetCapture(loop.levels.front().wnd);
    while (!loop.done) {
        if (!IsWindow(owner)) break;
        MSG msg;
        if (idleHook) {
            if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) handle(loop, msg);
            else idleHook(loop.levels.back().wnd, idleData);
            followMenuChanges(loop);
            continue;
        }
        // GetMessage waits the way the platform's loops do (on a virtual clock it
        // moves the clock to the next timer), so timers keep running under the menu.
        if (GetMessage(&msg, nullptr, 0, 0) == -1) break;
        handle(loop, msg);
        followMenuChanges(loop);
    }
    closeLevelsFrom(loop, 0);
    running = nullptr;
    ReleaseCapture();
    if (oldCapture && IsWindow(oldCapture)) SetCapture(oldCapture);
    if (cancelPoint) *cancelPoint = loop.cancelPoint;
    return loop.chosen;
}

}  // namespace menus

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params)
{
    UINT id = menus::trackPopup(menu, flags, x, y, owner, params ? &params->rcExclude : nullptr, nullptr);
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(id);
    if (!id) return FALSE;
    PostMessage(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu()
{
    if (!running) return FALSE;
    running->done = true;
    return TRUE;
}

void SetMenuIdleHook(MenuIdleHook hook, void* data)
{
    idleHook = hook;
    idleData = data;
}
