// Edit field: UTF-8 text with a caret and a selection that move by whole
// characters, typing through WM_CHAR, stylus selection, the clipboard, and
// the EN_ notifications. Where characters fall on screen is worked out in
// edit_layout.cpp, and for multi-line fields in edit_lines.cpp.
#include "platform/controls/clipboard.h"
#include "platform/controls/edit_internal.h"
#include "platform/base/utf8.h"

using namespace controls;
using namespace editfield;

namespace {

constexpr size_t kNoLimit = 0x7FFFFFFE;
constexpr UINT_PTR kBlinkTimer = 1;
constexpr UINT kBlinkPeriod = 500;

// ---- Changes ----

void showCaretNow(HWND hwnd, Edit* e)
{
    e->caretShown = true;
    if (e->focused) SetTimer(hwnd, kBlinkTimer, kBlinkPeriod, nullptr);
}

void moved(HWND hwnd, Edit* e)
{
    e->goalX = -1;
    keepCaretVisible(hwnd, e);
    showCaretNow(hwnd, e);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void setSelection(HWND hwnd, Edit* e, size_t anchor, size_t caret)
{
    e->anchor = snap(e->text, anchor);
    e->caret = snap(e->text, caret);
    moved(hwnd, e);
}

uint32_t caseMapped(HWND hwnd, uint32_t c)
{
    DWORD style = styleOf(hwnd);
    // ASCII and the Latin-1 letters (not the multiplication and division signs).
    bool lower = (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
    bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    if ((style & ES_UPPERCASE) && lower) return c - 0x20;
    if ((style & ES_LOWERCASE) && upper) return c + 0x20;
    return c;
}

std::string caseMapped(HWND hwnd, std::string_view text)
{
    if (!hasStyle(hwnd, ES_UPPERCASE | ES_LOWERCASE)) return std::string(text);
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) utf8Append(out, caseMapped(hwnd, utf8Next(text, &pos)));
    return out;
}

// Without ES_AUTOHSCROLL the text may not grow past the right edge: the number
// of bytes of `insert` that still fit on screen.
size_t fittingOnScreen(HWND hwnd, Edit* e, std::string_view insert, size_t bytes)
{
    if (hasStyle(hwnd, ES_AUTOHSCROLL) || isMultiline(hwnd)) return bytes;  // a multi-line field wraps
    Edit trial;
    trial.font = e->font;
    trial.passwordChar = e->passwordChar;
    size_t a = selStart(e), b = selEnd(e);
    while (bytes > 0) {
        trial.text = e->text.substr(0, a) + std::string(insert.substr(0, bytes)) + e->text.substr(b);
        Layout l = layout(hwnd, &trial);
        if (l.width() < l.area.right - l.area.left) break;
        bytes = snap(std::string(insert), bytes - 1);
    }
    return bytes;
}

// Redraws after a change and tells the parent: EN_UPDATE before the new text
// shows, EN_CHANGE after. The field is not touched after the notifications,
// as a parent may destroy it in answer.
void changed(HWND hwnd, Edit* e, bool byUser = true)
{
    e->modified = byUser;
    e->goalX = -1;
    keepCaretVisible(hwnd, e);
    showCaretNow(hwnd, e);
    notifyCommand(hwnd, EN_UPDATE);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    notifyCommand(hwnd, EN_CHANGE);
}

// Replaces the selection with as much of `insert` as the limit (and, without
// ES_AUTOHSCROLL, the width) allows; EN_MAXTEXT reports a cut. Returns whether
// the text changed.
bool replaceSelection(HWND hwnd, Edit* e, std::string_view raw)
{
    std::string insert = caseMapped(hwnd, raw);
    size_t a = selStart(e), b = selEnd(e);
    size_t kept = e->text.size() - (b - a);
    size_t room = kept >= e->limit ? 0 : e->limit - kept;
    size_t bytes = fittingBytes(insert, room);
    bytes = fittingOnScreen(hwnd, e, insert, bytes);
    bool cut = bytes < insert.size();
    if (bytes == 0 && a == b) {
        if (cut) notifyCommand(hwnd, EN_MAXTEXT);
        return false;
    }
    e->text.replace(a, b - a, insert, 0, bytes);
    e->anchor = e->caret = a + bytes;
    changed(hwnd, e);
    if (cut) notifyCommand(hwnd, EN_MAXTEXT);
    return true;
}

bool refuseWhenReadOnly(HWND hwnd)
{
    if (!hasStyle(hwnd, ES_READONLY)) return false;
    MessageBeep(MB_OK);
    return true;
}

void deleteAround(HWND hwnd, Edit* e, bool forward)
{
    if (refuseWhenReadOnly(hwnd)) return;
    if (e->anchor == e->caret) {
        if (forward ? e->caret >= e->text.size() : e->caret == 0) return;
        e->anchor = forward ? nextChar(e->text, e->caret) : prevChar(e->text, e->caret);
    }
    replaceSelection(hwnd, e, "");
}

void copySelection(HWND hwnd, const Edit* e)
{
    if (hasStyle(hwnd, ES_PASSWORD) || e->anchor == e->caret) return;  // a password never leaves the field
    clipboardSetText(e->text.substr(selStart(e), selEnd(e) - selStart(e)));
}

bool allDigits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void paste(HWND hwnd, Edit* e)
{
    if (refuseWhenReadOnly(hwnd)) return;
    std::string text = clipboardText();
    // A single-line field takes only the first line.
    size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos && !isMultiline(hwnd)) text.resize(end);
    if (hasStyle(hwnd, ES_NUMBER) && !allDigits(text)) {
        MessageBeep(MB_OK);
        return;
    }
    replaceSelection(hwnd, e, text);
}

// ---- Painting ----

HBRUSH background(HWND hwnd, HDC dc)
{
    bool editable = IsWindowEnabled(hwnd) && !hasStyle(hwnd, ES_READONLY);
    if (!editable) return staticBackground(hwnd, dc);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    HWND parent = GetParent(hwnd);
    LRESULT brush = parent ? SendMessage(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)) : 0;
    return brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_WINDOW);
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HGDIOBJ oldFont = SelectObject(dc, e->font.get());
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, background(hwnd, dc));
    if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    if (isMultiline(hwnd)) {
        paintLines(hwnd, dc, e);
        SelectObject(dc, oldFont);
        EndPaint(hwnd, &ps);
        return 0;
    }
    Layout l = layout(hwnd, e);
    RECT row = textRow(hwnd, l);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, l.area.left, client.top, l.area.right, client.bottom);
    SetBkMode(dc, TRANSPARENT);
    TextOut(dc, l.origin, row.top, l.shown.data(), static_cast<int>(l.shown.size()));
    bool showSelection = e->anchor != e->caret && (e->focused || hasStyle(hwnd, ES_NOHIDESEL));
    if (showSelection) {
        RECT sel{l.xOf(selStart(e)), row.top, l.xOf(selEnd(e)), row.bottom};
        IntersectClipRect(dc, sel.left, sel.top, sel.right, sel.bottom);
        FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        TextOut(dc, l.origin, row.top, l.shown.data(), static_cast<int>(l.shown.size()));
    }
    RestoreDC(dc, saved);
    if (e->focused && e->caretShown) {
        int x = std::min(l.xOf(e->caret), static_cast<int>(client.right) - 1);
        RECT caret{x, row.top, x + std::max(1, scaled(1)), row.bottom};
        FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT onTimer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wParam != kBlinkTimer) return DefWindowProc(hwnd, message, wParam, lParam);
    Edit* e = state<Edit>(hwnd);
    e->caretShown = !e->caretShown;
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

// ---- Creation, text and font ----

LRESULT onCreate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = createState<Edit>(hwnd, message, wParam, lParam);
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
    if (cs && cs->lpszName) state<Edit>(hwnd)->text = caseMapped(hwnd, cs->lpszName);
    return r;
}

// Sets the whole text (ignoring the limit, which binds only what is typed or
// inserted); the caret goes to the start and the field counts as unmodified.
// The parent hears EN_UPDATE and EN_CHANGE, as for any other change.
LRESULT onSetText(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    const char* text = reinterpret_cast<const char*>(lParam);
    e->text = caseMapped(hwnd, text ? text : "");
    e->anchor = e->caret = 0;
    e->scroll = 0;
    e->firstLine = 0;
    changed(hwnd, e, false);
    return TRUE;
}

// Copies up to capacity - 1 bytes, never half a character.
LRESULT onGetText(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || wParam == 0) return 0;
    size_t n = fittingBytes(e->text, static_cast<size_t>(wParam) - 1);
    e->text.copy(buffer, n);
    buffer[n] = 0;
    return static_cast<LRESULT>(n);
}

LRESULT onGetTextLength(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(state<Edit>(hwnd)->text.size()); }

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    e->font.font = reinterpret_cast<HFONT>(wParam);
    keepCaretVisible(hwnd, e);
    if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}
LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(state<Edit>(hwnd)->font.font); }

LRESULT onSize(HWND hwnd, UINT, WPARAM, LPARAM)
{
    keepCaretVisible(hwnd, state<Edit>(hwnd));
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT onEnable(HWND hwnd, UINT, WPARAM, LPARAM)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

// ---- Focus ----

LRESULT onSetFocus(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    e->focused = true;
    showCaretNow(hwnd, e);
    InvalidateRect(hwnd, nullptr, FALSE);
    notifyCommand(hwnd, EN_SETFOCUS);
    return 0;
}

LRESULT onKillFocus(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    e->focused = false;
    e->caretShown = false;
    KillTimer(hwnd, kBlinkTimer);
    InvalidateRect(hwnd, nullptr, FALSE);
    notifyCommand(hwnd, EN_KILLFOCUS);
    return 0;
}

// ---- Stylus ----

bool shiftDown() { return GetKeyState(VK_SHIFT) < 0; }
bool ctrlDown() { return GetKeyState(VK_CONTROL) < 0; }

// The character boundary under a client point.
size_t posAtPoint(HWND hwnd, const Edit* e, LPARAM lParam)
{
    if (isMultiline(hwnd)) return linePosAt(e, lineLayout(hwnd, e), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return posAt(e, layout(hwnd, e), GET_X_LPARAM(lParam));
}

LRESULT onLButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    if (GetFocus() != hwnd) SetFocus(hwnd);
    size_t pos = posAtPoint(hwnd, e, lParam);
    setSelection(hwnd, e, shiftDown() ? e->anchor : pos, pos);
    e->selecting = true;
    SetCapture(hwnd);
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    if (!e->selecting) return 0;
    size_t pos = posAtPoint(hwnd, e, lParam);
    if (pos != e->caret) setSelection(hwnd, e, e->anchor, pos);
    return 0;
}

LRESULT onLButtonUp(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    if (!e->selecting) return 0;
    e->selecting = false;
    if (GetCapture() == hwnd) ReleaseCapture();
    return 0;
}

LRESULT onCaptureChanged(HWND hwnd, UINT, WPARAM, LPARAM)
{
    state<Edit>(hwnd)->selecting = false;
    return 0;
}

// A double tap selects the word under the stylus, or everything when it
// lands on blanks, past the end, or in a password field.
LRESULT onDoubleTap(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    if (GetFocus() != hwnd) SetFocus(hwnd);
    const std::string& t = e->text;
    size_t pos = posAtPoint(hwnd, e, lParam);
    bool inWord = (pos < t.size() && !isBlank(t[pos])) || (pos > 0 && !isBlank(t[pos - 1]));
    if (!inWord || hasStyle(hwnd, ES_PASSWORD)) {
        setSelection(hwnd, e, 0, t.size());
        return 0;
    }
    size_t a = pos, b = pos;
    while (a > 0 && !isBlank(t[a - 1])) --a;
    while (b < t.size() && !isBlank(t[b])) ++b;
    setSelection(hwnd, e, a, b);
    return 0;
}

// ---- Keys ----

// Moves the caret (extending the selection with Shift). Without Shift a
// selection collapses to the side the arrow points to.
void moveCaret(HWND hwnd, Edit* e, UINT key)
{
    const std::string& t = e->text;
    bool extend = shiftDown();
    bool word = ctrlDown();
    size_t to = e->caret;
    switch (key) {
    case VK_LEFT:
        if (!extend && e->anchor != e->caret && !word) to = selStart(e);
        else to = word ? wordLeft(t, e->caret) : prevChar(t, e->caret);
        break;
    case VK_RIGHT:
        if (!extend && e->anchor != e->caret && !word) to = selEnd(e);
        else to = word ? wordRight(t, e->caret) : nextChar(t, e->caret);
        break;
    case VK_HOME: to = 0; break;
    case VK_END: to = t.size(); break;
    default: return;
    }
    setSelection(hwnd, e, extend ? e->anchor : to, to);
}

// Home, End, the vertical arrows and the page keys of a multi-line field;
// Up and Down keep to the column they started from.
void moveCaretByLines(HWND hwnd, Edit* e, UINT key)
{
    size_t to = lineMotion(hwnd, e, key, ctrlDown());
    int goal = e->goalX;
    setSelection(hwnd, e, shiftDown() ? e->anchor : to, to);
    if (key != VK_HOME && key != VK_END) e->goalX = goal;
}

LRESULT onCut(HWND hwnd, UINT, WPARAM, LPARAM);

bool controlKey(HWND hwnd, Edit* e, UINT key)
{
    switch (key) {
    case 'A': setSelection(hwnd, e, 0, e->text.size()); return true;
    case 'C': copySelection(hwnd, e); return true;
    case 'X': onCut(hwnd, WM_CUT, 0, 0); return true;
    case 'V': paste(hwnd, e); return true;
    default: return false;
    }
}

LRESULT onKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    UINT key = static_cast<UINT>(wParam);
    bool lines = isMultiline(hwnd);
    switch (key) {
    case VK_HOME: case VK_END: case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
        if (lines) {
            moveCaretByLines(hwnd, e, key);
            return 0;
        }
        if (key == VK_HOME || key == VK_END) moveCaret(hwnd, e, key);
        else return DefWindowProc(hwnd, message, wParam, lParam);
        return 0;
    case VK_LEFT: case VK_RIGHT:
        moveCaret(hwnd, e, key);
        return 0;
    case VK_DELETE:
        if (shiftDown()) onCut(hwnd, WM_CUT, 0, 0);
        else deleteAround(hwnd, e, true);
        return 0;
    default:
        if (ctrlDown() && controlKey(hwnd, e, key)) return 0;
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// Typed characters. Backspace deletes; Return breaks the line of a
// multi-line field; other control characters (Escape, Tab and the Ctrl+letter
// codes, and Return in a single line) are not text and are ignored.
LRESULT onChar(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    auto c = static_cast<uint32_t>(wParam);
    if (c == VK_BACK) {
        deleteAround(hwnd, e, false);
        return 0;
    }
    if (c == '\r' && isMultiline(hwnd)) {
        if (!refuseWhenReadOnly(hwnd)) replaceSelection(hwnd, e, "\r\n");
        return 0;
    }
    if (c < 0x20 || c == 0x7F) return 0;
    if (refuseWhenReadOnly(hwnd)) return 0;
    if (hasStyle(hwnd, ES_NUMBER) && (c < '0' || c > '9')) {
        MessageBeep(MB_OK);
        return 0;
    }
    std::string typed;
    utf8Append(typed, c);
    replaceSelection(hwnd, e, typed);
    return 0;
}

// ---- Clipboard ----

LRESULT onCopy(HWND hwnd, UINT, WPARAM, LPARAM)
{
    copySelection(hwnd, state<Edit>(hwnd));
    return 0;
}
LRESULT onCut(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    if (e->anchor == e->caret || hasStyle(hwnd, ES_PASSWORD) || refuseWhenReadOnly(hwnd)) return 0;
    copySelection(hwnd, e);
    replaceSelection(hwnd, e, "");
    return 0;
}
LRESULT onPaste(HWND hwnd, UINT, WPARAM, LPARAM)
{
    paste(hwnd, state<Edit>(hwnd));
    return 0;
}
LRESULT onClear(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    if (e->anchor == e->caret || refuseWhenReadOnly(hwnd)) return 0;
    replaceSelection(hwnd, e, "");
    return 0;
}

// ---- EM_ messages ----

LRESULT onGetSel(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    auto a = static_cast<DWORD>(selStart(e)), b = static_cast<DWORD>(selEnd(e));
    if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
    if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
    return (MAKELRESULT(std::min<DWORD>(a, 0xFFFF), std::min<DWORD>(b, 0xFFFF)));
}

// Start -1 drops the selection (the caret stays); (0, -1) selects everything;
// any other negative end means the end of the text. The caret goes to `end`.
LRESULT onSetSel(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    auto start = static_cast<int32_t>(wParam);
    auto end = static_cast<int32_t>(lParam);
    size_t n = e->text.size();
    if (start == -1) {
        setSelection(hwnd, e, e->caret, e->caret);
        return 0;
    }
    size_t a = start < 0 ? n : std::min(static_cast<size_t>(start), n);
    size_t b = end < 0 ? n : std::min(static_cast<size_t>(end), n);
    setSelection(hwnd, e, a, b);
    return 0;
}

LRESULT onReplaceSel(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    const char* text = reinterpret_cast<const char*>(lParam);
    replaceSelection(hwnd, state<Edit>(hwnd), text ? text : "");
    return 0;
}

// A limit of 0 lifts it; a text already longer than a new limit stays.
LRESULT onLimitText(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    state<Edit>(hwnd)->limit = wParam == 0 ? kNoLimit : std::min<size_t>(wParam, kNoLimit);
    return 0;
}
LRESULT onGetLimitText(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(state<Edit>(hwnd)->limit); }

LRESULT onGetModify(HWND hwnd, UINT, WPARAM, LPARAM) { return state<Edit>(hwnd)->modified ? TRUE : FALSE; }
LRESULT onSetModify(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    state<Edit>(hwnd)->modified = wParam != 0;
    return 0;
}

void setStyleBit(HWND hwnd, DWORD bit, bool on)
{
    DWORD style = styleOf(hwnd);
    SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(on ? style | bit : style & ~bit));
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT onSetReadOnly(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    setStyleBit(hwnd, ES_READONLY, wParam != 0);
    return TRUE;
}

// Character 0 shows the text as it is; any other turns the field into a
// password field showing that character.
LRESULT onSetPasswordChar(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    auto c = static_cast<char>(wParam);
    if (c) e->passwordChar = c;
    setStyleBit(hwnd, ES_PASSWORD, c != 0);
    keepCaretVisible(hwnd, e);
    return 0;
}
LRESULT onGetPasswordChar(HWND hwnd, UINT, WPARAM, LPARAM)
{
    return hasStyle(hwnd, ES_PASSWORD) ? static_cast<unsigned char>(state<Edit>(hwnd)->passwordChar) : 0;
}

// Client position of the character at a byte offset (-1 past the end).
LRESULT onPosFromChar(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    if (wParam > e->text.size()) return -1;
    if (isMultiline(hwnd)) {
        Lines l = lineLayout(hwnd, e);
        size_t pos = snap(e->text, wParam);
        return (MAKELRESULT(static_cast<WORD>(l.xOf(pos)), static_cast<WORD>(l.topOf(e, l.lineOf(pos)))));
    }
    Layout l = layout(hwnd, e);
    return (MAKELRESULT(static_cast<WORD>(l.xOf(snap(e->text, wParam))), static_cast<WORD>(textRow(hwnd, l).top)));
}
// The character nearest to a client point, and (multi-line) its line in the high word.
LRESULT onCharFromPos(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    if (!isMultiline(hwnd)) return static_cast<LRESULT>(posAt(e, layout(hwnd, e), GET_X_LPARAM(lParam)) & 0xFFFF);
    Lines l = lineLayout(hwnd, e);
    size_t pos = linePosAt(e, l, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return (MAKELRESULT(static_cast<WORD>(pos & 0xFFFF), static_cast<WORD>(l.lineOf(pos) & 0xFFFF)));
}
LRESULT onGetRect(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    if (lParam && isMultiline(hwnd)) {
        *reinterpret_cast<RECT*>(lParam) = lineLayout(hwnd, e).area;
    } else if (lParam) {
        Layout l = layout(hwnd, e);
        *reinterpret_cast<RECT*>(lParam) = textRow(hwnd, l);
    }
    return 0;
}
LRESULT onScrollCaret(HWND hwnd, UINT, WPARAM, LPARAM)
{
    moved(hwnd, state<Edit>(hwnd));
    return TRUE;
}

// What the field keeps from dialog navigation: its arrows and characters;
// reached by Tab, it has all its text selected. (The message and its bits,
// as dialogs define them.)
constexpr UINT kGetDialogCode = 0x0087;
constexpr LRESULT kWantArrows = 0x0001, kHasSetSel = 0x0008, kWantChars = 0x0080;
constexpr LRESULT kWantAllKeys = 0x0004;
// A multi-line field with ES_WANTRETURN also keeps Return, for its line breaks.
LRESULT onGetDialogCode(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    LRESULT code = kWantArrows | kHasSetSel | kWantChars;
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    bool breaksLine = isMultiline(hwnd) && hasStyle(hwnd, ES_WANTRETURN);
    if (breaksLine && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= kWantAllKeys;
    return code;
}

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, onCreate},
    {kGetDialogCode, onGetDialogCode},
    {WM_NCDESTROY, destroyState<Edit>},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, paintsOwnBackground},
    {WM_TIMER, onTimer},
    {WM_SETTEXT, onSetText},
    {WM_GETTEXT, onGetText},
    {WM_GETTEXTLENGTH, onGetTextLength},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {WM_SIZE, onSize},
    {WM_ENABLE, onEnable},
    {WM_SETFOCUS, onSetFocus},
    {WM_KILLFOCUS, onKillFocus},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onDoubleTap},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {WM_KEYDOWN, onKeyDown},
    {WM_CHAR, onChar},
    {WM_CUT, onCut},
    {WM_COPY, onCopy},
    {WM_PASTE, onPaste},
    {WM_CLEAR, onClear},
    {EM_GETSEL, onGetSel},
    {EM_SETSEL, onSetSel},
    {EM_REPLACESEL, onReplaceSel},
    {EM_LIMITTEXT, onLimitText},
    {EM_GETLIMITTEXT, onGetLimitText},
    {EM_GETMODIFY, onGetModify},
    {EM_SETMODIFY, onSetModify},
    {EM_SETREADONLY, onSetReadOnly},
    {EM_SETPASSWORDCHAR, onSetPasswordChar},
    {EM_GETPASSWORDCHAR, onGetPasswordChar},
    {EM_POSFROMCHAR, onPosFromChar},
    {EM_CHARFROMPOS, onCharFromPos},
    {EM_GETRECT, onGetRect},
    {EM_SCROLLCARET, onScrollCaret},
    {EM_LINEINDEX, onLineIndex},
    {EM_LINEFROMCHAR, onLineFromChar},
    {EM_LINELENGTH, onLineLength},
    {EM_GETLINECOUNT, onGetLineCount},
    {EM_GETFIRSTVISIBLELINE, onGetFirstVisibleLine},
    {EM_GETLINE, onGetLine},
    {EM_LINESCROLL, onLineScroll},
    {EM_SCROLL, onScroll},
    {WM_VSCROLL, onVScroll},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerEditClass() { registerControlClass(WC_EDIT, MessageMapProc<kMap>, CS_DBLCLKS); }
