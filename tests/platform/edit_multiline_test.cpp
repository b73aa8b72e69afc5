// The multi-line edit field: line breaks typed and set, wrapping at blanks,
// moving between lines, vertical scrolling with its bar, the stylus on lines,
// the clipboard keeping breaks, the line messages, Return in dialogs, and
// the selection painted on the right row.
#include "tests/platform/controls_fixture.h"

#include <cstring>
#include <string>

using namespace platformtest;

namespace {

constexpr DWORD kMulti = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;

class MultilineEdit : public ControlTest {
protected:
    HWND focused(DWORD style = kMulti, const char* text = "", int w = 120, int h = 60, int id = 7)
    {
        HWND e = child(WC_EDIT, text, WS_BORDER | style, 10, 10, w, h, id);
        SetFocus(e);
        pump();
        recorded().clear();
        return e;
    }
    static std::string text(HWND e)
    {
        std::string buffer(static_cast<size_t>(GetWindowTextLength(e)) + 1, '\0');
        int n = GetWindowText(e, buffer.data(), static_cast<int>(buffer.size()));
        buffer.resize(static_cast<size_t>(n));
        return buffer;
    }
    static DWORD caret(HWND e)
    {
        DWORD a = 0, b = 0;
        SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return b;
    }
    static int lines(HWND e) { return static_cast<int>(SendMessage(e, EM_GETLINECOUNT, 0, 0)); }
    static int lineOf(HWND e, DWORD pos) { return static_cast<int>(SendMessage(e, EM_LINEFROMCHAR, pos, 0)); }
    static int caretLine(HWND e) { return lineOf(e, caret(e)); }
    static int firstVisible(HWND e) { return static_cast<int>(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    static int lineStart(HWND e, int line) { return static_cast<int>(SendMessage(e, EM_LINEINDEX, static_cast<WPARAM>(line), 0)); }
    static std::string line(HWND e, int index)
    {
        char buffer[256] = {};
        WORD capacity = sizeof buffer - 1;
        std::memcpy(buffer, &capacity, sizeof capacity);
        LRESULT n = SendMessage(e, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer, static_cast<size_t>(n));
    }
    static POINT posOf(HWND e, int pos)
    {
        LRESULT r = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
        return POINT{static_cast<int16_t>(LOWORD(r)), static_cast<int16_t>(HIWORD(r))};
    }
    static int lineHeight(HWND e) { return posOf(e, lineStart(e, 1)).y - posOf(e, 0).y; }
};

TEST_F(MultilineEdit, return_breaks_the_line_and_the_break_acts_as_one_character)
{
    HWND e = focused();
    type("one");
    key(VK_RETURN);
    type("two");
    EXPECT_EQ(text(e), "one\r\ntwo");
    EXPECT_EQ(lines(e), 2);
    EXPECT_EQ(lineStart(e, 1), 5);
    EXPECT_EQ(lineStart(e, 2), -1);
    EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 5, 0), 3);
    EXPECT_EQ(line(e, 0), "one");
    EXPECT_EQ(line(e, 1), "two");
    // Left from the start of line two lands before the break, never inside it.
    SendMessage(e, EM_SETSEL, 5, 5);
    key(VK_LEFT);
    EXPECT_EQ(caret(e), 3u);
    SendMessage(e, EM_SETSEL, 4, 4);  // between CR and LF: taken back to the CR
    EXPECT_EQ(caret(e), 3u);
    key(VK_RIGHT);
    EXPECT_EQ(caret(e), 5u);
    key(VK_BACK);  // joins the lines: both bytes of the break go
    EXPECT_EQ(text(e), "onetwo");
    EXPECT_EQ(lines(e), 1);
    // A lone LF set by a program breaks a line too.
    SetWindowText(e, "a\nb\r\nc");
    EXPECT_EQ(lines(e), 3);
    EXPECT_EQ(line(e, 1), "b");
}

TEST_F(MultilineEdit, arrows_home_end_and_page_keys_move_between_lines)
{
    HWND e = focused(kMulti, "abcdefgh\r\nab\r\nabcdefghij", 140, 60);
    SendMessage(e, EM_SETSEL, 8, 8);  // the end of the first line
    key(VK_DOWN);
    EXPECT_EQ(caretLine(e), 1);
    EXPECT_EQ(caret(e), 12u);  // "ab" is shorter: its end
    key(VK_DOWN);
    // The column Up and Down started from is kept across the shorter line.
    EXPECT_EQ(caret(e), 14u + 8u);
    key(VK_UP);
    key(VK_UP);
    EXPECT_EQ(caret(e), 8u);
    key(VK_UP);  // on the first line: stays
    EXPECT_EQ(caret(e), 8u);
    SendMessage(e, EM_SETSEL, 17, 17);
    key(VK_HOME);
    EXPECT_EQ(caret(e), 14u);
    key(VK_END);
    EXPECT_EQ(caret(e), 24u);
    chord(VK_CONTROL, VK_HOME);
    EXPECT_EQ(caret(e), 0u);
    chord(VK_CONTROL, VK_END);
    EXPECT_EQ(caret(e), 24u);
    key(VK_HOME);
    key(VK_PRIOR);
    EXPECT_EQ(caret(e), 0u);
    // Shift+Down selects to the same column of the next line.
    chord(VK_SHIFT, VK_DOWN);
    DWORD a = 9, b = 9;
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 10u);
    key(VK_NEXT);
    EXPECT_EQ(caretLine(e), 2);
}

TEST_F(MultilineEdit, long_lines_wrap_at_blanks_unless_the_field_scrolls_sideways)
{
    const char* words = "alpha beta gamma delta epsilon zeta";
    HWND e = focused(kMulti, words, 90, 80);
    int n = lines(e);
    ASSERT_GT(n, 2);
    RECT area;
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    std::string joined;
    for (int i = 0; i < n; ++i) {
        std::string l = line(e, i);
        joined += l;
        // Each line ends after a blank (or the text), so no word is split.
        if (i + 1 < n) {
            EXPECT_EQ(l.back(), ' ') << l;
        }
        std::string word = l.substr(0, l.find_last_not_of(' ') + 1);
        int start = lineStart(e, i);
        EXPECT_LE(posOf(e, start + static_cast<int>(word.size()) - 1).x, area.right) << l;
        EXPECT_EQ(posOf(e, start).x, area.left);
    }
    EXPECT_EQ(joined, words);
    // A word longer than a line is cut inside it rather than lost.
    const char* longWord = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz";
    SetWindowText(e, longWord);
    EXPECT_GT(lines(e), 1);
    joined.clear();
    for (int i = 0; i < lines(e); ++i) joined += line(e, i);
    EXPECT_EQ(joined, longWord);
    HWND sideways = focused(kMulti | ES_AUTOHSCROLL, words, 90, 80, 8);
    EXPECT_EQ(lines(sideways), 1);
    key(VK_END);
    EXPECT_LT(posOf(sideways, lineStart(sideways, 0)).x, 0);  // scrolled to show the caret
}

TEST_F(MultilineEdit, the_view_follows_the_caret_and_keeps_its_scroll_bar_in_step)
{
    HWND e = focused(kMulti | WS_VSCROLL, "", 120, 50);
    for (int i = 0; i < 9; ++i) {
        type(("line " + std::to_string(i)).c_str());
        key(VK_RETURN);
    }
    type("last");
    ASSERT_EQ(lines(e), 10);
    int first = firstVisible(e);
    EXPECT_GT(first, 0);
    RECT area;
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    POINT caretAt = posOf(e, static_cast<int>(caret(e)));
    EXPECT_GE(caretAt.y, area.top);
    EXPECT_LE(caretAt.y + lineHeight(e), area.bottom);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(e, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 9);
    EXPECT_EQ(si.nPos, first);
    EXPECT_EQ(static_cast<int>(si.nPage) + first, 10);
    chord(VK_CONTROL, VK_HOME);
    EXPECT_EQ(firstVisible(e), 0);
    // The bar and EM_LINESCROLL move the view, not the caret.
    SendMessage(e, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(firstVisible(e), 1);
    EXPECT_EQ(caret(e), 0u);
    SendMessage(e, EM_LINESCROLL, 0, 100);
    EXPECT_EQ(firstVisible(e), first);  // never past the last page
    SendMessage(e, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(firstVisible(e), 0);
    ASSERT_TRUE(GetScrollInfo(e, SB_VERT, &si));
    EXPECT_EQ(si.nPos, 0);
}

TEST_F(MultilineEdit, the_stylus_picks_the_line_under_it_and_drags_across_lines)
{
    HWND e = focused(kMulti, "top\r\nmiddle\r\nbottom", 120, 60);
    int h = lineHeight(e);
    ASSERT_GT(h, 0);
    POINT second = posOf(e, lineStart(e, 1));
    tap(e, second.x + 1, second.y + h / 2);
    EXPECT_EQ(caret(e), 5u);
    POINT third = posOf(e, lineStart(e, 2));
    stylus(e, StylusDown, 60, 2);  // past the end of "top"
    stylus(e, StylusMove, 60, third.y + h / 2);
    stylus(e, StylusUp, 60, third.y + h / 2);
    DWORD a = 0, b = 0;
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 3u);
    EXPECT_EQ(lineOf(e, b), 2);
    LRESULT hit = SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(second.x + 1, second.y + h / 2));
    EXPECT_EQ(LOWORD(hit), 5);
    EXPECT_EQ(HIWORD(hit), 1);
    // A double tap selects a word, never across a line break.
    SendMessage(e, WM_LBUTTONDBLCLK, 0, MAKELPARAM(second.x + 2, second.y + h / 2));
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 5u);
    EXPECT_EQ(b, 11u);
}

TEST_F(MultilineEdit, the_clipboard_keeps_line_breaks_that_a_single_line_drops)
{
    HWND e = focused(kMulti, "a\r\nb\r\nc", 120, 60);
    SendMessage(e, EM_SETSEL, 0, 6);
    SendMessage(e, WM_CUT, 0, 0);
    EXPECT_EQ(text(e), "c");
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "a\r\nb\r\nc");
    HWND single = child(WC_EDIT, "", DWORD{WS_BORDER} | ES_AUTOHSCROLL, 10, 80, 120, 20, 9);
    SendMessage(single, WM_PASTE, 0, 0);
    EXPECT_EQ(text(single), "a");
    // The limit counts the break's two bytes.
    SetWindowText(e, "");
    SendMessage(e, EM_LIMITTEXT, 4, 0);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "a\r\nb");
    key(VK_RETURN);
    EXPECT_EQ(text(e), "a\r\nb");
}

TEST_F(MultilineEdit, return_stays_in_the_field_only_with_want_return)
{
    HWND keeps = focused(kMulti, "", 120, 40, 7);
    HWND passes = child(WC_EDIT, "", DWORD{WS_BORDER} | ES_MULTILINE, 10, 60, 120, 40, 8);
    HWND single = child(WC_EDIT, "", DWORD{WS_BORDER} | ES_AUTOHSCROLL, 10, 110, 120, 20, 9);
    for (HWND field : {keeps, passes, single}) {
        SetFocus(field);
        pump();
        recorded().clear();
        MSG msg{field, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
        IsDialogMessage(parent, &msg);
        pump();
        bool pressedOk = false;
        for (const Recorded& r : recorded())
            pressedOk |= r.hwnd == parent && r.message == WM_COMMAND && LOWORD(r.wParam) == IDOK;
        EXPECT_EQ(pressedOk, field != keeps) << GetDlgCtrlID(field);
        EXPECT_EQ(text(field), field == keeps ? "\r\n" : "") << GetDlgCtrlID(field);
    }
}

TEST_F(MultilineEdit, the_selection_is_painted_on_the_rows_it_covers)
{
    HWND e = focused(kMulti, "xxxx\r\nyyyy\r\nzzzz", 120, 60);
    SendMessage(e, EM_SETSEL, 6, 10);  // the whole second line
    UpdateWindow(e);
    pump();
    int h = lineHeight(e);
    POINT second = posOf(e, 6), third = posOf(e, 12);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    // Somewhere along the middle of row two is highlight; row three has none.
    auto rowHas = [&](int y, int from, int to) {
        for (int x = from; x < to; ++x)
            if (pixel(e, x, y) == highlight) return true;
        return false;
    };
    EXPECT_TRUE(rowHas(second.y + h / 2, second.x, second.x + 20));
    EXPECT_FALSE(rowHas(third.y + h / 2, third.x, third.x + 20));
    EXPECT_FALSE(rowHas(posOf(e, 0).y + h / 2, second.x, second.x + 20));
}

}  // namespace
