// Up-down control with a buddy window, driven by its messages, by taps and by keys.
#include "tests/platform/control_driver.h"

#include <string>

using namespace platformtest;

namespace {

class UpDownTest : public ControlDriver {
protected:
    void SetUp() override
    {
        ControlDriver::SetUp();
        // Record every UDN_DELTAPOS with its numbers; refuse while `refuse` is set.
        notifyAnswer() = [this](const NMHDR* h) -> LRESULT {
            if (h->code != UDN_DELTAPOS) return 0;
            const NMUPDOWN* nm = reinterpret_cast<const NMUPDOWN*>(h);
            deltas.push_back({nm->iPos, nm->iDelta});
            return refuse ? TRUE : 0;
        };
    }
    // A buddy with text and an up-down made right after it.
    HWND pair(DWORD style, HWND* buddy, int lower = 1, int upper = 60, int pos = 5, int y = 20)
    {
        *buddy = child(WC_STATIC, "", 0, 20, y, 80, 24, 600);
        HWND ud = child(UPDOWN_CLASS, "", UDS_AUTOBUDDY | UDS_SETBUDDYINT | style, 100, y, 16, 24, 601);
        SendMessage(ud, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
        SendMessage(ud, UDM_SETPOS32, 0, pos);
        pump();
        heard().clear();
        deltas.clear();
        return ud;
    }
    static std::string text(HWND w)
    {
        char buffer[64] = {};
        GetWindowText(w, buffer, sizeof buffer);
        return buffer;
    }
    static RECT rectIn(HWND w, HWND parentWindow)
    {
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Taps the upper (or lower) arrow.
    static void tapArrow(HWND ud, bool upper)
    {
        RECT c;
        GetClientRect(ud, &c);
        bool horizontal = GetWindowLong(ud, GWL_STYLE) & UDS_HORZ;
        if (horizontal) tap(ud, upper ? c.right * 3 / 4 : c.right / 4, c.bottom / 2);
        else tap(ud, c.right / 2, upper ? c.bottom / 4 : c.bottom * 3 / 4);
    }
    static int pos(HWND ud) { return static_cast<int>(SendMessage(ud, UDM_GETPOS32, 0, 0)); }

    std::vector<std::pair<int, int>> deltas;  // (iPos, iDelta)
    bool refuse = false;
};

TEST_F(UpDownTest, range_and_position_are_kept_and_written_into_the_buddy)
{
    HWND ud = child(UPDOWN_CLASS, "", 0, 0, 0, 16, 30, 601);
    int lo = 0, hi = 0;
    SendMessage(ud, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, 100);  // the classic default runs from 100 down to 0
    EXPECT_EQ(hi, 0);
    SendMessage(ud, UDM_SETRANGE, 0, MAKELPARAM(20, 8));
    EXPECT_EQ(SendMessage(ud, UDM_GETRANGE, 0, 0), MAKELPARAM(20, 8));
    EXPECT_EQ(pos(ud), 8);  // brought into the range
    EXPECT_EQ(SendMessage(ud, UDM_SETPOS, 0, MAKELPARAM(50, 0)), 8);
    EXPECT_EQ(pos(ud), 20);
    EXPECT_EQ(SendMessage(ud, UDM_SETPOS32, 0, -3), 20);
    EXPECT_EQ(pos(ud), 8);

    HWND buddy;
    HWND withBuddy = pair(0, &buddy, -5000, 5000, 1234);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(withBuddy, UDM_GETBUDDY, 0, 0)), buddy);
    EXPECT_EQ(text(buddy), "1,234");
    SendMessage(withBuddy, UDM_SETPOS32, 0, -4321);
    EXPECT_EQ(text(buddy), "-4,321");
    SetWindowLong(withBuddy, GWL_STYLE, GetWindowLong(withBuddy, GWL_STYLE) | UDS_NOTHOUSANDS);
    SendMessage(withBuddy, UDM_SETPOS32, 0, 4321);
    EXPECT_EQ(text(buddy), "4321");
}

TEST_F(UpDownTest, the_position_is_read_back_from_the_buddy_text)
{
    HWND buddy;
    HWND ud = pair(0, &buddy, 1, 5000);
    BOOL error = TRUE;
    SetWindowText(buddy, " 2,500 ");
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 2500);
    EXPECT_FALSE(error);
    SetWindowText(buddy, "12x");
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 2500);  // the last good one
    EXPECT_TRUE(error);
    SetWindowText(buddy, "9000");  // out of range counts as an error too
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 2500);
    EXPECT_TRUE(error);
    EXPECT_NE(HIWORD(static_cast<uintptr_t>(SendMessage(ud, UDM_GETPOS, 0, 0))), 0);
    SetWindowText(buddy, "17");
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS, 0, 0), MAKELPARAM(17, 0));

    // A tap steps from what the buddy says.
    SetWindowText(buddy, "40");
    tapArrow(ud, true);
    EXPECT_EQ(text(buddy), "41");
    ASSERT_EQ(deltas.size(), 1u);
    EXPECT_EQ(deltas[0], (std::pair<int, int>{40, 1}));
}

TEST_F(UpDownTest, autobuddy_with_alignment_places_the_control_beside_a_narrowed_buddy)
{
    HWND buddy;
    HWND ud = pair(UDS_ALIGNRIGHT, &buddy);
    RECT b = rectIn(buddy, parent), u = rectIn(ud, parent);
    EXPECT_EQ(b.left, 20);
    EXPECT_EQ(b.right, 84);  // 80 wide, less the control's 16
    EXPECT_EQ(u.left, 84);
    EXPECT_EQ(u.right, 100);
    EXPECT_EQ(u.top, b.top);
    EXPECT_EQ(u.bottom, b.bottom);  // the buddy's height

    HWND other = child(WC_STATIC, "", 0, 20, 60, 80, 24, 602);
    HWND left = child(UPDOWN_CLASS, "", UDS_ALIGNLEFT, 0, 0, 16, 10, 603);
    EXPECT_EQ(SendMessage(left, UDM_SETBUDDY, reinterpret_cast<WPARAM>(other), 0), 0);
    b = rectIn(other, parent);
    u = rectIn(left, parent);
    EXPECT_EQ(u.left, 20);
    EXPECT_EQ(b.left, 36);
    EXPECT_EQ(b.right, 100);
    EXPECT_EQ(u.bottom - u.top, 24);
}

TEST_F(UpDownTest, taps_ask_the_parent_then_report_and_a_refusal_keeps_the_position)
{
    HWND buddy;
    HWND ud = pair(0, &buddy, 1, 60, 5);
    tapArrow(ud, true);
    EXPECT_EQ(pos(ud), 6);
    EXPECT_EQ(text(buddy), "6");
    EXPECT_EQ(deltas, (std::vector<std::pair<int, int>>{{5, 1}}));
    EXPECT_EQ(scrolls(WM_VSCROLL), (std::vector<std::pair<int, int>>{{SB_THUMBPOSITION, 6}, {SB_ENDSCROLL, 6}}));
    EXPECT_EQ(heard().back().from, ud);

    heard().clear();
    tapArrow(ud, false);
    EXPECT_EQ(pos(ud), 5);

    heard().clear();
    refuse = true;
    tapArrow(ud, true);
    EXPECT_EQ(pos(ud), 5);
    EXPECT_EQ(text(buddy), "5");
    EXPECT_EQ(scrolls(WM_VSCROLL), (std::vector<std::pair<int, int>>{{SB_ENDSCROLL, 5}}));
}

TEST_F(UpDownTest, ends_stop_or_wrap_and_held_arrows_repeat)
{
    HWND buddy;
    HWND ud = pair(0, &buddy, 1, 60, 60);
    tapArrow(ud, true);
    EXPECT_EQ(pos(ud), 60);
    EXPECT_EQ(scrolls(WM_VSCROLL), (std::vector<std::pair<int, int>>{{SB_ENDSCROLL, 60}}));  // nothing moved

    HWND wrapBuddy;
    HWND wrap = pair(UDS_WRAP, &wrapBuddy, 1, 60, 60, 80);
    tapArrow(wrap, true);
    EXPECT_EQ(pos(wrap), 1);
    tapArrow(wrap, false);
    EXPECT_EQ(pos(wrap), 60);

    SendMessage(ud, UDM_SETPOS32, 0, 10);
    RECT c;
    GetClientRect(ud, &c);
    stylus(ud, StylusDown, c.right / 2, c.bottom * 3 / 4);
    EXPECT_EQ(pos(ud), 9);
    PlatformAdvanceClock(399);
    pump();
    EXPECT_EQ(pos(ud), 9);
    for (int i = 0; i < 3; ++i) {
        PlatformAdvanceClock(i == 0 ? 1 : 100);
        pump();
    }
    EXPECT_EQ(pos(ud), 6);
    stylus(ud, StylusUp, c.right / 2, c.bottom * 3 / 4);
    PlatformAdvanceClock(1000);
    pump();
    EXPECT_EQ(pos(ud), 6);
}

TEST_F(UpDownTest, horizontal_pairs_report_wm_hscroll_and_arrow_keys_in_the_buddy_step)
{
    HWND buddy;
    HWND ud = pair(UDS_HORZ | UDS_ARROWKEYS, &buddy, 0, 10, 3);
    tapArrow(ud, true);  // the right half steps up
    EXPECT_EQ(pos(ud), 4);
    EXPECT_EQ(scrolls(WM_HSCROLL).size(), 2u);
    EXPECT_TRUE(scrolls(WM_VSCROLL).empty());

    SetFocus(buddy);
    press(VK_UP);
    press(VK_UP);
    press(VK_DOWN);
    EXPECT_EQ(pos(ud), 5);
    EXPECT_EQ(text(buddy), "5");

    // Once the control is gone the buddy's keys are its own again.
    DestroyWindow(ud);
    press(VK_UP);
    EXPECT_EQ(text(buddy), "5");
    SendMessage(buddy, WM_KEYDOWN, VK_UP, 0);  // and its procedure still answers
    EXPECT_TRUE(IsWindow(buddy));
}

}  // namespace
