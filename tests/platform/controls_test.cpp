// Buttons, static text, progress bar and track bar driven through their
// messages and through injected stylus and key input.
#include "platform/controls/controls.h"
#include "tests/platform/controls_fixture.h"

using namespace platformtest;

namespace {

class Controls : public ControlTest {
protected:
    // WM_COMMAND codes (id, code) the parent received, in order.
    std::vector<std::pair<int, int>> commands() const
    {
        std::vector<std::pair<int, int>> out;
        for (const Recorded& r : recorded())
            if (r.hwnd == parent && r.message == WM_COMMAND) out.push_back({LOWORD(r.wParam), HIWORD(r.wParam)});
        return out;
    }
    // WM_HSCROLL/WM_VSCROLL (code, position) the parent received.
    std::vector<std::pair<int, int>> scrolls(UINT message = WM_HSCROLL) const
    {
        std::vector<std::pair<int, int>> out;
        for (const Recorded& r : recorded())
            if (r.hwnd == parent && r.message == message) out.push_back({LOWORD(r.wParam), HIWORD(r.wParam)});
        return out;
    }
};

using Pair = std::pair<int, int>;
using Pairs = std::vector<Pair>;

TEST_F(Controls, push_button_clicks_only_when_the_stylus_comes_up_over_it)
{
    HWND b = child(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 60, 20, 101);
    pump();
    EXPECT_EQ(pixel(b, 30, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(b, 0, 0), RGB(0, 0, 0));  // flat frame
    stylus(b, StylusDown, 5, 5);
    EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_EQ(pixel(b, 3, 3), RGB(0, 0, 0));  // drawn pressed
    EXPECT_EQ(GetFocus(), b);
    // Sliding off releases it; coming up outside is no click.
    stylus(b, StylusMove, 100, 5);
    EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_EQ(pixel(b, 3, 3), GetSysColor(COLOR_BTNFACE));
    stylus(b, StylusUp, 100, 5);
    EXPECT_TRUE(commands().empty());
    tap(b, 30, 10);
    EXPECT_EQ(commands(), (Pairs{{101, BN_CLICKED}}));
    // Space: pressed while down, a click when it comes up.
    PlatformKeyInput(VK_SPACE, true);
    pump();
    EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_EQ(commands().size(), 1u);
    PlatformKeyInput(VK_SPACE, false);
    pump();
    EXPECT_EQ(commands().size(), 2u);
    // Disabled: no click, grey text.
    EnableWindow(b, FALSE);
    tap(b, 30, 10);
    EXPECT_EQ(commands().size(), 2u);
}

TEST_F(Controls, default_button_has_a_double_frame)
{
    HWND plain = child(WC_BUTTON, "", BS_PUSHBUTTON, 10, 10, 40, 20, 1);
    HWND def = child(WC_BUTTON, "", BS_DEFPUSHBUTTON, 60, 10, 40, 20, 2);
    pump();
    EXPECT_EQ(pixel(plain, 1, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(def, 1, 10), RGB(0, 0, 0));
    EXPECT_EQ(pixel(def, 2, 10), GetSysColor(COLOR_BTNFACE));
}

TEST_F(Controls, check_boxes_toggle_only_when_automatic)
{
    HWND autoBox = child(WC_BUTTON, "Auto", BS_AUTOCHECKBOX, 10, 10, 100, 20, 11);
    HWND manual = child(WC_BUTTON, "Manual", BS_CHECKBOX, 10, 40, 100, 20, 12);
    HWND three = child(WC_BUTTON, "Three", BS_AUTO3STATE, 10, 70, 100, 20, 13);
    pump();
    tap(autoBox, 5, 10);
    EXPECT_EQ(SendMessage(autoBox, BM_GETCHECK, 0, 0), BST_CHECKED);
    tap(manual, 5, 10);
    EXPECT_EQ(SendMessage(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(commands(), (Pairs{{11, BN_CLICKED}, {12, BN_CLICKED}}));
    // The tick shows inside the box of the checked one only.
    auto blackInBox = [&](HWND w) {
        int n = 0;
        for (int y = 5; y < 14; ++y)
            for (int x = 2; x < 11; ++x) n += pixel(w, x, y) == RGB(0, 0, 0);
        return n;
    };
    EXPECT_GT(blackInBox(autoBox), 8);
    EXPECT_EQ(blackInBox(manual), 0);
    tap(autoBox, 50, 10);  // the label is part of the button
    EXPECT_EQ(SendMessage(autoBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Three states cycle checked, indeterminate, unchecked; two-state boxes refuse indeterminate.
    std::vector<LRESULT> cycle;
    for (int i = 0; i < 3; ++i) {
        tap(three, 5, 10);
        cycle.push_back(SendMessage(three, BM_GETCHECK, 0, 0));
    }
    EXPECT_EQ(cycle, (std::vector<LRESULT>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}));
    SendMessage(autoBox, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessage(autoBox, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(parent, 11), BST_CHECKED);
    CheckDlgButton(parent, 11, BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(parent, 11), BST_UNCHECKED);
}

TEST_F(Controls, auto_radio_buttons_check_one_per_group)
{
    HWND a = child(WC_BUTTON, "A", static_cast<DWORD>(BS_AUTORADIOBUTTON) | WS_GROUP, 10, 10, 80, 20, 21);
    HWND b = child(WC_BUTTON, "B", BS_AUTORADIOBUTTON, 10, 30, 80, 20, 22);
    HWND c = child(WC_BUTTON, "C", BS_AUTORADIOBUTTON, 10, 50, 80, 20, 23);
    HWND other = child(WC_BUTTON, "X", static_cast<DWORD>(BS_AUTORADIOBUTTON) | WS_GROUP, 10, 80, 80, 20, 24);
    HWND manual = child(WC_BUTTON, "M", static_cast<DWORD>(BS_RADIOBUTTON) | WS_GROUP, 10, 110, 80, 20, 25);
    pump();
    tap(other, 5, 10);
    tap(a, 5, 10);
    tap(c, 5, 10);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), BST_CHECKED);  // its own group
    EXPECT_TRUE(static_cast<DWORD>(GetWindowLong(c, GWL_STYLE)) & WS_TABSTOP);
    EXPECT_FALSE(static_cast<DWORD>(GetWindowLong(a, GWL_STYLE)) & WS_TABSTOP);
    tap(manual, 5, 10);
    EXPECT_EQ(SendMessage(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(commands().back(), (Pair{25, BN_CLICKED}));
    // The centre dot of a checked radio button.
    EXPECT_EQ(pixel(c, 6, 10), RGB(0, 0, 0));
    EXPECT_EQ(pixel(a, 6, 10), GetSysColor(COLOR_WINDOW));
    CheckRadioButton(parent, 21, 23, 22);
    EXPECT_EQ(IsDlgButtonChecked(parent, 22), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(parent, 23), BST_UNCHECKED);
}

TEST_F(Controls, group_box_ignores_taps_and_draws_its_label_over_the_frame)
{
    HWND g = child(WC_BUTTON, "Group", BS_GROUPBOX, 10, 10, 120, 60, 31);
    pump();
    tap(g, 60, 30);
    EXPECT_TRUE(commands().empty());
    EXPECT_NE(GetFocus(), g);
    EXPECT_EQ(pixel(g, 0, 40), GetSysColor(COLOR_BTNSHADOW));     // left edge
    EXPECT_EQ(pixel(g, 100, 59), GetSysColor(COLOR_BTNSHADOW));   // bottom edge
    EXPECT_EQ(pixel(g, 60, 30), GetSysColor(COLOR_STATIC));       // inside
}

TEST_F(Controls, static_text_aligns_and_notifies_with_ss_notify)
{
    HWND left = child(WC_STATIC, "Hi", SS_LEFT, 10, 10, 100, 16, 41);
    HWND right = child(WC_STATIC, "Hi", SS_RIGHT | SS_NOTIFY, 10, 30, 100, 16, 42);
    pump();
    auto inkColumns = [&](HWND w) {
        int lo = 1000, hi = -1;
        for (int x = 0; x < 100; ++x)
            for (int y = 0; y < 16; ++y)
                if (pixel(w, x, y) != GetSysColor(COLOR_STATIC)) {
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
        return Pair{lo, hi};
    };
    Pair l = inkColumns(left), r = inkColumns(right);
    EXPECT_LT(l.first, 3);
    EXPECT_GT(r.second, 95);
    EXPECT_EQ(l.second - l.first, r.second - r.first);
    tap(left, 5, 5);
    tap(right, 5, 5);
    EXPECT_EQ(commands(), (Pairs{{42, STN_CLICKED}}));
    SetWindowText(left, "");
    pump();
    EXPECT_EQ(inkColumns(left).second, -1);
}

TEST_F(Controls, static_picture_shows_its_bitmap)
{
    HWND pic = child(WC_STATIC, "", SS_BITMAP, 10, 10, 20, 20, 43);
    MemorySurface red(4, 4, RGB(255, 0, 0));
    SelectObject(red.dc, red.old);
    EXPECT_EQ(SendMessage(pic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(red.bitmap)), 0);
    pump();
    EXPECT_EQ(pixel(pic, 3, 3), RGB(255, 0, 0));
    EXPECT_EQ(pixel(pic, 4, 4), GetSysColor(COLOR_STATIC));
    EXPECT_EQ(SendMessage(pic, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(red.bitmap));
    DestroyWindow(pic);
    red.old = SelectObject(red.dc, red.bitmap);
}

TEST_F(Controls, progress_bar_clamps_steps_and_fills_in_proportion)
{
    HWND p = child(PROGRESS_CLASS, "", 0, 10, 10, 102, 10, 51);
    SendMessage(p, PBM_SETRANGE32, 0, 200);
    EXPECT_EQ(SendMessage(p, PBM_SETPOS, 50, 0), 0);
    EXPECT_EQ(SendMessage(p, PBM_SETPOS, 500, 0), 50);
    EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 200);
    SendMessage(p, PBM_SETPOS, -5, 0);
    EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 0);
    PBRANGE range{};
    EXPECT_EQ(SendMessage(p, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iHigh, 200);
    SendMessage(p, PBM_SETSTEP, 60, 0);
    for (int i = 0; i < 4; ++i) SendMessage(p, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 40);  // 180 + 60 wraps past 200 to 40
    SendMessage(p, PBM_DELTAPOS, 60, 0);
    EXPECT_EQ(SendMessage(p, PBM_GETPOS, 0, 0), 100);
    pump();
    // Half of the 100 inner pixels are filled.
    EXPECT_EQ(pixel(p, 50, 5), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pixel(p, 51, 5), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixel(p, 0, 5), RGB(0, 0, 0));
}

TEST_F(Controls, track_bar_pages_drags_and_steps_with_keys)
{
    HWND t = child(TRACKBAR_CLASS, "", TBS_AUTOTICKS, 10, 10, 120, 30, 61);
    SendMessage(t, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessage(t, TBM_SETPAGESIZE, 0, 3);
    SendMessage(t, TBM_SETPOS, TRUE, 5);
    pump();
    RECT thumb{};
    SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    int cy = (thumb.top + thumb.bottom) / 2;
    // What is drawn is what is tapped: the thumb's centre shows the thumb colour.
    EXPECT_EQ(pixel(t, (thumb.left + thumb.right) / 2, cy), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(t, thumb.left, cy), RGB(0, 0, 0));
    // A tap left of the thumb: a page down in value.
    tap(t, thumb.left - 10, cy);
    EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 2);
    EXPECT_EQ(scrolls(), (Pairs{{TB_PAGEUP, 0}, {TB_ENDTRACK, 0}}));
    recorded().clear();
    // Drag the thumb to the far right end: THUMBTRACK while moving, THUMBPOSITION at the end.
    SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    int cx = (thumb.left + thumb.right) / 2;
    stylus(t, StylusDown, cx, cy);
    stylus(t, StylusMove, 200, cy);
    stylus(t, StylusUp, 200, cy);
    EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(scrolls(), (Pairs{{TB_THUMBTRACK, 10}, {TB_THUMBPOSITION, 10}, {TB_ENDTRACK, 0}}));
    recorded().clear();
    key(VK_LEFT);
    key(VK_HOME);
    EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(scrolls(), (Pairs{{TB_LINEUP, 0}, {TB_ENDTRACK, 0}, {TB_TOP, 0}, {TB_ENDTRACK, 0}}));
    // The position set from outside is clamped and not reported.
    recorded().clear();
    SendMessage(t, TBM_SETPOS, TRUE, 99);
    EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 10);
    EXPECT_TRUE(scrolls().empty());
}

TEST_F(Controls, vertical_track_bar_reports_wm_vscroll_and_runs_top_down)
{
    HWND t = child(TRACKBAR_CLASS, "", TBS_VERT, 10, 10, 30, 120, 62);
    SendMessage(t, TBM_SETRANGE, TRUE, MAKELPARAM(0, 4));
    pump();
    RECT thumb{};
    SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    EXPECT_LT(thumb.top, 10);
    int cx = (thumb.left + thumb.right) / 2;
    stylus(t, StylusDown, cx, (thumb.top + thumb.bottom) / 2);
    stylus(t, StylusMove, cx, 60);
    stylus(t, StylusUp, cx, 60);
    EXPECT_EQ(SendMessage(t, TBM_GETPOS, 0, 0), 2);
    EXPECT_FALSE(scrolls(WM_VSCROLL).empty());
    EXPECT_TRUE(scrolls(WM_HSCROLL).empty());
}

}  // namespace
