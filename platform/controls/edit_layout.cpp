// Where an edit field's characters fall: moving between whole characters and
// words of the UTF-8 text, and one layout (the text area, where each
// character boundary lies, and the horizontal scroll) that serves painting,
// taps and the caret alike, so that what is drawn is what is tapped.
#include "platform/controls/edit_internal.h"
#include "platform/base/utf8.h"

#include <cstdlib>

using namespace controls;

namespace editfield {

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }
bool hasStyle(HWND hwnd, DWORD bit) { return (styleOf(hwnd) & bit) != 0; }

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool isMultiline(HWND hwnd) { return hasStyle(hwnd, ES_MULTILINE); }

namespace {

bool insideLineBreak(const std::string& text, size_t pos)
{
    return pos > 0 && pos < text.size() && text[pos - 1] == '\r' && text[pos] == '\n';
}

}  // namespace

// The start of the character holding byte `pos` (or the end of the text).
size_t snap(const std::string& text, size_t pos)
{
    if (pos >= text.size()) return text.size();
    while (pos > 0 && continuation(text[pos])) --pos;
    if (insideLineBreak(text, pos)) --pos;
    return pos;
}
size_t nextChar(const std::string& text, size_t pos)
{
    if (pos >= text.size()) return text.size();
    if (text.compare(pos, 2, "\r\n") == 0) return pos + 2;
    utf8Next(text, &pos);
    return pos;
}
size_t prevChar(const std::string& text, size_t pos) { return pos == 0 ? 0 : snap(text, pos - 1); }

size_t selStart(const Edit* e) { return std::min(e->anchor, e->caret); }
size_t selEnd(const Edit* e) { return std::max(e->anchor, e->caret); }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Word motion for Ctrl+arrows: to the start of the previous word, or past the
// blanks after the next one.
size_t wordLeft(const std::string& t, size_t pos)
{
    while (pos > 0 && isBlank(t[pos - 1])) --pos;
    while (pos > 0 && !isBlank(t[pos - 1])) --pos;
    return pos;
}
size_t wordRight(const std::string& t, size_t pos)
{
    while (pos < t.size() && !isBlank(t[pos])) ++pos;
    while (pos < t.size() && isBlank(t[pos])) ++pos;
    return pos;
}

namespace {

int margin() { return scaled(2); }

void buildShown(HWND hwnd, const Edit* e, Layout* l)
{
    bool password = hasStyle(hwnd, ES_PASSWORD);
    l->at.assign(e->text.size() + 1, 0);
    size_t pos = 0;
    while (pos < e->text.size()) {
        size_t start = pos;
        utf8Next(e->text, &pos);
        if (password)
            l->shown.push_back(e->passwordChar);
        else
            l->shown.append(e->text, start, pos - start);
        for (size_t i = start + 1; i <= pos; ++i) l->at[i] = l->shown.size();
        // Bytes inside a character share its start.
        for (size_t i = start + 1; i < pos; ++i) l->at[i] = l->at[start];
    }
}

}  // namespace

Layout layout(HWND hwnd, const Edit* e)
{
    Layout l;
    GetClientRect(hwnd, &l.area);
    l.area.left += margin();
    l.area.right = std::max(l.area.left, l.area.right - margin());
    buildShown(hwnd, e, &l);
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, e->font.get());
    l.x.assign(l.shown.size(), 0);
    SIZE size{0, 0};
    GetTextExtentExPoint(dc, l.shown.data(), static_cast<int>(l.shown.size()), -1, nullptr, l.x.data(), &size);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    l.textHeight = tm.tmHeight;
    int room = l.area.right - l.area.left;
    int slack = room - l.width();
    DWORD style = styleOf(hwnd);
    int align = 0;
    if (slack > 0 && (style & ES_RIGHT)) align = slack - 1;  // leave room for the caret after the text
    else if (slack > 0 && (style & ES_CENTER)) align = slack / 2;
    l.origin = l.area.left + align - e->scroll;
    return l;
}

RECT textRow(HWND hwnd, const Layout& l)
{
    RECT c;
    GetClientRect(hwnd, &c);
    int top = (c.bottom - l.textHeight) / 2;
    return RECT{l.area.left, top, l.area.right, top + l.textHeight};
}

// The character boundary nearest to client x.
size_t posAt(const Edit* e, const Layout& l, int x)
{
    size_t best = 0;
    int bestDistance = std::abs(x - l.xOf(0));
    size_t pos = 0;
    while (pos < e->text.size()) {
        pos = nextChar(e->text, pos);
        int d = std::abs(x - l.xOf(pos));
        if (d < bestDistance) {
            best = pos;
            bestDistance = d;
        }
    }
    return best;
}

// Scrolls (with ES_AUTOHSCROLL) so that the caret lies inside the text area:
// by a quarter of the area at a time, and never past the end of the text.
void keepCaretVisible(HWND hwnd, Edit* e)
{
    if (isMultiline(hwnd)) {
        keepCaretLineVisible(hwnd, e);
        return;
    }
    if (!hasStyle(hwnd, ES_AUTOHSCROLL)) {
        e->scroll = 0;
        return;
    }
    Layout l = layout(hwnd, e);
    int room = l.area.right - l.area.left;
    if (room <= 0) return;
    int align = l.origin + e->scroll - l.area.left;   // offset of aligned (centred, right) text
    int caretX = l.xOf(e->caret) - l.origin + align;  // from the area's left edge, unscrolled
    if (caretX - e->scroll >= room) e->scroll = caretX - room + room / 4;
    if (caretX < e->scroll) e->scroll = std::max(0, caretX - room / 4);
    int most = std::max(0, l.width() + align - room + 1);
    e->scroll = std::clamp(e->scroll, 0, most);
}

// The longest leading part of `insert`, in whole characters, of at most `room` bytes.
size_t fittingBytes(std::string_view insert, size_t room)
{
    if (insert.size() <= room) return insert.size();
    size_t n = room;
    while (n > 0 && continuation(insert[n])) --n;
    return n;
}

}  // namespace editfield
