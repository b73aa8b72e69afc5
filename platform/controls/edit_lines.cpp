// The lines of a multi-line edit field: where the text breaks (at its line
// breaks, and at blanks where a line would pass the right edge), one layout
// that painting, taps, the caret and the line messages share, the vertical
// scroll that keeps the caret in view, the keys that move between lines, and
// the EM_ messages about lines.
#include "platform/controls/edit_internal.h"
#include "platform/window/scrollbars.h"

#include <cstdlib>
#include <cstring>
#include <limits>

using namespace controls;

namespace editfield {

namespace {

int margin() { return scaled(2); }

// Long lines wrap unless the field scrolls sideways.
bool wraps(HWND hwnd) { return isMultiline(hwnd) && !hasStyle(hwnd, ES_AUTOHSCROLL) && !hasStyle(hwnd, WS_HSCROLL); }

int xIn(const Lines& l, const Line& line, size_t pos)
{
    if (pos <= line.start) return l.origin;
    return l.origin + l.x[std::min(pos, line.end) - 1] - line.base;
}

// Splits the paragraph [start, end), whose extents are in l.x, into lines
// that fit `room`: after the last blank that still fits, or inside a word
// too long for a line. Blanks at a break stay on the upper line.
void wrapParagraph(Lines& l, const std::string& text, size_t start, size_t end, int room, bool wrap)
{
    size_t s = start;
    int base = 0;
    while (wrap && room > 0 && s < end) {
        size_t over = s;
        while (over < end && l.x[over] - base <= room) ++over;
        if (over >= end) break;
        size_t cut = snap(text, over);
        size_t p = cut;
        if (isBlank(text[cut])) {
            while (p < end && isBlank(text[p])) ++p;
        } else {
            while (p > s && !isBlank(text[p - 1])) --p;
            if (p == s) p = cut;
        }
        if (p == s) p = nextChar(text, s);  // at least one character a line
        if (p >= end) break;
        l.lines.push_back({s, p, base});
        base = l.x[p - 1];
        s = p;
    }
    l.lines.push_back({s, end, base});
}

// A line that ends by wrapping (its end is where the next one starts).
bool wrapsOn(const Lines& l, size_t index)
{
    return index + 1 < l.lines.size() && l.lines[index + 1].start == l.lines[index].end;
}

// The boundary in line `index` nearest to client x. A wrapped line's own
// end is the next line's start, so the caret stops before it.
size_t nearestIn(const Edit* e, const Lines& l, size_t index, int x)
{
    const Line& line = l.lines[index];
    size_t last = wrapsOn(l, index) ? prevChar(e->text, line.end) : line.end;
    size_t best = line.start;
    int bestDistance = std::abs(x - xIn(l, line, best));
    for (size_t pos = line.start; pos < last;) {
        pos = nextChar(e->text, pos);
        int d = std::abs(x - xIn(l, line, pos));
        if (d < bestDistance) {
            best = pos;
            bestDistance = d;
        }
    }
    return best;
}

int mostFirstLine(const Lines& l) { return std::max(0, static_cast<int>(l.lines.size()) - l.visibleLines()); }

int widest(const Lines& l)
{
    int most = 0;
    for (const Line& line : l.lines) most = std::max(most, xIn(l, line, line.end) - l.origin);
    return most;
}

// The bar stays (disabled when everything fits), so that showing or hiding it
// never rewraps the text under the user's stylus.
void updateScrollBar(HWND hwnd, const Edit* e, const Lines& l)
{
    if (!hasStyle(hwnd, WS_VSCROLL)) return;
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0,
                  static_cast<int>(l.lines.size()) - 1, static_cast<UINT>(l.visibleLines()), e->firstLine, 0};
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

}  // namespace

size_t Lines::lineOf(size_t pos) const
{
    auto after = std::upper_bound(lines.begin(), lines.end(), pos, [](size_t p, const Line& l) { return p < l.start; });
    return after == lines.begin() ? 0 : static_cast<size_t>(after - lines.begin() - 1);
}

int Lines::xOf(size_t pos) const { return xIn(*this, lines[lineOf(pos)], pos); }

int Lines::topOf(const Edit* e, size_t line) const
{
    return area.top + (static_cast<int>(line) - e->firstLine) * lineHeight;
}

Lines lineLayout(HWND hwnd, const Edit* e)
{
    Lines l;
    GetClientRect(hwnd, &l.area);
    l.area.left += margin();
    l.area.right = std::max(l.area.left, l.area.right - margin());
    l.area.top = std::min(l.area.bottom, l.area.top + scaled(1));
    const std::string& text = e->text;
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, e->font.get());
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    l.lineHeight = std::max(1, static_cast<int>(tm.tmHeight));
    l.x.assign(text.size(), 0);
    bool multi = isMultiline(hwnd);
    int room = l.area.right - l.area.left;
    for (size_t start = 0;;) {
        size_t brk = multi ? text.find('\n', start) : std::string::npos;
        size_t end = brk == std::string::npos ? text.size() : brk;
        if (brk != std::string::npos && end > start && text[end - 1] == '\r') --end;
        if (end > start) {
            SIZE size{0, 0};
            GetTextExtentExPoint(dc, text.data() + start, static_cast<int>(end - start), -1, nullptr, &l.x[start], &size);
        }
        wrapParagraph(l, text, start, end, room, wraps(hwnd));
        if (brk == std::string::npos) break;
        start = brk + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    l.origin = l.area.left - e->scroll;
    return l;
}

size_t linePosAt(const Edit* e, const Lines& l, int x, int y)
{
    int offset = y - l.area.top;
    int row = (offset >= 0 ? offset : offset - l.lineHeight + 1) / l.lineHeight + e->firstLine;
    row = std::clamp(row, 0, static_cast<int>(l.lines.size()) - 1);
    return nearestIn(e, l, static_cast<size_t>(row), x);
}

void keepCaretLineVisible(HWND hwnd, Edit* e)
{
    Lines l = lineLayout(hwnd, e);
    int line = static_cast<int>(l.lineOf(e->caret));
    int visible = l.visibleLines();
    if (line < e->firstLine) e->firstLine = line;
    if (line >= e->firstLine + visible) e->firstLine = line - visible + 1;
    e->firstLine = std::clamp(e->firstLine, 0, mostFirstLine(l));
    if (wraps(hwnd)) {
        e->scroll = 0;
    } else {
        // Sideways as a single-line field does: by a quarter of the width.
        int room = l.area.right - l.area.left;
        int caretX = l.xOf(e->caret) - l.origin;
        if (room > 0) {
            if (caretX - e->scroll >= room) e->scroll = caretX - room + room / 4;
            if (caretX < e->scroll) e->scroll = std::max(0, caretX - room / 4);
            e->scroll = std::clamp(e->scroll, 0, std::max(0, widest(l) - room + 1));
        }
    }
    updateScrollBar(hwnd, e, l);
}

bool scrollLines(HWND hwnd, Edit* e, int lines)
{
    Lines l = lineLayout(hwnd, e);
    int first = std::clamp(e->firstLine + lines, 0, mostFirstLine(l));
    if (first == e->firstLine) return false;
    e->firstLine = first;
    updateScrollBar(hwnd, e, l);
    InvalidateRect(hwnd, nullptr, FALSE);
    return true;
}

size_t lineMotion(HWND hwnd, Edit* e, UINT key, bool ctrl)
{
    Lines l = lineLayout(hwnd, e);
    size_t index = l.lineOf(e->caret);
    const Line& line = l.lines[index];
    int last = static_cast<int>(l.lines.size()) - 1;
    int step = 0;
    switch (key) {
    case VK_HOME: return ctrl ? 0 : line.start;
    case VK_END:
        if (ctrl) return e->text.size();
        return wrapsOn(l, index) ? prevChar(e->text, line.end) : line.end;
    case VK_UP: step = -1; break;
    case VK_DOWN: step = 1; break;
    case VK_PRIOR: step = -l.visibleLines(); break;
    case VK_NEXT: step = l.visibleLines(); break;
    default: return e->caret;
    }
    if (e->goalX < 0) e->goalX = l.xOf(e->caret) + e->scroll;
    int target = std::clamp(static_cast<int>(index) + step, 0, last);
    // A page key turns the page, then the caret lands on the same screen row.
    if (key == VK_PRIOR || key == VK_NEXT) scrollLines(hwnd, e, step);
    return nearestIn(e, l, static_cast<size_t>(target), e->goalX - e->scroll);
}

void paintLines(HWND hwnd, HDC dc, const Edit* e)
{
    Lines l = lineLayout(hwnd, e);
    RECT client;
    GetClientRect(hwnd, &client);
    const std::string& text = e->text;
    size_t a = selStart(e), b = selEnd(e);
    bool showSelection = a != b && (e->focused || hasStyle(hwnd, ES_NOHIDESEL));
    int saved = SaveDC(dc);
    IntersectClipRect(dc, l.area.left, l.area.top, l.area.right, client.bottom);
    SetBkMode(dc, TRANSPARENT);
    COLORREF textColour = GetTextColor(dc);
    for (size_t i = static_cast<size_t>(std::max(0, e->firstLine)); i < l.lines.size(); ++i) {
        const Line& line = l.lines[i];
        int top = l.topOf(e, i);
        if (top >= client.bottom) break;
        TextOut(dc, l.origin, top, text.data() + line.start, static_cast<int>(line.end - line.start));
        if (!showSelection) continue;
        size_t from = std::max(a, line.start), to = std::min(b, line.end);
        // A selected line break shows as a blank's width of highlight.
        bool breakSelected = !wrapsOn(l, i) && i + 1 < l.lines.size() && a <= line.end && b > line.end;
        if (from > to || (from == to && !breakSelected)) continue;
        RECT sel{xIn(l, line, from), top, xIn(l, line, to) + (breakSelected ? scaled(4) : 0), top + l.lineHeight};
        int inner = SaveDC(dc);
        IntersectClipRect(dc, sel.left, sel.top, sel.right, sel.bottom);
        FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        TextOut(dc, l.origin, top, text.data() + line.start, static_cast<int>(line.end - line.start));
        SetTextColor(dc, textColour);
        RestoreDC(dc, inner);
    }
    RestoreDC(dc, saved);
    if (e->focused && e->caretShown) {
        size_t index = l.lineOf(e->caret);
        int top = l.topOf(e, index);
        int x = std::min(xIn(l, l.lines[index], e->caret), static_cast<int>(client.right) - 1);
        RECT caret{x, top, x + std::max(1, scaled(1)), top + l.lineHeight};
        if (index >= static_cast<size_t>(e->firstLine) && top < client.bottom)
            FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
}

// ---- The line messages ----

// Line -1 is the caret's; a line past the last gives -1.
LRESULT onLineIndex(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    Lines l = lineLayout(hwnd, e);
    auto line = static_cast<int32_t>(wParam);
    if (line < 0) line = static_cast<int32_t>(l.lineOf(e->caret));
    if (static_cast<size_t>(line) >= l.lines.size()) return -1;
    return static_cast<LRESULT>(l.lines[static_cast<size_t>(line)].start);
}

// Position -1 is the selection's start.
LRESULT onLineFromChar(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    auto pos = static_cast<int32_t>(wParam);
    size_t at = pos < 0 ? selStart(e) : std::min(static_cast<size_t>(pos), e->text.size());
    return static_cast<LRESULT>(lineLayout(hwnd, e).lineOf(at));
}

// Bytes of the line holding a position, without its line break.
LRESULT onLineLength(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    Lines l = lineLayout(hwnd, e);
    auto pos = static_cast<int32_t>(wParam);
    size_t at = pos < 0 ? e->caret : std::min(static_cast<size_t>(pos), e->text.size());
    const Line& line = l.lines[l.lineOf(at)];
    return static_cast<LRESULT>(line.end - line.start);
}

LRESULT onGetLineCount(HWND hwnd, UINT, WPARAM, LPARAM)
{
    return static_cast<LRESULT>(lineLayout(hwnd, state<Edit>(hwnd)).lines.size());
}

LRESULT onGetFirstVisibleLine(HWND hwnd, UINT, WPARAM, LPARAM) { return state<Edit>(hwnd)->firstLine; }

// Copies line wParam into the buffer whose first WORD gives its size; no
// terminating zero, never half a character. Returns the bytes copied.
LRESULT onGetLine(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Edit* e = state<Edit>(hwnd);
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer) return 0;
    WORD capacity = 0;
    std::memcpy(&capacity, buffer, sizeof capacity);
    Lines l = lineLayout(hwnd, e);
    if (wParam >= l.lines.size()) return 0;
    const Line& line = l.lines[wParam];
    std::string_view text(e->text.data() + line.start, line.end - line.start);
    size_t n = fittingBytes(text, capacity);
    std::memcpy(buffer, text.data(), n);
    return static_cast<LRESULT>(n);
}

LRESULT onLineScroll(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    if (!isMultiline(hwnd)) return FALSE;
    scrollLines(hwnd, state<Edit>(hwnd), static_cast<int>(static_cast<int32_t>(lParam)));
    return TRUE;
}

namespace {

int scrollStep(HWND hwnd, const Edit* e, WPARAM wParam)
{
    int page = lineLayout(hwnd, e).visibleLines();
    switch (LOWORD(wParam)) {
    case SB_LINEUP: return -1;
    case SB_LINEDOWN: return 1;
    case SB_PAGEUP: return -page;
    case SB_PAGEDOWN: return page;
    case SB_TOP: return -e->firstLine;
    case SB_BOTTOM: return std::numeric_limits<int>::max() / 2;  // clamped to the last page
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return scrollThumbPosition(hwnd, SB_VERT, wParam) - e->firstLine;
    default: return 0;
    }
}

}  // namespace

// Answers the lines scrolled in the low word and TRUE in the high word.
LRESULT onScroll(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Edit* e = state<Edit>(hwnd);
    if (!isMultiline(hwnd)) return FALSE;
    int before = e->firstLine;
    scrollLines(hwnd, e, scrollStep(hwnd, e, wParam));
    return (MAKELRESULT(static_cast<WORD>(e->firstLine - before), TRUE));
}

LRESULT onVScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    onScroll(hwnd, message, wParam, lParam);
    return 0;
}

}  // namespace editfield
