// Tab control driven by its messages, by taps and by keys.
#include "tests/platform/control_driver.h"

#include <cstring>
#include <string>

using namespace platformtest;

namespace {

class TabControlTest : public ControlDriver {
protected:
    HWND makeTabs(DWORD style, std::initializer_list<const char*> names, int w = 200, int h = 120)
    {
        HWND tabs = child(WC_TABCONTROL, "", style, 10, 10, w, h, 300);
        int i = 0;
        for (const char* name : names) {
            insert(tabs, i, name, 100 + i);
            ++i;
        }
        pump();
        heard().clear();
        return tabs;
    }
    static LRESULT insert(HWND tabs, int index, const char* text, LPARAM param = 0)
    {
        TCITEM item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<char*>(text);
        item.lParam = param;
        return SendMessage(tabs, TCM_INSERTITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    static std::string text(HWND tabs, int index, int capacity = 64)
    {
        char buffer[64] = "unchanged";
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = capacity;
        if (!SendMessage(tabs, TCM_GETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return "(failed)";
        return buffer;
    }
    static RECT itemRect(HWND tabs, int index)
    {
        RECT r{};
        EXPECT_TRUE(SendMessage(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    static void tapItem(HWND tabs, int index)
    {
        RECT r = itemRect(tabs, index);
        tap(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static int cur(HWND tabs) { return static_cast<int>(SendMessage(tabs, TCM_GETCURSEL, 0, 0)); }
};

TEST_F(TabControlTest, items_are_inserted_read_changed_and_deleted_with_the_selection_following)
{
    HWND tabs = child(WC_TABCONTROL, "", 0, 10, 10, 200, 100, 300);
    EXPECT_EQ(cur(tabs), -1);
    EXPECT_EQ(insert(tabs, 0, "General"), 0);
    EXPECT_EQ(cur(tabs), 0);  // the first tab starts selected
    EXPECT_EQ(insert(tabs, 99, "Browser", 7), 1);  // past the end appends
    EXPECT_EQ(insert(tabs, 0, "Viewer"), 0);       // before the selection: it moves along
    EXPECT_EQ(cur(tabs), 1);
    EXPECT_EQ(insert(tabs, -1, "bad"), -1);
    EXPECT_EQ(SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(text(tabs, 0), "Viewer");
    EXPECT_EQ(text(tabs, 1), "General");
    EXPECT_EQ(text(tabs, 2), "Browser");
    EXPECT_EQ(text(tabs, 3), "(failed)");
    EXPECT_EQ(text(tabs, 2, 4), "Bro");  // cut to the buffer, terminated

    TCITEM item{};
    item.mask = TCIF_PARAM;
    ASSERT_TRUE(SendMessage(tabs, TCM_GETITEM, 2, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 7);
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>("Slideshow");
    EXPECT_TRUE(SendMessage(tabs, TCM_SETITEM, 2, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(text(tabs, 2), "Slideshow");
    EXPECT_FALSE(SendMessage(tabs, TCM_SETITEM, 3, reinterpret_cast<LPARAM>(&item)));

    EXPECT_TRUE(SendMessage(tabs, TCM_DELETEITEM, 0, 0));  // before the selection
    EXPECT_EQ(cur(tabs), 0);
    EXPECT_EQ(text(tabs, 0), "General");
    EXPECT_TRUE(SendMessage(tabs, TCM_DELETEITEM, 0, 0));  // the selected one
    EXPECT_EQ(cur(tabs), -1);
    EXPECT_FALSE(SendMessage(tabs, TCM_DELETEITEM, 5, 0));
    EXPECT_TRUE(SendMessage(tabs, TCM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(cur(tabs), -1);
}

TEST_F(TabControlTest, a_tap_asks_the_parent_then_reports_the_change_and_a_refusal_keeps_the_old_tab)
{
    HWND tabs = makeTabs(0, {"One", "Two", "Three"});
    int selectedWhenAsked = -2;
    notifyAnswer() = [&](const NMHDR* h) -> LRESULT {
        if (h->code == TCN_SELCHANGING) selectedWhenAsked = cur(tabs);
        return 0;
    };
    tapItem(tabs, 2);
    EXPECT_EQ(cur(tabs), 2);
    EXPECT_EQ(selectedWhenAsked, 0);  // still the old tab while asking
    EXPECT_EQ(codes(WM_NOTIFY), (std::vector<int>{static_cast<int>(TCN_SELCHANGING), static_cast<int>(TCN_SELCHANGE)}));
    EXPECT_EQ(heard()[0].id, 300);
    EXPECT_EQ(heard()[0].from, tabs);
    EXPECT_EQ(GetFocus(), tabs);

    heard().clear();
    tapItem(tabs, 2);  // the selected tab again: nothing to change
    EXPECT_TRUE(codes(WM_NOTIFY).empty());

    notifyAnswer() = [](const NMHDR* h) -> LRESULT { return h->code == TCN_SELCHANGING ? TRUE : 0; };
    tapItem(tabs, 0);
    EXPECT_EQ(cur(tabs), 2);
    EXPECT_EQ(codes(WM_NOTIFY), (std::vector<int>{static_cast<int>(TCN_SELCHANGING)}));

    heard().clear();
    RECT c;
    GetClientRect(tabs, &c);
    tap(tabs, c.right / 2, c.bottom - 5);  // the display area is no tab
    EXPECT_TRUE(codes(WM_NOTIFY).empty());
}

TEST_F(TabControlTest, set_cursel_is_silent_and_keys_move_with_notifications)
{
    HWND tabs = makeTabs(0, {"One", "Two", "Three"});
    EXPECT_EQ(SendMessage(tabs, TCM_SETCURSEL, 1, 0), 0);
    EXPECT_EQ(SendMessage(tabs, TCM_SETCURSEL, 9, 0), -1);
    EXPECT_EQ(cur(tabs), 1);
    EXPECT_TRUE(codes(WM_NOTIFY).empty());

    SetFocus(tabs);
    press(VK_RIGHT);
    EXPECT_EQ(cur(tabs), 2);
    press(VK_RIGHT);  // already the last
    EXPECT_EQ(cur(tabs), 2);
    press(VK_HOME);
    EXPECT_EQ(cur(tabs), 0);
    press(VK_LEFT);
    EXPECT_EQ(cur(tabs), 0);
    std::vector<int> two{static_cast<int>(TCN_SELCHANGING), static_cast<int>(TCN_SELCHANGE)};
    std::vector<int> expected = two;
    expected.insert(expected.end(), two.begin(), two.end());
    EXPECT_EQ(codes(WM_NOTIFY), expected);
}

TEST_F(TabControlTest, tabs_lie_along_the_top_or_the_bottom_and_the_display_area_is_the_rest)
{
    for (DWORD style : {DWORD{0}, DWORD{TCS_BOTTOM}}) {
        SCOPED_TRACE(style);
        HWND tabs = makeTabs(style, {"Alpha", "Beta"}, 200, 120);
        RECT a = itemRect(tabs, 0), b = itemRect(tabs, 1);
        EXPECT_EQ(a.right, b.left);
        EXPECT_EQ(a.top, b.top);
        EXPECT_GT(a.bottom - a.top, 8);
        if (style & TCS_BOTTOM) EXPECT_EQ(a.bottom, 120);
        else EXPECT_EQ(a.top, 0);

        RECT display{0, 0, 200, 120};
        SendMessage(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &display, &a));  // pages never cover the tabs
        EXPECT_EQ(display.bottom - display.top, 120 - (a.bottom - a.top));
        SendMessage(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
        EXPECT_EQ(display.top, 0);
        EXPECT_EQ(display.bottom, 120);

        TCHITTESTINFO hit{{b.left + 2, b.top + 2}, 0};
        EXPECT_EQ(SendMessage(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
        EXPECT_EQ(hit.flags, static_cast<UINT>(TCHT_ONITEMLABEL));
        hit.pt = POINT{190, (display.top + display.bottom) / 2};
        EXPECT_EQ(SendMessage(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
        EXPECT_EQ(hit.flags, static_cast<UINT>(TCHT_NOWHERE));

        // The selected tab has the page's colour, the others the button face.
        SendMessage(tabs, TCM_SETCURSEL, 1, 0);
        EXPECT_EQ(pixel(tabs, b.left + 2, (b.top + b.bottom) / 2), GetSysColor(COLOR_WINDOW));
        EXPECT_EQ(pixel(tabs, a.left + 2, (a.top + a.bottom) / 2), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(pixel(tabs, a.left, (a.top + a.bottom) / 2), GetSysColor(COLOR_WINDOWFRAME));
        EXPECT_EQ(pixel(tabs, 100, (display.top + display.bottom) / 2), GetSysColor(COLOR_WINDOW));
        DestroyWindow(tabs);
    }
}

TEST_F(TabControlTest, a_larger_font_makes_larger_tabs_and_the_selected_tab_is_scrolled_into_view)
{
    HWND tabs = makeTabs(0, {"One", "Two"});
    RECT small = itemRect(tabs, 0);
    LOGFONT lf{};
    lf.lfHeight = -24;
    std::strcpy(lf.lfFaceName, "Tahoma");
    HFONT big = CreateFontIndirect(&lf);
    SendMessage(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(tabs, WM_GETFONT, 0, 0)), big);
    RECT large = itemRect(tabs, 0);
    EXPECT_GT(large.bottom - large.top, small.bottom - small.top);
    EXPECT_GT(large.right - large.left, small.right - small.left);
    DestroyWindow(tabs);
    DeleteObject(big);

    HWND many = makeTabs(0, {"First page", "Second page", "Third page", "Fourth page", "Fifth page"}, 120, 80);
    SendMessage(many, TCM_SETCURSEL, 4, 0);
    RECT last = itemRect(many, 4);
    EXPECT_GE(last.left, 0);
    EXPECT_LE(last.right, 120);
    EXPECT_EQ(SendMessage(many, TCM_SETCURSEL, 0, 0), 4);
    EXPECT_EQ(itemRect(many, 0).left, 0);
}

}  // namespace
