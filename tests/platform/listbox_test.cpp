// List box driven by its messages, by taps, keys and its scroll bar.
#include "tests/platform/control_driver.h"

#include <string>

using namespace platformtest;

namespace {

class ListBoxTest : public ControlDriver {
protected:
    HWND list(DWORD style, int count, int h = 100, const char* prefix = "Item ")
    {
        HWND l = child(WC_LISTBOX, "", style, 10, 10, 120, h, 700);
        for (int i = 0; i < count; ++i) add(l, (prefix + std::to_string(i)).c_str());
        pump();
        heard().clear();
        return l;
    }
    static int add(HWND l, const char* text) { return static_cast<int>(SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    static std::string text(HWND l, int index)
    {
        LRESULT n = SendMessage(l, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n < 0) return "(none)";
        std::string s(static_cast<size_t>(n) + 1, '?');
        EXPECT_EQ(SendMessage(l, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data())), n);
        EXPECT_EQ(s.back(), '\0');
        s.pop_back();
        return s;
    }
    static int send(HWND l, UINT m, WPARAM w = 0, LPARAM p = 0) { return static_cast<int>(SendMessage(l, m, w, p)); }
    static int itemHeight(HWND l) { return send(l, LB_GETITEMHEIGHT); }
    static void tapItem(HWND l, int index)
    {
        RECT r{};
        ASSERT_EQ(send(l, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)), LB_OKAY);
        tap(l, 20, (r.top + r.bottom) / 2);
    }
    // WM_COMMAND codes the parent heard from one list box (any when null).
    static std::vector<int> commandCodes(HWND from = nullptr)
    {
        std::vector<int> out;
        for (const Heard& h : heard())
            if (h.message == WM_COMMAND && (!from || h.from == from)) out.push_back(h.code);
        return out;
    }
};

TEST_F(ListBoxTest, items_are_added_sorted_inserted_found_and_deleted)
{
    HWND l = list(LBS_SORT, 0);
    EXPECT_EQ(add(l, "pear"), 0);
    EXPECT_EQ(add(l, "Apple"), 0);
    EXPECT_EQ(add(l, "banana"), 1);  // case does not count in the order
    EXPECT_EQ(add(l, "apple"), 1);   // after its equal
    EXPECT_EQ(send(l, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zebra")), 0);  // insertion does not sort
    EXPECT_EQ(send(l, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("last")), 5);
    EXPECT_EQ(send(l, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("far")), LB_ERR);
    EXPECT_EQ(send(l, LB_GETCOUNT), 6);
    std::vector<std::string> all;
    for (int i = 0; i < 6; ++i) all.push_back(text(l, i));
    EXPECT_EQ(all, (std::vector<std::string>{"zebra", "Apple", "apple", "banana", "pear", "last"}));
    EXPECT_EQ(text(l, 6), "(none)");
    EXPECT_EQ(send(l, LB_GETTEXT, 6, reinterpret_cast<LPARAM>(nullptr)), LB_ERR);

    EXPECT_EQ(send(l, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("APP")), 1);
    EXPECT_EQ(send(l, LB_FINDSTRING, 1, reinterpret_cast<LPARAM>("app")), 2);   // after the start
    EXPECT_EQ(send(l, LB_FINDSTRING, 2, reinterpret_cast<LPARAM>("app")), 1);   // wrapping round
    EXPECT_EQ(send(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("pea")), LB_ERR);
    EXPECT_EQ(send(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("PEAR")), 4);
    EXPECT_EQ(send(l, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ban")), 3);
    EXPECT_EQ(send(l, LB_GETCURSEL), 3);

    EXPECT_EQ(send(l, LB_SETITEMDATA, 4, 77), LB_OKAY);
    EXPECT_EQ(send(l, LB_GETITEMDATA, 4), 77);
    EXPECT_EQ(send(l, LB_DELETESTRING, 0), 5);  // before the selection: it follows its item
    EXPECT_EQ(send(l, LB_GETCURSEL), 2);
    EXPECT_EQ(send(l, LB_GETITEMDATA, 3), 77);
    EXPECT_EQ(send(l, LB_DELETESTRING, 2), 4);  // the selected one
    EXPECT_EQ(send(l, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(send(l, LB_DELETESTRING, 4), LB_ERR);
    send(l, LB_RESETCONTENT);
    EXPECT_EQ(send(l, LB_GETCOUNT), 0);
    EXPECT_EQ(send(l, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("a")), LB_ERR);
}

TEST_F(ListBoxTest, taps_select_and_notify_and_a_double_tap_reports_it)
{
    HWND l = list(LBS_NOTIFY, 5);
    tapItem(l, 2);
    EXPECT_EQ(send(l, LB_GETCURSEL), 2);
    EXPECT_EQ(GetFocus(), l);
    EXPECT_EQ(commandCodes(), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));
    EXPECT_EQ(heard().back().from, l);

    heard().clear();
    PlatformAdvanceClock(1000);
    tapItem(l, 2);  // the same item: no change
    EXPECT_TRUE(commandCodes().empty());
    tapItem(l, 2);  // soon after: a double tap
    EXPECT_EQ(commandCodes(), (std::vector<int>{LBN_DBLCLK}));

    heard().clear();
    EXPECT_EQ(send(l, LB_SETCURSEL, 4), 4);  // by message: silent
    EXPECT_EQ(send(l, LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR);
    EXPECT_EQ(send(l, LB_GETCURSEL), LB_ERR);
    EXPECT_TRUE(commandCodes().empty());

    // Below the last item nothing is selected.
    PlatformAdvanceClock(1000);
    tap(l, 20, 5 * itemHeight(l) + 2);
    EXPECT_EQ(send(l, LB_GETCURSEL), LB_ERR);

    HWND quiet = list(0, 5);
    SetWindowPos(quiet, nullptr, 140, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    heard().clear();
    tapItem(quiet, 1);
    EXPECT_EQ(send(quiet, LB_GETCURSEL), 1);
    EXPECT_TRUE(commandCodes(quiet).empty());  // no LBS_NOTIFY, no notices
    EXPECT_EQ(commandCodes(l), (std::vector<int>{LBN_KILLFOCUS}));
}

TEST_F(ListBoxTest, keys_move_the_selection_and_keep_it_in_view)
{
    HWND l = list(LBS_NOTIFY | WS_VSCROLL, 30);
    int rows = 100 / itemHeight(l);
    SetFocus(l);
    heard().clear();
    press(VK_DOWN);  // nothing selected: the first item
    EXPECT_EQ(send(l, LB_GETCURSEL), 0);
    press(VK_DOWN);
    EXPECT_EQ(send(l, LB_GETCURSEL), 1);
    press(VK_NEXT);
    EXPECT_EQ(send(l, LB_GETCURSEL), 1 + rows - 1);
    press(VK_END);
    EXPECT_EQ(send(l, LB_GETCURSEL), 29);
    EXPECT_EQ(send(l, LB_GETTOPINDEX), 30 - rows);
    press(VK_DOWN);  // already the last: no notice
    press(VK_HOME);
    EXPECT_EQ(send(l, LB_GETTOPINDEX), 0);
    press(VK_UP);
    EXPECT_EQ(send(l, LB_GETCURSEL), 0);
    EXPECT_EQ(commandCodes(), std::vector<int>(5, LBN_SELCHANGE));
}

TEST_F(ListBoxTest, the_scroll_bar_follows_the_items_and_scrolls_the_list)
{
    HWND l = list(WS_VSCROLL, 3);
    EXPECT_FALSE(GetWindowLong(l, GWL_STYLE) & WS_VSCROLL);  // all fit: no bar
    for (int i = 3; i < 40; ++i) add(l, ("Item " + std::to_string(i)).c_str());
    pump();
    EXPECT_TRUE(GetWindowLong(l, GWL_STYLE) & WS_VSCROLL);
    int rows = 100 / itemHeight(l);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(l, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 39);
    EXPECT_EQ(si.nPage, static_cast<UINT>(rows));

    EXPECT_EQ(send(l, LB_SETTOPINDEX, 10), LB_OKAY);
    EXPECT_EQ(GetScrollPos(l, SB_VERT), 10);
    EXPECT_EQ(send(l, LB_SETTOPINDEX, 39), LB_OKAY);
    EXPECT_EQ(send(l, LB_GETTOPINDEX), 40 - rows);  // the last page stays full
    EXPECT_EQ(send(l, LB_SETTOPINDEX, 40), LB_ERR);
    RECT r{};
    send(l, LB_GETITEMRECT, static_cast<WPARAM>(40 - rows), reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.top, 0);

    // Taps on the bar's arrows scroll a line.
    send(l, LB_SETTOPINDEX, 5);
    RECT c;
    GetClientRect(l, &c);
    int barX = c.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
    tap(l, barX, c.bottom - 3);
    EXPECT_EQ(send(l, LB_GETTOPINDEX), 6);
    tap(l, barX, 3);
    tap(l, barX, 3);
    EXPECT_EQ(send(l, LB_GETTOPINDEX), 4);
    EXPECT_EQ(send(l, LB_GETCURSEL), LB_ERR);  // scrolling selects nothing

    // The item drawn at the top is the top index's, highlighted once selected.
    send(l, LB_SETCURSEL, 4);
    EXPECT_EQ(pixel(l, c.right - 2, itemHeight(l) / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pixel(l, c.right - 2, itemHeight(l) * 3 / 2), GetSysColor(COLOR_WINDOW));
    LRESULT hit = SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, itemHeight(l) + 1));
    EXPECT_EQ(hit, MAKELPARAM(5, 0));

    while (send(l, LB_GETCOUNT) > 3) send(l, LB_DELETESTRING, 0);
    pump();
    EXPECT_FALSE(GetWindowLong(l, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(send(l, LB_GETTOPINDEX), 0);
}

TEST_F(ListBoxTest, the_height_is_cut_to_whole_items_unless_asked_not_to)
{
    int h = 0;
    {
        HWND probe = list(LBS_NOINTEGRALHEIGHT, 0, 100);
        h = itemHeight(probe);
        RECT c;
        GetClientRect(probe, &c);
        EXPECT_EQ(c.bottom, 100);
        DestroyWindow(probe);
    }
    ASSERT_GT(h, 0);
    ASSERT_NE(100 % h, 0) << "pick another height for this font";
    HWND l = list(WS_VSCROLL, 0, 100);
    RECT c;
    GetClientRect(l, &c);
    EXPECT_EQ(c.bottom, 100 - 100 % h);
    EXPECT_EQ(send(l, LB_SETITEMHEIGHT, 0, MAKELPARAM(30, 0)), LB_OKAY);
    GetClientRect(l, &c);
    EXPECT_EQ(c.bottom, 90);  // from the height first asked for, not the cut one
    SendMessage(l, LB_SETITEMHEIGHT, 0, MAKELPARAM(h, 0));
    GetClientRect(l, &c);
    EXPECT_EQ(c.bottom, 100 - 100 % h);

    // The scroll bar coming and going changes only the width: the request stays.
    for (int i = 0; i < 30; ++i) add(l, "row");
    pump();
    ASSERT_TRUE(GetWindowLong(l, GWL_STYLE) & WS_VSCROLL);
    SendMessage(l, LB_SETITEMHEIGHT, 0, MAKELPARAM(33, 0));
    GetClientRect(l, &c);
    EXPECT_EQ(c.bottom, 99);  // three rows of 33 out of the 100 asked for
}

TEST_F(ListBoxTest, multiple_selection_toggles_and_extended_selection_takes_runs)
{
    HWND m = list(LBS_MULTIPLESEL | LBS_NOTIFY, 6);
    EXPECT_EQ(send(m, LB_SETCURSEL, 1), LB_ERR);
    tapItem(m, 1);
    tapItem(m, 3);
    PlatformAdvanceClock(1000);
    tapItem(m, 4);
    PlatformAdvanceClock(1000);
    tapItem(m, 3);  // again: off
    EXPECT_EQ(send(m, LB_GETSELCOUNT), 2);
    int items[8] = {};
    EXPECT_EQ(send(m, LB_GETSELITEMS, 8, reinterpret_cast<LPARAM>(items)), 2);
    EXPECT_EQ(items[0], 1);
    EXPECT_EQ(items[1], 4);
    EXPECT_EQ(send(m, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(items)), 1);  // never past the capacity
    EXPECT_EQ(send(m, LB_GETSEL, 3), 0);
    EXPECT_GT(send(m, LB_GETSEL, 4), 0);
    EXPECT_EQ(send(m, LB_GETCARETINDEX), 3);
    EXPECT_EQ(commandCodes().size(), 5u);  // focus, then a change per tap
    send(m, LB_SETSEL, TRUE, -1);
    EXPECT_EQ(send(m, LB_GETSELCOUNT), 6);
    send(m, LB_SELITEMRANGE, FALSE, MAKELPARAM(1, 3));
    EXPECT_EQ(send(m, LB_GETSELCOUNT), 3);

    HWND x = list(LBS_EXTENDEDSEL, 6);
    SetWindowPos(x, nullptr, 140, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT a{}, b{};
    send(x, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&a));
    send(x, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&b));
    stylus(x, StylusDown, 10, (a.top + a.bottom) / 2);
    stylus(x, StylusMove, 10, (b.top + b.bottom) / 2);
    stylus(x, StylusUp, 10, (b.top + b.bottom) / 2);
    EXPECT_EQ(send(x, LB_GETSELCOUNT), 4);
    EXPECT_EQ(send(x, LB_GETANCHORINDEX), 1);
    PlatformAdvanceClock(1000);
    tapItem(x, 5);  // a plain tap: that item alone
    EXPECT_EQ(send(x, LB_GETSELCOUNT), 1);
    EXPECT_GT(send(x, LB_GETSEL, 5), 0);
}

}  // namespace
