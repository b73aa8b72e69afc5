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
    bool modified = false;
    bool focused = false;
    bool caretShown = false;  // phase of the blink
    bool selecting = false;   // stylus down and dragging a selection
    char passwordChar = '*';
};

DWORD styleOf(HWND hwnd);
bool hasStyle(HWND hwnd, DWORD bit);

// Byte positions in UTF-8 text, always at the start of a character.
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

}  // namespace editfield
