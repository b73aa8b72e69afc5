// Up-down control: two arrows (one above the other, or side by side with
// UDS_HORZ) that step a position within a range, optionally shown in a buddy
// window's text. Every step asks the parent first (UDN_DELTAPOS, refusable) and
// is then reported with WM_VSCROLL / WM_HSCROLL. Held arrows repeat on the
// platform clock. With UDS_ARROWKEYS the buddy's window procedure is wrapped so
// that Up and Down typed into it step the position.
#include "platform/controls/control_kit.h"
#include "platform/controls/updown.h"

#include <cstdlib>
#include <map>
#include <string>

using namespace controls;

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 400;  // ms before a held arrow repeats
constexpr UINT kNextRepeat = 100;

enum Arrow { ArrowNone, ArrowUp, ArrowDown };  // up: towards the upper end of the range

struct UpDown {
    int lower = 100;  // the classic default range runs from 100 down to 0
    int upper = 0;
    int pos = 0;
    HWND buddy = nullptr;
    Arrow pressed = ArrowNone;  // held by the stylus
    Arrow held = ArrowNone;     // went down on (the stylus may have slid off)
};

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }
int low(const UpDown* u) { return std::min(u->lower, u->upper); }
int high(const UpDown* u) { return std::max(u->lower, u->upper); }

// ---- The buddy's text ----

std::string format(HWND hwnd, int value)
{
    std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : static_cast<long long>(value));
    bool separators = !(styleOf(hwnd) & UDS_NOTHOUSANDS);
    std::string out;
    if (value < 0) out.push_back('-');
    for (size_t i = 0; i < digits.size(); ++i) {
        if (separators && i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

// The buddy's text as a number: optional spaces and sign, digits with optional
// thousands separators. False when it is not one.
bool parse(const std::string& text, long long* out)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long value = 0;
    int digits = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == ',' && digits > 0) continue;
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > (1LL << 40)) return false;
        ++digits;
    }
    while (i < text.size() && text[i] == ' ') ++i;
    if (digits == 0 || i != text.size()) return false;
    *out = negative ? -value : value;
    return true;
}

void writeBuddy(HWND hwnd, const UpDown* u)
{
    if (!u->buddy || !IsWindow(u->buddy) || !(styleOf(hwnd) & UDS_SETBUDDYINT)) return;
    SetWindowText(u->buddy, format(hwnd, u->pos).c_str());
}

// Takes the buddy's number as the position when it is one within the range;
// answers whether the text was unusable.
bool readBuddy(HWND hwnd, UpDown* u)
{
    if (!u->buddy || !IsWindow(u->buddy) || !(styleOf(hwnd) & UDS_SETBUDDYINT)) return false;
    int n = GetWindowTextLength(u->buddy);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowText(u->buddy, text.data(), n + 1)));
    long long value;
    if (!parse(text, &value) || value < low(u) || value > high(u)) return true;
    u->pos = static_cast<int>(value);
    return false;
}

// ---- The buddy: placement and arrow keys ----

struct Wrapped {
    WNDPROC original;
    HWND upDown;
};
std::map<HWND, Wrapped>& wrappedBuddies()
{
    static std::map<HWND, Wrapped> map;
    return map;
}

void step(HWND hwnd, int direction);
void endSteps(HWND hwnd);

LRESULT buddyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = wrappedBuddies().find(hwnd);
    if (it == wrappedBuddies().end()) return DefWindowProc(hwnd, message, wParam, lParam);
    Wrapped w = it->second;
    if (message == WM_NCDESTROY) wrappedBuddies().erase(it);
    bool arrow = (message == WM_KEYDOWN || message == WM_KEYUP) && (wParam == VK_UP || wParam == VK_DOWN) && IsWindow(w.upDown);
    if (arrow) {
        if (message == WM_KEYDOWN) step(w.upDown, wParam == VK_UP ? 1 : -1);
        else endSteps(w.upDown);
        return 0;
    }
    return CallWindowProc(w.original, hwnd, message, wParam, lParam);
}

void unwrapBuddy(HWND upDown, HWND buddy)
{
    auto it = wrappedBuddies().find(buddy);
    if (it == wrappedBuddies().end() || it->second.upDown != upDown) return;
    // A buddy being destroyed with the up-down control still gets its own
    // procedure back, so that its WM_NCDESTROY frees its state.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtr(buddy, GWLP_WNDPROC)) == buddyProc)
        SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.original));
    wrappedBuddies().erase(it);
}

void wrapBuddy(HWND upDown, HWND buddy)
{
    if (wrappedBuddies().count(buddy)) return;
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtr(buddy, GWLP_WNDPROC));
    wrappedBuddies()[buddy] = Wrapped{original, upDown};
    SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buddyProc));
}

// With UDS_ALIGNRIGHT/LEFT the control takes the buddy's height and stands at
// its right or left edge; the buddy gives up that width.
void placeBesideBuddy(HWND hwnd, HWND buddy)
{
    DWORD style = styleOf(hwnd);
    if (!(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) || GetParent(buddy) != GetParent(hwnd)) return;
    RECT own, b;
    GetWindowRect(hwnd, &own);
    GetWindowRect(buddy, &b);
    POINT corner{b.left, b.top};
    ScreenToClient(GetParent(hwnd), &corner);
    int width = own.right - own.left > 0 ? own.right - own.left : scaled(16);
    int buddyWidth = std::max(0, static_cast<int>(b.right - b.left) - width);
    int height = b.bottom - b.top;
    if (style & UDS_ALIGNRIGHT) {
        MoveWindow(buddy, corner.x, corner.y, buddyWidth, height, TRUE);
        MoveWindow(hwnd, corner.x + buddyWidth, corner.y, width, height, TRUE);
    } else {
        MoveWindow(hwnd, corner.x, corner.y, width, height, TRUE);
        MoveWindow(buddy, corner.x + width, corner.y, buddyWidth, height, TRUE);
    }
}

HWND setBuddy(HWND hwnd, HWND buddy)
{
    UpDown* u = state<UpDown>(hwnd);
    HWND old = u->buddy;
    if (old) unwrapBuddy(hwnd, old);
    u->buddy = IsWindow(buddy) ? buddy : nullptr;
    if (!u->buddy) return old;
    if (styleOf(hwnd) & UDS_ARROWKEYS) wrapBuddy(hwnd, u->buddy);
    placeBesideBuddy(hwnd, u->buddy);
    return old;
}

// ---- Steps ----

void report(HWND hwnd, WORD code)
{
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    UINT message = (styleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    SendMessage(parent, message, MAKEWPARAM(code, static_cast<WORD>(state<UpDown>(hwnd)->pos)), reinterpret_cast<LPARAM>(hwnd));
}

// One step towards the upper (direction 1) or lower (-1) end of the range.
void step(HWND hwnd, int direction)
{
    UpDown* u = state<UpDown>(hwnd);
    readBuddy(hwnd, u);
    NMUPDOWN nm{};
    nm.iPos = u->pos;
    nm.iDelta = u->upper >= u->lower ? direction : -direction;
    if (notifyParent(hwnd, &nm.hdr, UDN_DELTAPOS)) return;
    u = state<UpDown>(hwnd);
    if (!u) return;
    long long next = static_cast<long long>(u->pos) + nm.iDelta;
    if (next > high(u)) next = (styleOf(hwnd) & UDS_WRAP) ? low(u) : high(u);
    if (next < low(u)) next = (styleOf(hwnd) & UDS_WRAP) ? high(u) : low(u);
    if (next == u->pos) return;
    u->pos = static_cast<int>(next);
    writeBuddy(hwnd, u);
    report(hwnd, SB_THUMBPOSITION);
}

void endSteps(HWND hwnd) { report(hwnd, SB_ENDSCROLL); }

// ---- Layout, painting and the stylus ----

void arrowRects(HWND hwnd, RECT* up, RECT* down)
{
    RECT c;
    GetClientRect(hwnd, &c);
    if (styleOf(hwnd) & UDS_HORZ) {
        int mid = c.right / 2;
        *down = RECT{0, 0, mid, c.bottom};
        *up = RECT{mid, 0, c.right, c.bottom};
    } else {
        int mid = c.bottom / 2;
        *up = RECT{0, 0, c.right, mid};
        *down = RECT{0, mid, c.right, c.bottom};
    }
}

Arrow arrowAt(HWND hwnd, int x, int y)
{
    RECT up, down;
    arrowRects(hwnd, &up, &down);
    if (contains(up, x, y)) return ArrowUp;
    if (contains(down, x, y)) return ArrowDown;
    return ArrowNone;
}

// A filled triangle: upwards or downwards, or (UDS_HORZ) right or left.
void drawGlyph(HDC dc, const RECT& box, bool towardsUpper, bool horizontal, HBRUSH brush)
{
    int size = std::min(box.right - box.left, box.bottom - box.top);
    int rows = std::max(2, size / 3);
    int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    for (int i = 0; i < rows; ++i) {
        // Row i is 2i+1 wide; row 0 is the tip: at the top for the upper arrow,
        // at the right for the upper arrow of a horizontal pair.
        bool tipFirst = horizontal ? !towardsUpper : towardsUpper;
        int along = tipFirst ? -rows / 2 + i : rows / 2 - i;
        RECT r = horizontal ? RECT{cx + along, cy - i, cx + along + 1, cy + i + 1} : RECT{cx - i, cy + along, cx + i + 1, cy + along + 1};
        FillRect(dc, &r, brush);
    }
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    UpDown* u = state<UpDown>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT up, down;
    arrowRects(hwnd, &up, &down);
    bool enabled = IsWindowEnabled(hwnd);
    bool horizontal = styleOf(hwnd) & UDS_HORZ;
    for (Arrow a : {ArrowUp, ArrowDown}) {
        RECT r = a == ArrowUp ? up : down;
        bool pressed = u->pressed == a;
        FillRect(dc, &r, GetSysColorBrush(pressed ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        int glyph = pressed ? COLOR_HIGHLIGHTTEXT : enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT;
        drawGlyph(dc, r, a == ArrowUp, horizontal, GetSysColorBrush(glyph));
    }
    EndPaint(hwnd, &ps);
    return 0;
}

void setPressed(HWND hwnd, Arrow a)
{
    UpDown* u = state<UpDown>(hwnd);
    if (u->pressed == a) return;
    u->pressed = a;
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Arrow a = arrowAt(hwnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (a == ArrowNone) return 0;
    SetCapture(hwnd);
    state<UpDown>(hwnd)->held = a;
    setPressed(hwnd, a);
    step(hwnd, a == ArrowUp ? 1 : -1);
    if (IsWindow(hwnd) && GetCapture() == hwnd) SetTimer(hwnd, kRepeatTimer, kFirstRepeat, nullptr);
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    UpDown* u = state<UpDown>(hwnd);
    if (u->held == ArrowNone) return 0;
    setPressed(hwnd, arrowAt(hwnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)) == u->held ? u->held : ArrowNone);
    return 0;
}

// Held arrows repeat while the stylus stays on them.
LRESULT onTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    UpDown* u = state<UpDown>(hwnd);
    if (wParam != kRepeatTimer) return 0;
    if (u->held == ArrowNone) {
        KillTimer(hwnd, kRepeatTimer);
        return 0;
    }
    SetTimer(hwnd, kRepeatTimer, kNextRepeat, nullptr);
    if (u->pressed == u->held) step(hwnd, u->held == ArrowUp ? 1 : -1);
    return 0;
}

void stopHolding(HWND hwnd)
{
    KillTimer(hwnd, kRepeatTimer);
    state<UpDown>(hwnd)->held = ArrowNone;
    setPressed(hwnd, ArrowNone);
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (GetCapture() != hwnd || state<UpDown>(hwnd)->held == ArrowNone) return 0;
    stopHolding(hwnd);
    ReleaseCapture();
    endSteps(hwnd);
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (state<UpDown>(hwnd)->held != ArrowNone) stopHolding(hwnd);
    return 0;
}

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!(styleOf(hwnd) & UDS_ARROWKEYS) || (wParam != VK_UP && wParam != VK_DOWN)) return DefWindowProc(hwnd, message, wParam, lParam);
    step(hwnd, wParam == VK_UP ? 1 : -1);
    return 0;
}

LRESULT onKeyUp(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!(styleOf(hwnd) & UDS_ARROWKEYS) || (wParam != VK_UP && wParam != VK_DOWN)) return DefWindowProc(hwnd, message, wParam, lParam);
    endSteps(hwnd);
    return 0;
}

// ---- Lifetime and messages ----

LRESULT onCreate(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (styleOf(hwnd) & UDS_AUTOBUDDY) setBuddy(hwnd, GetWindow(hwnd, GW_HWNDPREV));
    return 0;
}

LRESULT onNcDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    UpDown* u = state<UpDown>(hwnd);
    if (u && u->buddy) unwrapBuddy(hwnd, u->buddy);
    return destroyState<UpDown>(hwnd, message, wParam, lParam);
}

int clampPos(const UpDown* u, long long v) { return static_cast<int>(std::clamp<long long>(v, low(u), high(u))); }

LRESULT setPos(HWND hwnd, long long value)
{
    UpDown* u = state<UpDown>(hwnd);
    readBuddy(hwnd, u);
    int old = u->pos;
    u->pos = clampPos(u, value);
    writeBuddy(hwnd, u);
    return old;
}

void setRange(HWND hwnd, int lower, int upper)
{
    UpDown* u = state<UpDown>(hwnd);
    u->lower = lower;
    u->upper = upper;
    u->pos = clampPos(u, u->pos);
}

LRESULT onSetRange(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    setRange(hwnd, static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam))), static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))));
    return 0;
}
LRESULT onGetRange(HWND hwnd, UINT, WPARAM, LPARAM)
{
    UpDown* u = state<UpDown>(hwnd);
    return static_cast<LRESULT>(static_cast<DWORD>(MAKELPARAM(u->upper, u->lower)));
}
LRESULT onSetRange32(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    setRange(hwnd, static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}
LRESULT onGetRange32(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    UpDown* u = state<UpDown>(hwnd);
    if (wParam) *reinterpret_cast<int*>(wParam) = u->lower;
    if (lParam) *reinterpret_cast<int*>(lParam) = u->upper;
    return 0;
}
LRESULT onSetPos(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    return static_cast<WORD>(setPos(hwnd, static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)))));
}
LRESULT onSetPos32(HWND hwnd, UINT, WPARAM, LPARAM lParam) { return setPos(hwnd, static_cast<int>(lParam)); }
LRESULT onGetPos(HWND hwnd, UINT, WPARAM, LPARAM)
{
    UpDown* u = state<UpDown>(hwnd);
    bool error = readBuddy(hwnd, u);
    return static_cast<LRESULT>(static_cast<DWORD>(MAKELPARAM(u->pos, error ? 1 : 0)));
}
LRESULT onGetPos32(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    UpDown* u = state<UpDown>(hwnd);
    bool error = readBuddy(hwnd, u);
    if (lParam) *reinterpret_cast<BOOL*>(lParam) = error ? TRUE : FALSE;
    return u->pos;
}
LRESULT onSetBuddy(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    return reinterpret_cast<LRESULT>(setBuddy(hwnd, reinterpret_cast<HWND>(wParam)));
}
LRESULT onGetBuddy(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(state<UpDown>(hwnd)->buddy); }

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, createState<UpDown>},
    {WM_NCDESTROY, onNcDestroy},
    {WM_CREATE, onCreate},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_ENABLE, repaintAfterDefault},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDown},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {WM_TIMER, onTimer},
    {WM_KEYDOWN, onKeyDown},
    {WM_KEYUP, onKeyUp},
    {UDM_SETRANGE, onSetRange},
    {UDM_GETRANGE, onGetRange},
    {UDM_SETRANGE32, onSetRange32},
    {UDM_GETRANGE32, onGetRange32},
    {UDM_SETPOS, onSetPos},
    {UDM_SETPOS32, onSetPos32},
    {UDM_GETPOS, onGetPos},
    {UDM_GETPOS32, onGetPos32},
    {UDM_SETBUDDY, onSetBuddy},
    {UDM_GETBUDDY, onGetBuddy},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerUpDownClass() { registerControlClass(UPDOWN_CLASS, MessageMapProc<kMap>); }
