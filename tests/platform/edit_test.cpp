// The single-line edit field driven by typing, keys, the stylus and its
// messages: text, caret and selection, limits, styles, clipboard,
// notifications and pixels.
#include "tests/platform/controls_fixture.h"

#include <string>

using namespace platformtest;

namespace {

using Sel = std::pair<DWORD, DWORD>;

class EditField : public ControlTest {
protected:
    HWND edit(DWORD style = ES_AUTOHSCROLL, const char* text = "", int w = 120, int id = 7)
    {
        HWND e = child(WC_EDIT, text, WS_BORDER | style, 10, 10, w, 20, id);
        pump();
        return e;
    }
    HWND focused(DWORD style = ES_AUTOHSCROLL, const char* text = "", int w = 120)
    {
        HWND e = edit(style, text, w);
        SetFocus(e);
        pump();
        recorded().clear();
        return e;
    }
    static std::string text(HWND e)
    {
        char buffer[512];
        GetWindowText(e, buffer, sizeof buffer);
        return buffer;
    }
    static Sel sel(HWND e)
    {
        DWORD a = 99, b = 99;
        SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }
    static void setSel(HWND e, int a, int b) { SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b); }
    static int xOf(HWND e, int pos) { return static_cast<int16_t>(LOWORD(SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0))); }
    static int caretOf(HWND e) { return static_cast<int>(sel(e).second); }
    // The row the caret is drawn in.
    static int midRow(HWND e)
    {
        RECT r;
        SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
        return (r.top + r.bottom) / 2;
    }
};

TEST_F(EditField, typing_goes_in_at_the_caret_which_moves_by_whole_characters)
{
    HWND e = focused();
    type("h\xC3\xA9llo");  // "héllo": é is two bytes
    EXPECT_EQ(text(e), "h\xC3\xA9llo");
    EXPECT_EQ(sel(e), Sel(6, 6));
    EXPECT_EQ(GetWindowTextLength(e), 6);
    for (int i = 0; i < 4; ++i) key(VK_LEFT);
    EXPECT_EQ(sel(e), Sel(1, 1));  // before é, never inside it
    key(VK_RIGHT);
    EXPECT_EQ(sel(e), Sel(3, 3));
    key(VK_BACK);  // Backspace takes the whole é
    EXPECT_EQ(text(e), "hllo");
    EXPECT_EQ(sel(e), Sel(1, 1));
    key(VK_DELETE);
    EXPECT_EQ(text(e), "hlo");
    type("\xE2\x82\xAC");  // a three-byte character
    EXPECT_EQ(text(e), "h\xE2\x82\xAClo");
    EXPECT_EQ(sel(e), Sel(4, 4));
    // Control characters are not text: Return, Escape, Tab and Ctrl codes.
    key(VK_RETURN);
    key(VK_TAB);
    SendMessage(e, WM_CHAR, 1, 0);
    SendMessage(e, WM_CHAR, 0x1B, 0);
    EXPECT_EQ(text(e), "h\xE2\x82\xAClo");
    // Home and End; Delete at the end and Backspace at the start change nothing.
    key(VK_END);
    key(VK_DELETE);
    key(VK_HOME);
    recorded().clear();
    key(VK_BACK);
    EXPECT_EQ(text(e), "h\xE2\x82\xAClo");
    EXPECT_TRUE(codes(7).empty());
}

TEST_F(EditField, user_changes_send_update_then_change_and_mark_the_field_modified)
{
    HWND e = focused();
    EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
    type("ab");
    EXPECT_EQ(codes(7), (std::vector<int>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
    SendMessage(e, EM_SETMODIFY, FALSE, 0);
    EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
    // Moving the caret is no change.
    recorded().clear();
    key(VK_LEFT);
    EXPECT_TRUE(codes(7).empty());
    // Setting the text notifies too (so that a parent can tell its own
    // updates by a guard flag) but leaves the field unmodified, caret at the start.
    type("x");
    recorded().clear();
    SetWindowText(e, "new");
    EXPECT_EQ(codes(7), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(sel(e), Sel(0, 0));
}

TEST_F(EditField, shift_and_ctrl_keys_select_and_jump_words)
{
    HWND e = focused(ES_AUTOHSCROLL, "one two three");
    key(VK_END);
    chord(VK_SHIFT, VK_LEFT);
    chord(VK_SHIFT, VK_LEFT);
    EXPECT_EQ(sel(e), Sel(11, 13));
    key(VK_LEFT);  // collapses to the left end of the selection
    EXPECT_EQ(sel(e), Sel(11, 11));
    chord(VK_CONTROL, VK_LEFT);
    EXPECT_EQ(sel(e), Sel(8, 8));
    chord(VK_CONTROL, VK_LEFT);
    EXPECT_EQ(sel(e), Sel(4, 4));
    chord(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(sel(e), Sel(8, 8));
    chord(VK_SHIFT, VK_HOME);
    EXPECT_EQ(sel(e), Sel(0, 8));
    type("X");  // typing replaces the selection
    EXPECT_EQ(text(e), "Xthree");
    chord(VK_CONTROL, 'A');
    EXPECT_EQ(sel(e), Sel(0, 6));
    key(VK_RIGHT);
    EXPECT_EQ(sel(e), Sel(6, 6));
}

TEST_F(EditField, set_selection_follows_the_minus_one_rules_and_snaps_to_characters)
{
    HWND e = edit(ES_AUTOHSCROLL, "a\xC3\xA9z");  // a é z: 4 bytes
    setSel(e, 0, -1);
    EXPECT_EQ(sel(e), Sel(0, 4));
    setSel(e, 1, 3);
    setSel(e, -1, 0);  // drops the selection, the caret stays
    EXPECT_EQ(sel(e), Sel(3, 3));
    setSel(e, 2, 2);  // inside é: back to its start
    EXPECT_EQ(sel(e), Sel(1, 1));
    setSel(e, 1, 100);  // past the end: the end
    EXPECT_EQ(sel(e), Sel(1, 4));
    setSel(e, 3, 0);  // reversed: reported in order, the caret at the second value
    EXPECT_EQ(sel(e), Sel(0, 3));
    EXPECT_EQ(SendMessage(e, EM_GETSEL, 0, 0), MAKELRESULT(0, 3));
    SetFocus(e);
    chord(VK_SHIFT, VK_RIGHT);  // extends from the caret (0), the anchor stays at 3
    EXPECT_EQ(sel(e), Sel(1, 3));
}

TEST_F(EditField, the_limit_binds_typing_and_insertion_but_not_set_text)
{
    HWND e = focused();
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessage(e, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 5);
    type("abcdefg");
    EXPECT_EQ(text(e), "abcde");
    EXPECT_EQ(count(7, EN_MAXTEXT), 2);
    EXPECT_EQ(count(7, EN_CHANGE), 5);
    // Replacing a selection: the selected bytes make room.
    setSel(e, 1, 2);
    recorded().clear();
    SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("XYZ"));
    EXPECT_EQ(text(e), "aXcde");
    EXPECT_EQ(codes(7), (std::vector<int>{EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
    // A character that does not fit whole is left out whole.
    SendMessage(e, EM_SETLIMITTEXT, 4, 0);
    SetWindowText(e, "ab");
    setSel(e, 2, 2);
    SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\xC3\xA9\xC3\xA9"));
    EXPECT_EQ(text(e), "ab\xC3\xA9");
    // Set text is not cut; 0 lifts the limit.
    SetWindowText(e, "longer than four");
    EXPECT_EQ(text(e), "longer than four");
    SendMessage(e, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditField, number_fields_take_digits_only_and_beep_at_the_rest)
{
    HWND e = focused(ES_NUMBER | ES_AUTOHSCROLL);
    int beeps = PlatformBeepCount();
    type("1a2-3");
    EXPECT_EQ(text(e), "123");
    EXPECT_EQ(PlatformBeepCount(), beeps + 2);
    // A paste holding anything but digits is refused whole.
    HWND source = edit(ES_AUTOHSCROLL, "4x5");
    SendMessage(source, EM_SETSEL, 0, -1);
    SendMessage(source, WM_COPY, 0, 0);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "123");
    EXPECT_EQ(PlatformBeepCount(), beeps + 3);
    SetWindowText(source, "45");
    SendMessage(source, EM_SETSEL, 0, -1);
    SendMessage(source, WM_COPY, 0, 0);
    SendMessage(e, WM_PASTE, 0, 0);
    EXPECT_EQ(text(e), "12345");
}

TEST_F(EditField, read_only_fields_refuse_changes_but_still_select_and_copy)
{
    HWND e = focused(ES_READONLY | ES_AUTOHSCROLL, "fixed");
    int beeps = PlatformBeepCount();
    type("x");
    key(VK_BACK);
    key(VK_DELETE);
    EXPECT_EQ(text(e), "fixed");
    EXPECT_EQ(PlatformBeepCount(), beeps + 3);
    EXPECT_TRUE(codes(7).empty());
    chord(VK_CONTROL, 'A');
    chord(VK_CONTROL, 'X');  // a cut would change the text: refused
    EXPECT_EQ(text(e), "fixed");
    chord(VK_CONTROL, 'C');
    HWND other = focused();
    chord(VK_CONTROL, 'V');
    EXPECT_EQ(text(other), "fixed");
    // Read-only can be lifted.
    SendMessage(e, EM_SETREADONLY, FALSE, 0);
    EXPECT_EQ(GetWindowLong(e, GWL_STYLE) & ES_READONLY, 0);
    SetFocus(e);
    key(VK_END);
    type("!");
    EXPECT_EQ(text(e), "fixed!");
}

TEST_F(EditField, clipboard_messages_and_keys_move_text_between_fields)
{
    HWND a = focused(ES_AUTOHSCROLL, "alpha beta");
    setSel(a, 0, 6);
    SendMessage(a, WM_CUT, 0, 0);
    EXPECT_EQ(text(a), "beta");
    key(VK_END);
    SendMessage(a, WM_PASTE, 0, 0);
    EXPECT_EQ(text(a), "betaalpha ");
    setSel(a, 0, 4);
    SendMessage(a, WM_CLEAR, 0, 0);
    EXPECT_EQ(text(a), "alpha ");
    // Shift+Delete cuts, Ctrl+V pastes; a pasted line break ends the paste.
    setSel(a, 0, 2);
    chord(VK_SHIFT, VK_DELETE);
    EXPECT_EQ(text(a), "pha ");
    HWND b = focused(ES_AUTOHSCROLL, "");
    chord(VK_CONTROL, 'V');
    EXPECT_EQ(text(b), "al");
    SetWindowText(b, "line one\r\nline two");
    SendMessage(b, EM_SETSEL, 0, -1);
    SendMessage(b, WM_COPY, 0, 0);
    SetWindowText(a, "");
    SendMessage(a, WM_PASTE, 0, 0);
    EXPECT_EQ(text(a), "line one");
    // A password never reaches the clipboard.
    HWND secret = focused(ES_PASSWORD | ES_AUTOHSCROLL, "hidden");
    chord(VK_CONTROL, 'A');
    chord(VK_CONTROL, 'C');
    SendMessage(secret, WM_CUT, 0, 0);
    EXPECT_EQ(text(secret), "hidden");
    SetWindowText(b, "");
    SendMessage(b, WM_PASTE, 0, 0);
    EXPECT_EQ(text(b), "line one");  // still what was copied before
}

TEST_F(EditField, get_text_never_cuts_a_character_in_half)
{
    HWND e = edit(ES_AUTOHSCROLL, "a\xC3\xA9");
    char buffer[3] = {'?', '?', '?'};
    EXPECT_EQ(SendMessage(e, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 1);
    EXPECT_STREQ(buffer, "a");
    char four[4];
    EXPECT_EQ(SendMessage(e, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(four)), 3);
    EXPECT_STREQ(four, "a\xC3\xA9");
}

TEST_F(EditField, focus_is_reported_and_the_caret_blinks_on_the_platform_clock)
{
    HWND e = edit(ES_AUTOHSCROLL, "abc");
    HWND other = edit(ES_AUTOHSCROLL, "", 120, 8);
    tap(e, 60, 10);
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(count(7, EN_SETFOCUS), 1);
    int x = xOf(e, caretOf(e));
    int y = midRow(e);
    EXPECT_EQ(pixel(e, x, y), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(pixel(e, x + 2, y), GetSysColor(COLOR_WINDOW));
    PlatformAdvanceClock(500);
    pump();
    EXPECT_EQ(pixel(e, x, y), GetSysColor(COLOR_WINDOW));
    PlatformAdvanceClock(500);
    pump();
    EXPECT_EQ(pixel(e, x, y), GetSysColor(COLOR_WINDOWTEXT));
    PlatformAdvanceClock(500);
    pump();
    type("d");  // typing shows the caret at once, after the new character
    EXPECT_EQ(pixel(e, xOf(e, 4), y), GetSysColor(COLOR_WINDOWTEXT));
    SetFocus(other);
    pump();
    EXPECT_EQ(count(7, EN_KILLFOCUS), 1);
    EXPECT_EQ(count(8, EN_SETFOCUS), 1);
    EXPECT_EQ(pixel(e, xOf(e, 4), y), GetSysColor(COLOR_WINDOW));
}

TEST_F(EditField, stylus_places_the_caret_drags_a_selection_and_double_taps_words)
{
    HWND e = edit(ES_AUTOHSCROLL, "one two three");
    int y = midRow(e);
    tap(e, xOf(e, 5), y);
    EXPECT_EQ(sel(e), Sel(5, 5));
    // Halfway into a character rounds to the nearer side.
    int mid = (xOf(e, 5) + xOf(e, 6)) / 2;
    PlatformAdvanceClock(600);
    tap(e, mid - 1, y);
    EXPECT_EQ(sel(e), Sel(5, 5));
    PlatformAdvanceClock(600);  // no double tap
    stylus(e, StylusDown, xOf(e, 1), y);
    stylus(e, StylusMove, xOf(e, 3), y);
    stylus(e, StylusMove, xOf(e, 6), y);
    stylus(e, StylusUp, xOf(e, 6), y);
    EXPECT_EQ(sel(e), Sel(1, 6));
    EXPECT_EQ(GetCapture(), nullptr);
    // The selection shows in the highlight colour while focused, not after.
    EXPECT_EQ(pixel(e, xOf(e, 3), y - 4), GetSysColor(COLOR_HIGHLIGHT));
    // Shift+tap extends from the anchor.
    PlatformAdvanceClock(600);
    PlatformKeyInput(VK_SHIFT, true);
    tap(e, xOf(e, 10), y);
    PlatformKeyInput(VK_SHIFT, false);
    EXPECT_EQ(sel(e), Sel(1, 10));
    PlatformAdvanceClock(600);
    tap(e, xOf(e, 9), y);
    tap(e, xOf(e, 9), y);
    EXPECT_EQ(sel(e), Sel(8, 13));  // the word "three"
    PlatformAdvanceClock(600);
    SetWindowText(e, "one   two");
    int blank = (xOf(e, 4) + xOf(e, 5)) / 2;
    tap(e, blank, y);
    tap(e, blank, y);
    EXPECT_EQ(sel(e), Sel(0, 9));  // blanks: everything
    HWND other = edit(ES_AUTOHSCROLL, "", 120, 8);
    SetFocus(other);
    pump();
    EXPECT_EQ(pixel(e, xOf(e, 3), y - 4), GetSysColor(COLOR_WINDOW));
}

TEST_F(EditField, long_text_scrolls_to_keep_the_caret_in_view)
{
    HWND e = focused(ES_AUTOHSCROLL, "", 60);
    type("the quick brown fox jumps over the lazy dog");
    RECT client;
    GetClientRect(e, &client);
    int end = xOf(e, 43);
    EXPECT_GT(end, 0);
    EXPECT_LT(end, client.right);
    EXPECT_LT(xOf(e, 0), 0);  // the start is scrolled out
    key(VK_HOME);
    EXPECT_EQ(xOf(e, 0), 2);  // back at the margin
    key(VK_END);
    EXPECT_LT(xOf(e, 43), client.right);
    // A tap beyond the right edge of a scrolled field still lands on text.
    key(VK_HOME);
    stylus(e, StylusDown, 10, 10);
    stylus(e, StylusMove, client.right + 30, 10);
    stylus(e, StylusUp, client.right + 30, 10);
    EXPECT_GT(sel(e).second, 10u);
    EXPECT_LT(xOf(e, caretOf(e)), client.right);
}

TEST_F(EditField, without_auto_scroll_typing_stops_at_the_right_edge)
{
    HWND e = focused(0, "", 60);
    type("the quick brown fox jumps over the lazy dog");
    std::string t = text(e);
    EXPECT_GT(t.size(), 3u);
    EXPECT_LT(t.size(), 43u);
    EXPECT_EQ(t, std::string("the quick brown fox jumps over the lazy dog").substr(0, t.size()));
    EXPECT_GT(count(7, EN_MAXTEXT), 0);
    RECT client;
    GetClientRect(e, &client);
    EXPECT_LT(xOf(e, static_cast<int>(t.size())), client.right);
    EXPECT_EQ(xOf(e, 0), 2);
}

TEST_F(EditField, case_password_and_alignment_styles)
{
    HWND upper = focused(ES_UPPERCASE | ES_AUTOHSCROLL);
    type("ab\xC3\xA9!");
    EXPECT_EQ(text(upper), "AB\xC3\x89!");
    HWND lower = focused(ES_LOWERCASE | ES_AUTOHSCROLL);
    type("AbC");
    EXPECT_EQ(text(lower), "abc");
    // A password field shows one character per character, whatever they are.
    HWND thin = edit(ES_PASSWORD | ES_AUTOHSCROLL, "iii");
    HWND wide = edit(ES_PASSWORD | ES_AUTOHSCROLL, "W\xC3\x89W");
    EXPECT_EQ(xOf(thin, 3), xOf(wide, 4));
    EXPECT_EQ(text(wide), "W\xC3\x89W");
    EXPECT_EQ(SendMessage(thin, EM_GETPASSWORDCHAR, 0, 0), '*');
    SendMessage(thin, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(SendMessage(thin, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_NE(xOf(thin, 3), xOf(wide, 4));
    // Right-aligned text ends at the right margin; centred text sits in the middle.
    HWND right = edit(ES_RIGHT, "12");
    HWND centre = edit(ES_CENTER, "12");
    RECT client;
    GetClientRect(right, &client);
    int width = xOf(right, 2) - xOf(right, 0);
    EXPECT_EQ(xOf(right, 2), client.right - 2 - 1);
    EXPECT_NEAR(xOf(centre, 0) - 2, (client.right - 4 - width) / 2, 1);
}

TEST_F(EditField, colours_come_from_the_parent_and_from_the_state)
{
    HWND e = edit(ES_AUTOHSCROLL, "abc");
    bool asked = false;
    for (const Recorded& r : recorded())
        asked |= r.hwnd == parent && r.message == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(r.lParam) == e;
    EXPECT_TRUE(asked);
    RECT client;
    GetClientRect(e, &client);
    EXPECT_EQ(pixel(e, client.right - 3, 2), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixel(e, -1, 2), RGB(0, 0, 0));  // the flat border
    SendMessage(e, EM_SETREADONLY, TRUE, 0);
    pump();
    EXPECT_EQ(pixel(e, client.right - 3, 2), GetSysColor(COLOR_STATIC));
    SendMessage(e, EM_SETREADONLY, FALSE, 0);
    EnableWindow(e, FALSE);
    pump();
    EXPECT_EQ(pixel(e, client.right - 3, 2), GetSysColor(COLOR_STATIC));
    // Disabled text is grey: some pixel of the text has the grey colour.
    bool grey = false;
    for (int x = xOf(e, 0); x < xOf(e, 3); ++x)
        for (int y = 0; y < client.bottom; ++y) grey |= pixel(e, x, y) == GetSysColor(COLOR_GRAYTEXT);
    EXPECT_TRUE(grey);
    tap(e, 5, 5);
    EXPECT_NE(GetFocus(), e);
}

}  // namespace
