#pragma once
// What the edit field's files share: its state, the text helpers and the
// layout of its characters on screen.
#include "platform/controls/control_kit.h"
#include "platform/controls/edit.h"

#include <string>
#include <string_view>
#include <vector>

namespace editfield {

constexpr size_t kDefaultLimit = 30000;

struct Edit {
    controls::FontHolder font;
    std::string text;
    size_t anchor = 0;  // the fixed end of the selection
    size_t caret = 0;   // the end that moves; the caret is drawn here
    size_t limit = kDefaultLimit;
    int scroll = 0;     // pixels of text scrolled out at the left
    int firstLine = 0;  // multi-line: the top line shown
    int goalX = -1;     // multi-line: the column Up and Down keep to (-1: the caret's)
    bool modified = false;
    bool focused = false;
    bool caretShown = false;  // phase of the blink
    bool selecting = false;   // stylus down and dragging a selection
    char passwordChar = '*';
};

DWORD styleOf(HWND hwnd);
bool hasStyle(HWND hwnd, DWORD bit);
bool isMultiline(HWND hwnd);

// Byte positions in UTF-8 text, always at the start of a character; a
// "\r\n" line break counts as one character.
bool continuation(char c);
size_t snap(const std::string& text, size_t pos);  // back to the start of the character holding pos
size_t nextChar(const std::string& text, size_t pos);
size_t prevChar(const std::string& text, size_t pos);
size_t selStart(const Edit* e);
size_t selEnd(const Edit* e);
bool isBlank(char c);
size_t wordLeft(const std::string& t, size_t pos);
size_t wordRight(const std::string& t, size_t pos);
// The longest leading part of `insert`, in whole characters, of at most `room` bytes.
size_t fittingBytes(std::string_view insert, size_t room);

struct Layout {
    RECT area;                // where text is drawn, inside the margins
    std::string shown;        // the text, or one password character per character
    std::vector<size_t> at;   // display offset of each text byte offset (size text + 1)
    std::vector<int> x;       // pixel after each display byte (size shown)
    int origin;               // client x of the first character
    int textHeight;
    int width() const { return x.empty() ? 0 : x.back(); }
    int xOf(size_t textPos) const
    {
        size_t d = at[textPos];
        return origin + (d == 0 ? 0 : x[d - 1]);
    }
};

Layout layout(HWND hwnd, const Edit* e);
// The row the text is drawn in (centred in the field).
RECT textRow(HWND hwnd, const Layout& l);
// The character boundary nearest to client x.
size_t posAt(const Edit* e, const Layout& l, int x);
// With ES_AUTOHSCROLL, scrolls so that the caret lies in the text area.
void keepCaretVisible(HWND hwnd, Edit* e);

// ---- Multi-line fields (edit_lines.cpp) ----

// One shown line: the bytes [start, end) of the text, without its line
// break; `base` is the pixel extent of the paragraph before `start`, so that
// a wrapped line's x positions count from its own left edge.
struct Line {
    size_t start;
    size_t end;
    int base;
};

struct Lines {
    RECT area;               // the formatting rectangle, inside the margins
    int lineHeight;
    std::vector<Line> lines;  // at least one
    std::vector<int> x;       // pixel extent, within its paragraph, after each byte
    int origin;               // client x of a line's first character (after the horizontal scroll)

    int visibleLines() const { return std::max(1, static_cast<int>(area.bottom - area.top) / std::max(1, lineHeight)); }
    size_t lineOf(size_t pos) const;  // the line holding the caret at `pos`
    int xOf(size_t pos) const;        // client x of position `pos`
    int topOf(const Edit* e, size_t line) const;  // client y of a line's top
};

Lines lineLayout(HWND hwnd, const Edit* e);
// The position nearest to a client point (y picks the line, x the boundary in it).
size_t linePosAt(const Edit* e, const Lines& l, int x, int y);
// Scrolls so that the caret's line and column are in view and updates the scroll bar.
void keepCaretLineVisible(HWND hwnd, Edit* e);
// Scrolls the view by `lines` (the caret stays); returns whether it moved.
bool scrollLines(HWND hwnd, Edit* e, int lines);
void paintLines(HWND hwnd, HDC dc, const Edit* e);
// Up, Down, Page Up/Down, Home and End of a multi-line field: the new caret.
size_t lineMotion(HWND hwnd, Edit* e, UINT key, bool ctrl);

// The line messages (EM_LINEINDEX ... EM_SCROLL) and WM_VSCROLL.
LRESULT onLineIndex(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLineFromChar(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLineLength(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onGetLineCount(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onGetFirstVisibleLine(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onGetLine(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onLineScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onVScroll(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace editfield
