// The combo box: its item list and selection messages, the drop list opened
// and used by stylus and keys, where the list appears, and the edit-field kind.
#include "tests/platform/controls_fixture.h"

#include <algorithm>
#include <string>

using namespace platformtest;

namespace {

class ComboBox : public ControlTest {
protected:
    HWND combo(DWORD style = CBS_DROPDOWNLIST, int x = 10, int y = 10, int w = 100, int h = 120, int id = 5)
    {
        HWND c = child(WC_COMBOBOX, "", style | WS_TABSTOP, x, y, w, h, id);
        pump();
        return c;
    }
    static void add(HWND c, std::initializer_list<const char*> items)
    {
        for (const char* t : items) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    }
    static std::string itemText(HWND c, int i)
    {
        LRESULT n = SendMessage(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (n < 0) return "<none>";
        std::string s(static_cast<size_t>(n) + 1, '\0');
        SendMessage(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<size_t>(n));
        return s;
    }
    static std::string text(HWND c)
    {
        char buffer[256];
        GetWindowText(c, buffer, sizeof buffer);
        return buffer;
    }
    static int cursel(HWND c) { return static_cast<int>(SendMessage(c, CB_GETCURSEL, 0, 0)); }
    static bool dropped(HWND c) { return SendMessage(c, CB_GETDROPPEDSTATE, 0, 0) != 0; }
    static RECT listRect(HWND c)
    {
        RECT r{};
        SendMessage(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static int itemHeight(HWND c) { return static_cast<int>(SendMessage(c, CB_GETITEMHEIGHT, 0, 0)); }
    // Screen point in the middle of row `row` of the dropped list.
    static POINT rowPoint(HWND c, int row)
    {
        RECT r = listRect(c);
        return POINT{r.left + 20, r.top + 1 + row * itemHeight(c) + itemHeight(c) / 2};
    }
    static void screenTap(POINT p)
    {
        PlatformStylusInput(StylusDown, p.x, p.y);
        pump();
        PlatformStylusInput(StylusUp, p.x, p.y);
        pump();
    }
    using Codes = std::vector<int>;
};

TEST_F(ComboBox, items_are_added_inserted_deleted_and_found)
{
    HWND c = combo();
    add(c, {"beta", "alpha"});
    EXPECT_EQ(SendMessage(c, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("first")), 0);
    EXPECT_EQ(SendMessage(c, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("last")), 3);
    EXPECT_EQ(SendMessage(c, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(itemText(c, 1), "beta");
    EXPECT_EQ(itemText(c, 4), "<none>");
    EXPECT_EQ(SendMessage(c, CB_SETITEMDATA, 2, 42), TRUE);
    EXPECT_EQ(SendMessage(c, CB_GETITEMDATA, 2, 0), 42);
    EXPECT_EQ(SendMessage(c, CB_GETITEMDATA, 7, 0), CB_ERR);
    // The selection follows its item through insertions and deletions.
    EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 2, 0), 2);
    SendMessage(c, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zero"));
    EXPECT_EQ(cursel(c), 3);
    EXPECT_EQ(text(c), "alpha");
    EXPECT_EQ(SendMessage(c, CB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(cursel(c), 2);
    SendMessage(c, CB_DELETESTRING, 2, 0);  // the selected one: no selection
    EXPECT_EQ(cursel(c), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_DELETESTRING, 3, 0), CB_ERR);
    // Finding: by prefix or whole, without case, after the start index, wrapping.
    add(c, {"Alphabet", "ALPHA"});  // first beta last Alphabet ALPHA
    EXPECT_EQ(SendMessage(c, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("alp")), 3);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRING, 3, reinterpret_cast<LPARAM>("alp")), 4);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRING, 4, reinterpret_cast<LPARAM>("alp")), 3);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("alpha")), 4);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zz")), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("LA")), 2);
    EXPECT_EQ(text(c), "last");
    EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zz")), CB_ERR);
    EXPECT_EQ(cursel(c), 2);
    // Out of range or -1 clears the selection and answers CB_ERR.
    EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 9, 0), CB_ERR);
    EXPECT_EQ(cursel(c), CB_ERR);
    EXPECT_EQ(GetWindowTextLength(c), 0);
    // A drop-down list's text can only name one of its items.
    EXPECT_EQ(SetWindowText(c, "BETA"), TRUE);
    EXPECT_EQ(cursel(c), 1);
    EXPECT_EQ(SendMessage(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("nothing")), CB_ERR);
    // None of this is the user's doing: the parent hears nothing.
    EXPECT_TRUE(codes(5).empty());
    EXPECT_EQ(SendMessage(c, CB_RESETCONTENT, 0, 0), CB_OKAY);
    EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(cursel(c), CB_ERR);
}

TEST_F(ComboBox, sorted_boxes_keep_their_items_in_order_without_regard_to_case)
{
    HWND c = combo(CBS_DROPDOWNLIST | CBS_SORT);
    add(c, {"pear", "Apple", "banana", "apple"});
    EXPECT_EQ(itemText(c, 0), "Apple");
    EXPECT_EQ(itemText(c, 1), "apple");  // equal texts keep the order they came in
    EXPECT_EQ(itemText(c, 2), "banana");
    EXPECT_EQ(itemText(c, 3), "pear");
    EXPECT_EQ(SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("cherry")), 3);
    // Inserting at a place is not sorted.
    SendMessage(c, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zebra"));
    EXPECT_EQ(itemText(c, 0), "zebra");
}

TEST_F(ComboBox, the_box_keeps_its_field_height_and_the_list_takes_the_rest)
{
    HWND c = combo(CBS_DROPDOWNLIST, 10, 10, 100, 120);
    RECT box;
    GetWindowRect(c, &box);
    int field = static_cast<int>(SendMessage(c, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int item = itemHeight(c);
    EXPECT_EQ(box.bottom - box.top, field);
    EXPECT_GT(item, 10);
    add(c, {"a", "b", "c"});
    RECT r = listRect(c);  // three rows: fewer than the height allows
    EXPECT_EQ(r.top, box.bottom);
    EXPECT_EQ(r.left, box.left);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 3 * item + 2);
    for (int i = 0; i < 20; ++i) add(c, {"more"});
    r = listRect(c);  // as many rows as the asked-for height holds
    EXPECT_EQ(r.bottom - r.top, (120 - field - 2) / item * item + 2);
    // A wider list, but never wider than the screen.
    EXPECT_EQ(SendMessage(c, CB_SETDROPPEDWIDTH, 150, 0), 150);
    EXPECT_EQ(listRect(c).right - listRect(c).left, 150);
    SendMessage(c, CB_SETDROPPEDWIDTH, 1000, 0);
    EXPECT_EQ(listRect(c).left, 0);
    EXPECT_EQ(listRect(c).right, 240);
}

TEST_F(ComboBox, a_tap_drops_the_list_over_everything_and_a_tap_on_an_item_chooses_it)
{
    HWND c = combo();
    add(c, {"zero", "one", "two", "three"});
    SendMessage(c, CB_SETCURSEL, 1, 0);
    // A sibling under where the list will show.
    HWND under = child(WC_STATIC, "", SS_BLACKRECT, 10, 40, 100, 60, 9);
    pump();
    recorded().clear();
    tap(c, 50, 8);
    EXPECT_TRUE(dropped(c));
    EXPECT_EQ(GetFocus(), c);
    EXPECT_EQ(codes(5), (Codes{CBN_SETFOCUS, CBN_DROPDOWN}));
    // Drawn over the sibling: the selected row highlighted, the others white.
    POINT p = rowPoint(c, 1);
    EXPECT_EQ(screenPixel(p.x - 15, p.y), GetSysColor(COLOR_HIGHLIGHT));
    p = rowPoint(c, 2);
    EXPECT_EQ(screenPixel(p.x - 15, p.y), GetSysColor(COLOR_WINDOW));
    POINT inside = rowPoint(c, 2);
    HWND top = WindowFromPoint(inside);
    EXPECT_NE(top, under);
    EXPECT_EQ(GetWindow(top, GW_OWNER), parent);  // a pop-up owned by the box's window
    EXPECT_FALSE(GetWindowLong(top, GWL_STYLE) & WS_CHILD);
    recorded().clear();
    screenTap(rowPoint(c, 3));
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(cursel(c), 3);
    EXPECT_EQ(text(c), "three");
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    // The sibling shows again where the list was.
    EXPECT_EQ(screenPixel(inside.x, inside.y), RGB(0, 0, 0));
    // Choosing the item already chosen is no change.
    tap(c, 50, 8);
    recorded().clear();
    screenTap(rowPoint(c, 3));
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDOK, CBN_CLOSEUP}));
}

TEST_F(ComboBox, a_tap_outside_the_list_cancels_and_reaches_nothing_else)
{
    HWND c = combo();
    add(c, {"zero", "one", "two"});
    SendMessage(c, CB_SETCURSEL, 0, 0);
    tap(c, 50, 8);
    ASSERT_TRUE(dropped(c));
    recorded().clear();
    tap(parent, 200, 200);
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(cursel(c), 0);
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    std::vector<UINT> seen = recordedMessages(parent);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), static_cast<UINT>(WM_LBUTTONDOWN)), 0);
    // A tap on the box itself while the list shows closes it too.
    PlatformAdvanceClock(600);
    tap(c, 50, 8);
    ASSERT_TRUE(dropped(c));
    PlatformAdvanceClock(600);
    tap(c, 50, 8);
    EXPECT_FALSE(dropped(c));
}

TEST_F(ComboBox, pressing_on_the_box_and_lifting_on_an_item_chooses_it)
{
    HWND c = combo();
    add(c, {"zero", "one", "two"});
    stylus(c, StylusDown, 50, 8);
    ASSERT_TRUE(dropped(c));
    // Lifting over the box after the opening press leaves the list open.
    stylus(c, StylusUp, 50, 9);
    EXPECT_TRUE(dropped(c));
    PlatformAdvanceClock(600);
    PlatformAdvanceClock(600);
    // Dragging down the list highlights each row; lifting chooses.
    POINT p = rowPoint(c, 0);
    PlatformStylusInput(StylusDown, p.x, p.y);
    pump();
    p = rowPoint(c, 2);
    PlatformStylusInput(StylusMove, p.x, p.y);
    pump();
    EXPECT_EQ(screenPixel(p.x, p.y - itemHeight(c) / 2 + 1), GetSysColor(COLOR_HIGHLIGHT));
    recorded().clear();
    PlatformStylusInput(StylusUp, p.x, p.y);
    pump();
    EXPECT_EQ(cursel(c), 2);
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

TEST_F(ComboBox, keys_move_the_selection_and_open_choose_or_cancel_the_list)
{
    HWND c = combo();
    add(c, {"apple", "banana", "cherry", "date"});
    SetFocus(c);
    pump();
    recorded().clear();
    key(VK_DOWN);  // from no selection to the first item
    EXPECT_EQ(cursel(c), 0);
    key(VK_DOWN);
    EXPECT_EQ(cursel(c), 1);
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(codes(5), (Codes{CBN_SELCHANGE, CBN_SELCHANGE}));
    key(VK_END);
    key(VK_DOWN);  // already at the end: no change, no news
    EXPECT_EQ(cursel(c), 3);
    key(VK_HOME);
    key(VK_UP);
    EXPECT_EQ(cursel(c), 0);
    EXPECT_EQ(count(5, CBN_SELCHANGE), 4);
    // Typing a letter picks the next item starting with it.
    SendMessage(c, WM_CHAR, 'c', 0);
    EXPECT_EQ(cursel(c), 2);
    // F4 opens; arrows move the highlight only; Return chooses.
    recorded().clear();
    key(VK_F4);
    EXPECT_TRUE(dropped(c));
    key(VK_DOWN);
    EXPECT_EQ(cursel(c), 2);
    key(VK_RETURN);
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(cursel(c), 3);
    EXPECT_EQ(codes(5), (Codes{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    // Alt+Down opens, Escape cancels whatever was highlighted.
    chord(VK_MENU, VK_DOWN);
    EXPECT_TRUE(dropped(c));
    key(VK_HOME);
    recorded().clear();
    key(VK_ESCAPE);
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(cursel(c), 3);
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    // Return opens too; losing the focus cancels.
    key(VK_RETURN);
    EXPECT_TRUE(dropped(c));
    recorded().clear();
    SetFocus(parent);
    pump();
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}));
}

TEST_F(ComboBox, near_the_bottom_the_list_opens_above_and_a_long_list_scrolls)
{
    HWND c = combo(CBS_DROPDOWNLIST, 10, 200, 100, 1000);
    for (int i = 0; i < 40; ++i) add(c, {("item " + std::to_string(i)).c_str()});
    RECT box;
    GetWindowRect(c, &box);
    RECT r = listRect(c);
    int item = itemHeight(c);
    int rows = (r.bottom - r.top - 2) / item;
    EXPECT_EQ(r.bottom, box.top);  // above: more room there than below
    EXPECT_GE(r.top, 0);
    EXPECT_LT(rows, 40);
    // Page down through the scroll strip, then choose the first row shown.
    SetFocus(c);
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(dropped(c));
    screenTap(POINT{r.right - 4, r.bottom - 4});
    EXPECT_TRUE(dropped(c));
    screenTap(rowPoint(c, 0));
    EXPECT_EQ(cursel(c), rows);
    // The highlight keeps itself in view: End, then the last row is item 39.
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    key(VK_END);
    screenTap(rowPoint(c, rows - 1));
    EXPECT_EQ(cursel(c), 39);
    // Dragging the thumb to the top shows the first items.
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    POINT thumb{r.right - 4, r.bottom - 4};
    PlatformStylusInput(StylusDown, thumb.x, thumb.y);
    pump();
    PlatformStylusInput(StylusMove, thumb.x, r.top - 50);
    pump();
    PlatformStylusInput(StylusUp, thumb.x, r.top - 50);
    pump();
    screenTap(rowPoint(c, 1));
    EXPECT_EQ(cursel(c), 1);
}

TEST_F(ComboBox, a_scroll_bar_style_is_the_lists_and_leaves_the_field_whole)
{
    // Programs give drop-down lists WS_VSCROLL for their list: the field keeps
    // its whole width for the text and the arrow, with no bar beside them.
    HWND plain = combo(CBS_DROPDOWNLIST, 10, 10, 100, 120, 5);
    HWND scrolled = combo(DWORD{CBS_DROPDOWNLIST} | DWORD{WS_VSCROLL}, 10, 60, 100, 120, 6);
    RECT a, b;
    GetClientRect(plain, &a);
    GetClientRect(scrolled, &b);
    EXPECT_EQ(b.right, a.right);
    EXPECT_EQ(b.bottom, a.bottom);
    EXPECT_EQ(GetWindowLong(scrolled, GWL_STYLE) & WS_VSCROLL, 0);
    // Its long list still scrolls.
    for (int i = 0; i < 40; ++i) add(scrolled, {("item " + std::to_string(i)).c_str()});
    SetFocus(scrolled);
    SendMessage(scrolled, CB_SHOWDROPDOWN, TRUE, 0);
    key(VK_END);
    key(VK_RETURN);
    EXPECT_EQ(cursel(scrolled), 39);
}

TEST_F(ComboBox, program_opening_and_closing_and_disabled_boxes)
{
    HWND c = combo();
    add(c, {"a", "b"});
    EXPECT_EQ(SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_TRUE(dropped(c));
    recorded().clear();
    SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDCANCEL, CBN_CLOSEUP}));
    // The highlighted item deleted while the list shows: choosing changes nothing.
    SetFocus(c);
    SendMessage(c, CB_SETCURSEL, 0, 0);
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    key(VK_END);
    SendMessage(c, CB_DELETESTRING, 1, 0);
    recorded().clear();
    key(VK_RETURN);
    EXPECT_EQ(cursel(c), 0);
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDOK, CBN_CLOSEUP}));
    // Destroying the box with its list open leaves nothing behind.
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    POINT p = rowPoint(c, 0);
    HWND list = WindowFromPoint(p);
    DestroyWindow(c);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);
    HWND d = combo(static_cast<DWORD>(CBS_DROPDOWNLIST) | WS_DISABLED, 10, 10, 100, 120, 6);
    add(d, {"a"});
    tap(d, 50, 8);
    EXPECT_FALSE(dropped(d));
    EXPECT_TRUE(codes(6).empty());
}

TEST_F(ComboBox, the_drop_down_kind_holds_an_edit_field)
{
    HWND c = combo(CBS_DROPDOWN);
    add(c, {"red", "green", "blue"});
    HWND edit = GetDlgItem(c, 1001);
    ASSERT_NE(edit, nullptr);
    tap(c, 20, 8);  // on the field: the edit field takes focus and taps
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_FALSE(dropped(c));
    EXPECT_EQ(count(5, CBN_SETFOCUS), 1);
    recorded().clear();
    type("gr");
    EXPECT_EQ(text(c), "gr");
    EXPECT_EQ(codes(5), (Codes{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
    EXPECT_EQ(cursel(c), CB_ERR);
    // The arrow button drops the list; a choice fills the field without CBN_EDITCHANGE.
    RECT client;
    GetClientRect(c, &client);
    tap(c, client.right - 5, 8);
    ASSERT_TRUE(dropped(c));
    recorded().clear();
    screenTap(rowPoint(c, 1));
    EXPECT_EQ(text(c), "green");
    EXPECT_EQ(codes(5), (Codes{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(SendMessage(c, CB_GETEDITSEL, 0, 0), MAKELRESULT(0, 5));
    // Arrow keys typed into the field move the box's selection.
    SetFocus(edit);
    key(VK_DOWN);
    EXPECT_EQ(cursel(c), 2);
    EXPECT_EQ(text(c), "blue");
    // The limit reaches the edit field; setting the text fills it.
    SendMessage(c, CB_LIMITTEXT, 3, 0);
    SetWindowText(c, "");
    type("yellow");
    EXPECT_EQ(text(c), "yel");
    SetWindowText(c, "purple");
    EXPECT_EQ(text(c), "purple");
    EXPECT_EQ(GetWindowTextLength(c), 6);
    SendMessage(c, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(text(c), "");
}

// Text given to a box inside another child window before anything has been
// painted: the box's own later paint must not cover its edit field.
TEST_F(ComboBox, the_edit_field_shows_text_set_before_the_first_paint)
{
    HWND page = CreateWindowEx(0, recorderClass(), "", WS_CHILD | WS_VISIBLE, 0, 20, 200, 200, parent, nullptr, nullptr, nullptr);
    HWND c = CreateWindowEx(0, WC_COMBOBOX, "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 10, 10, 100, 100, page,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(5)), nullptr, nullptr);
    SetWindowText(c, "WWWW");
    pump();
    RECT r;
    GetWindowRect(GetDlgItem(c, 1001), &r);
    int ink = 0;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y) ink += screenPixel(x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(ink, 20);
}

// A parent that colours lists blue and, when asked, destroys a box the
// moment it is about to drop.
HBRUSH blueBrush = nullptr;
bool destroyOnDrop = false;
LRESULT answeringParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORLISTBOX) {
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 0));
        return reinterpret_cast<LRESULT>(blueBrush);
    }
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN && destroyOnDrop) DestroyWindow(reinterpret_cast<HWND>(lParam));
    return DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(ComboBox, the_parent_colours_the_list_and_may_destroy_the_box_as_it_drops)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = answeringParent;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = "AnsweringParent";
    RegisterClass(&wc);
    blueBrush = CreateSolidBrush(RGB(0, 0, 255));
    HWND host = CreateWindowEx(0, "AnsweringParent", "", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr, nullptr);
    HWND c = CreateWindowEx(0, WC_COMBOBOX, "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 100, 120, host,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(5)), nullptr, nullptr);
    add(c, {"one", "two"});
    SendMessage(c, CB_SETCURSEL, 0, 0);
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    pump();
    POINT other = rowPoint(c, 1);
    EXPECT_EQ(screenPixel(other.x + 40, other.y), RGB(0, 0, 255));
    POINT hot = rowPoint(c, 0);
    EXPECT_EQ(screenPixel(hot.x + 40, hot.y), GetSysColor(COLOR_HIGHLIGHT));
    SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
    destroyOnDrop = true;
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    destroyOnDrop = false;
    EXPECT_FALSE(IsWindow(c));
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(host);
    DeleteObject(blueBrush);
}

// What a dialog may take from the box: Return and Escape only while the
// list is closed; the edit field of a drop-down box lets Tab select its text.
TEST_F(ComboBox, dialogs_leave_return_and_escape_to_an_open_list)
{
    constexpr UINT kGetDialogCode = 0x0087;
    constexpr LRESULT kWantMessage = 0x0004, kHasSetSel = 0x0008, kWantArrows = 0x0001;
    HWND c = combo();
    add(c, {"a", "b"});
    MSG enter{c, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    MSG escape{c, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    MSG tab{c, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    auto code = [&](HWND w, MSG* m) { return SendMessage(w, kGetDialogCode, m->wParam, reinterpret_cast<LPARAM>(m)); };
    EXPECT_EQ(code(c, &enter) & kWantMessage, 0);
    EXPECT_NE(code(c, &enter) & kWantArrows, 0);
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_NE(code(c, &enter) & kWantMessage, 0);
    EXPECT_NE(code(c, &escape) & kWantMessage, 0);
    EXPECT_EQ(code(c, &tab) & kWantMessage, 0);
    SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
    HWND d = combo(CBS_DROPDOWN, 10, 100, 100, 120, 6);
    HWND edit = GetDlgItem(d, 1001);
    enter.hwnd = edit;
    EXPECT_NE(code(edit, &enter) & kHasSetSel, 0);
    EXPECT_EQ(code(edit, &enter) & kWantMessage, 0);
    SendMessage(d, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_NE(code(edit, &enter) & kWantMessage, 0);
}

}  // namespace
