// Window scroll bars: their numbers, their showing and hiding, and the scroll
// codes that taps, holds and drags on them send the window.
#include "tests/platform/control_driver.h"

using namespace platformtest;

namespace {

struct ScrollHeard {
    UINT message;
    int code;
    int position;   // HIWORD(wParam)
    int trackPos;   // GetScrollInfo SIF_TRACKPOS while the window handles it
};

std::vector<ScrollHeard>& viewHeard()
{
    static std::vector<ScrollHeard> list;
    return list;
}
int viewSizes = 0;      // WM_SIZE count
int viewTapsInside = 0; // WM_LBUTTONDOWN count

// Scrolls itself the way a picture view does: lines of 1, pages of the page
// size, the thumb's position as it comes.
LRESULT viewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: ++viewSizes; break;
    case WM_LBUTTONDOWN: ++viewTapsInside; break;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd, bar, &si);
        viewHeard().push_back(ScrollHeard{message, LOWORD(wParam), HIWORD(wParam), si.nTrackPos});
        int pos = si.nPos;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: pos -= 1; break;
        case SB_LINEDOWN: pos += 1; break;
        case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = si.nTrackPos; break;
        default: break;
        }
        SetScrollPos(hwnd, bar, pos, TRUE);
        return 0;
    }
    default: break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class WindowScrollBars : public ControlDriver {
protected:
    void SetUp() override
    {
        ControlDriver::SetUp();
        WNDCLASS wc{};
        if (!GetClassInfo(nullptr, "ScrollingView", &wc)) {
            wc.lpfnWndProc = viewProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
            wc.lpszClassName = "ScrollingView";
            RegisterClass(&wc);
        }
        viewHeard().clear();
        viewSizes = 0;
        viewTapsInside = 0;
    }
    HWND view(DWORD style, int w = 100, int h = 150)
    {
        HWND v = child("ScrollingView", "", style, 20, 20, w, h, 500);
        pump();
        return v;
    }
    static void setInfo(HWND v, int bar, int min, int max, int page, int pos, UINT extra = 0)
    {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | extra, min, max, static_cast<UINT>(page), pos, 0};
        SetScrollInfo(v, bar, &si, TRUE);
        pump();
    }
    static SCROLLINFO info(HWND v, int bar)
    {
        SCROLLINFO si{sizeof si, SIF_ALL, -1, -1, 99, -1, -1};
        EXPECT_TRUE(GetScrollInfo(v, bar, &si));
        return si;
    }
    static std::vector<int> heardCodes()
    {
        std::vector<int> out;
        for (const ScrollHeard& h : viewHeard()) out.push_back(h.code);
        return out;
    }
    // Points of the vertical bar in the view's client coordinates (the bar lies right of the client area).
    static int barX(HWND v)
    {
        RECT c;
        GetClientRect(v, &c);
        return c.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
    }
    static int arrow() { return GetSystemMetrics(SM_CXVSCROLL); }
    static void advance(DWORD ms)
    {
        PlatformAdvanceClock(ms);
        pump();
    }
};

TEST_F(WindowScrollBars, information_is_kept_within_the_range_and_the_last_page)
{
    HWND v = view(WS_VSCROLL);
    EXPECT_EQ(SetScrollInfo(v, SB_VERT, nullptr, TRUE), 0);
    setInfo(v, SB_VERT, 0, 99, 10, 95);
    SCROLLINFO si = info(v, SB_VERT);
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 99);
    EXPECT_EQ(si.nPage, 10u);
    EXPECT_EQ(si.nPos, 90);  // max - page + 1
    EXPECT_EQ(si.nTrackPos, 90);

    EXPECT_EQ(SetScrollPos(v, SB_VERT, -5, TRUE), 90);
    EXPECT_EQ(GetScrollPos(v, SB_VERT), 0);
    SCROLLINFO page{sizeof page, SIF_PAGE, 0, 0, 500, 0, 0};
    SetScrollInfo(v, SB_VERT, &page, TRUE);
    EXPECT_EQ(info(v, SB_VERT).nPage, 100u);  // never more than the range

    EXPECT_TRUE(SetScrollRange(v, SB_HORZ, 5, 50, TRUE));
    int lo = 0, hi = 0;
    EXPECT_TRUE(GetScrollRange(v, SB_HORZ, &lo, &hi));
    EXPECT_EQ(lo, 5);
    EXPECT_EQ(hi, 50);
    EXPECT_EQ(GetScrollPos(v, SB_HORZ), 5);  // brought into the new range

    SCROLLINFO bad{sizeof bad, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_FALSE(GetScrollInfo(v, SB_BOTH, &bad));
    EXPECT_FALSE(GetScrollInfo(nullptr, SB_VERT, &bad));
}

TEST_F(WindowScrollBars, a_bar_appears_when_there_is_more_than_a_page_and_goes_when_all_fits)
{
    HWND v = view(0);
    RECT c;
    GetClientRect(v, &c);
    EXPECT_EQ(c.right, 100);
    setInfo(v, SB_VERT, 0, 299, 150, 0);
    EXPECT_TRUE(GetWindowLong(v, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(v, &c);
    EXPECT_EQ(c.right, 100 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_GE(viewSizes, 1);  // the window hears its new client size

    setInfo(v, SB_VERT, 0, 99, 150, 0);  // the range fits in the page
    EXPECT_FALSE(GetWindowLong(v, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(v, &c);
    EXPECT_EQ(c.right, 100);

    setInfo(v, SB_VERT, 0, 99, 150, 0, SIF_DISABLENOSCROLL);  // stays, disabled: arrows do nothing
    EXPECT_TRUE(GetWindowLong(v, GWL_STYLE) & WS_VSCROLL);
    tap(v, barX(v), arrow() / 2);
    tap(v, barX(v), 150 - arrow() / 2);
    EXPECT_TRUE(viewHeard().empty());

    ShowScrollBar(v, SB_BOTH, FALSE);
    EXPECT_FALSE(GetWindowLong(v, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    ShowScrollBar(v, SB_HORZ, TRUE);
    GetClientRect(v, &c);
    EXPECT_EQ(c.bottom, 150 - GetSystemMetrics(SM_CYHSCROLL));
}

TEST_F(WindowScrollBars, arrows_scroll_a_line_and_repeat_while_held)
{
    HWND v = view(WS_VSCROLL);
    setInfo(v, SB_VERT, 0, 99, 10, 0);
    int down = 150 - arrow() / 2;
    tap(v, barX(v), down);
    EXPECT_EQ(heardCodes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
    EXPECT_EQ(GetScrollPos(v, SB_VERT), 1);

    viewHeard().clear();
    stylus(v, StylusDown, barX(v), down);
    advance(399);
    EXPECT_EQ(viewHeard().size(), 1u);  // no repeat before the first delay
    advance(1);
    advance(100);
    advance(100);
    EXPECT_EQ(viewHeard().size(), 4u);
    stylus(v, StylusMove, barX(v) - 50, down);  // off the arrow: the repeat holds back
    advance(100);
    EXPECT_EQ(viewHeard().size(), 4u);
    stylus(v, StylusUp, barX(v) - 50, down);
    EXPECT_EQ(viewHeard().back().code, SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(v, SB_VERT), 5);
    EXPECT_EQ(viewTapsInside, 0);  // nothing reached the client area
    advance(500);
    EXPECT_EQ(viewHeard().size(), 5u);  // no repeat after the release

    viewHeard().clear();
    tap(v, barX(v), arrow() / 2);
    EXPECT_EQ(heardCodes(), (std::vector<int>{SB_LINEUP, SB_ENDSCROLL}));
    EXPECT_EQ(GetScrollPos(v, SB_VERT), 4);

    tap(v, 10, 10);  // the client area still gets its taps
    EXPECT_EQ(viewTapsInside, 1);
}

TEST_F(WindowScrollBars, the_channel_pages_until_the_thumb_reaches_the_stylus)
{
    HWND v = view(WS_VSCROLL);
    setInfo(v, SB_VERT, 0, 99, 10, 0);
    int y = 75;  // the middle of the channel
    stylus(v, StylusDown, barX(v), y);
    EXPECT_EQ(heardCodes(), (std::vector<int>{SB_PAGEDOWN}));
    for (int i = 0; i < 20; ++i) advance(i == 0 ? 400 : 100);
    stylus(v, StylusUp, barX(v), y);
    std::vector<int> codes = heardCodes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    // Repeats stopped once the thumb came under the stylus, short of the end.
    int pages = static_cast<int>(codes.size()) - 1;
    EXPECT_LT(pages, 9);
    EXPECT_EQ(GetScrollPos(v, SB_VERT), pages * 10);
    EXPECT_GE(GetScrollPos(v, SB_VERT), 30);
    EXPECT_LE(GetScrollPos(v, SB_VERT), 60);

    viewHeard().clear();
    tap(v, barX(v), arrow() + 2);  // above the thumb
    EXPECT_EQ(heardCodes(), (std::vector<int>{SB_PAGEUP, SB_ENDSCROLL}));
}

TEST_F(WindowScrollBars, dragging_the_thumb_tracks_and_ends_with_its_position)
{
    HWND v = view(WS_VSCROLL);
    setInfo(v, SB_VERT, 0, 99999, 10000, 0);  // positions beyond 16 bits come through SIF_TRACKPOS
    int top = arrow() + 2;
    stylus(v, StylusDown, barX(v), top);
    EXPECT_TRUE(viewHeard().empty());
    stylus(v, StylusMove, barX(v), top + 30);
    stylus(v, StylusMove, barX(v), top + 200);  // past the end: the last page
    stylus(v, StylusUp, barX(v), top + 200);
    std::vector<int> codes = heardCodes();
    ASSERT_EQ(codes, (std::vector<int>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    const auto& h = viewHeard();
    EXPECT_GT(h[0].trackPos, 0);
    EXPECT_LT(h[0].trackPos, 90000);
    EXPECT_EQ(h[1].trackPos, 90000);
    EXPECT_EQ(h[2].trackPos, 90000);
    EXPECT_EQ(h[2].position, 90000 & 0xFFFF);
    EXPECT_EQ(GetScrollPos(v, SB_VERT), 90000);
}

TEST_F(WindowScrollBars, a_horizontal_bar_sends_wm_hscroll_and_both_are_drawn)
{
    HWND v = view(WS_HSCROLL | WS_VSCROLL);
    setInfo(v, SB_HORZ, 0, 9, 2, 4);
    setInfo(v, SB_VERT, 0, 9, 0, 0, SIF_DISABLENOSCROLL);
    RECT c;
    GetClientRect(v, &c);
    int barY = c.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2;
    tap(v, arrow() / 2, barY);
    ASSERT_EQ(viewHeard().size(), 2u);
    EXPECT_EQ(viewHeard()[0].message, static_cast<UINT>(WM_HSCROLL));
    EXPECT_EQ(viewHeard()[0].code, SB_LINELEFT);
    EXPECT_EQ(GetScrollPos(v, SB_HORZ), 3);

    // Arrows are framed boxes, the channel has the scroll-bar colour, the thumb
    // sits where the position says, the corner is the button face.
    EXPECT_EQ(pixel(v, 0, barY), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(pixel(v, 2, c.bottom + 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(v, c.right + 1, c.bottom + 1), GetSysColor(COLOR_BTNFACE));
    int trackStart = arrow(), trackLength = c.right - 2 * arrow();
    auto thumbPixels = [&](int x0, int x1) {
        int n = 0;
        for (int x = x0; x < x1; ++x) n += pixel(v, x, barY) == GetSysColor(COLOR_BTNFACE);
        return n;
    };
    int left = thumbPixels(trackStart, trackStart + trackLength / 2);
    int right = thumbPixels(trackStart + trackLength / 2, trackStart + trackLength);
    EXPECT_GT(left, right);  // position 3 of 0..8: the thumb leans left
    SetScrollPos(v, SB_HORZ, 8, TRUE);
    pump();
    EXPECT_LT(thumbPixels(trackStart, trackStart + trackLength / 2), thumbPixels(trackStart + trackLength / 2, trackStart + trackLength));
    // The disabled vertical bar shows no thumb: its channel is plain.
    EXPECT_EQ(pixel(v, barX(v), c.bottom / 2), GetSysColor(COLOR_SCROLLBAR));
}

}  // namespace
