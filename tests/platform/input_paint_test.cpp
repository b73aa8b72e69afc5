// Timers on the virtual clock, stylus routing and capture, double taps, keys,
// painting and invalidation.
#include "tests/support/platform_support.h"

#include <algorithm>

using namespace platformtest;

namespace {

using InputTest = Headless;
using PaintTest = Headless;

int countOf(HWND hwnd, UINT message)
{
    int n = 0;
    for (const Recorded& r : recorded())
        if (r.hwnd == hwnd && r.message == message) ++n;
    return n;
}

std::vector<Recorded> only(UINT message)
{
    std::vector<Recorded> out;
    for (const Recorded& r : recorded())
        if (r.message == message) out.push_back(r);
    return out;
}

TEST_F(InputTest, timer_fires_on_the_virtual_clock_and_never_piles_up)
{
    HWND w = makeWindow("t", 0);
    pump();
    DWORD start = GetTickCount();
    ASSERT_EQ(SetTimer(w, 7, 100, nullptr), 7u);
    PlatformAdvanceClock(99);
    pump();
    EXPECT_EQ(countOf(w, WM_TIMER), 0);
    PlatformAdvanceClock(1);
    pump();
    EXPECT_EQ(countOf(w, WM_TIMER), 1);
    EXPECT_EQ(only(WM_TIMER).back().wParam, 7u);
    // Three periods late: one WM_TIMER, not three.
    PlatformAdvanceClock(350);
    pump();
    EXPECT_EQ(countOf(w, WM_TIMER), 2);
    KillTimer(w, 7);
    PlatformAdvanceClock(1000);
    pump();
    EXPECT_EQ(countOf(w, WM_TIMER), 2);
    EXPECT_EQ(GetTickCount() - start, 1450u);
}

TEST_F(InputTest, get_message_moves_the_virtual_clock_to_the_next_timer)
{
    HWND w = makeWindow("t", 0);
    pump();
    SetTimer(w, 1, 300, nullptr);
    SetTimer(w, 2, 200, nullptr);
    DWORD start = GetTickCount();
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_EQ(GetTickCount() - start, 200u);
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(GetTickCount() - start, 300u);
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_EQ(GetTickCount() - start, 400u);
}

TEST_F(InputTest, destroying_a_window_stops_its_timers)
{
    HWND w = makeWindow("t", 0);
    SetTimer(w, 1, 50, nullptr);
    DestroyWindow(w);
    PlatformAdvanceClock(100);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(InputTest, stylus_goes_to_the_window_under_it_in_client_coordinates)
{
    HWND top = makeWindow("top");
    HWND child = makeWindow("c", WS_CHILD | WS_VISIBLE, top, 20, 30, 100, 100);
    pump();
    recorded().clear();
    PlatformStylusInput(StylusDown, 25, 26 + 30 + 7);
    PlatformStylusInput(StylusUp, 25, 26 + 30 + 7);
    pump();
    auto downs = only(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, child);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 7);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(only(WM_LBUTTONUP).size(), 1u);
}

TEST_F(InputTest, capture_keeps_the_stylus_outside_the_window)
{
    HWND top = makeWindow("top");
    HWND a = makeWindow("a", WS_CHILD | WS_VISIBLE, top, 0, 0, 50, 50);
    HWND b = makeWindow("b", WS_CHILD | WS_VISIBLE, top, 100, 0, 50, 50);
    pump();
    SetCapture(a);
    EXPECT_EQ(GetCapture(), a);
    recorded().clear();
    PlatformStylusInput(StylusMove, 110, 36);
    pump();
    auto moves = only(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, a);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 110);
    PlatformStylusInput(StylusMove, -5, 20);
    pump();
    EXPECT_EQ(GET_X_LPARAM(only(WM_MOUSEMOVE).back().lParam), -5);
    EXPECT_EQ(GET_Y_LPARAM(only(WM_MOUSEMOVE).back().lParam), -6);
    ReleaseCapture();
    EXPECT_EQ(countOf(a, WM_CAPTURECHANGED), 1);
    recorded().clear();
    PlatformStylusInput(StylusMove, 110, 36);
    pump();
    EXPECT_EQ(only(WM_MOUSEMOVE).at(0).hwnd, b);
    // Destroying the capturing window ends the capture.
    SetCapture(b);
    DestroyWindow(b);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, double_tap_needs_the_class_style_time_and_place)
{
    HWND top = makeWindow("top");
    HWND dbl = makeWindow("d", WS_CHILD | WS_VISIBLE, top, 0, 0, 100, 100, CS_DBLCLKS);
    HWND plain = makeWindow("p", WS_CHILD | WS_VISIBLE, top, 120, 0, 100, 100);
    pump();
    auto tap = [](int x, int y) {
        PlatformStylusInput(StylusDown, x, y);
        PlatformStylusInput(StylusUp, x, y);
        pump();
    };
    recorded().clear();
    tap(10, 40);
    PlatformAdvanceClock(200);
    tap(12, 41);
    EXPECT_EQ(countOf(dbl, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(countOf(dbl, WM_LBUTTONDBLCLK), 1);
    // A third tap starts over.
    PlatformAdvanceClock(100);
    tap(12, 41);
    EXPECT_EQ(countOf(dbl, WM_LBUTTONDOWN), 2);
    // Too slow.
    PlatformAdvanceClock(600);
    tap(12, 41);
    EXPECT_EQ(countOf(dbl, WM_LBUTTONDBLCLK), 1);
    // Too far.
    PlatformAdvanceClock(100);
    tap(40, 80);
    EXPECT_EQ(countOf(dbl, WM_LBUTTONDBLCLK), 1);
    // No CS_DBLCLKS: two plain downs.
    PlatformAdvanceClock(1000);
    tap(130, 40);
    tap(130, 40);
    EXPECT_EQ(countOf(plain, WM_LBUTTONDOWN), 2);
    EXPECT_EQ(countOf(plain, WM_LBUTTONDBLCLK), 0);
}

TEST_F(InputTest, disabled_window_gets_no_stylus)
{
    HWND top = makeWindow("top");
    HWND c = makeWindow("c", WS_CHILD | WS_VISIBLE, top, 0, 0, 100, 100);
    pump();
    EnableWindow(c, FALSE);
    EXPECT_FALSE(IsWindowEnabled(c));
    recorded().clear();
    PlatformStylusInput(StylusDown, 10, 40);
    pump();
    EXPECT_EQ(countOf(c, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(countOf(top, WM_LBUTTONDOWN), 0);
}

TEST_F(InputTest, keys_go_to_the_focus_and_translate_into_characters)
{
    HWND top = makeWindow("top");
    HWND c = makeWindow("c", WS_CHILD | WS_VISIBLE, top, 0, 0, 100, 100);
    SetFocus(c);
    EXPECT_EQ(countOf(top, WM_KILLFOCUS), 1);
    EXPECT_EQ(countOf(c, WM_SETFOCUS), 1);
    pump();
    recorded().clear();
    PlatformKeyInput(VK_RETURN, true);
    PlatformKeyInput(VK_RETURN, false);
    PlatformTextInput("a\xC3\xA9");
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    auto keys = only(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].hwnd, c);
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>(VK_RETURN));
    auto chars = only(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    // Posted in this order: the typed text, then the translated Return.
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(chars[1].wParam, 0xE9u);
    EXPECT_EQ(chars[2].wParam, 0x0Du);
    EXPECT_EQ(only(WM_KEYUP).size(), 1u);
}

TEST_F(InputTest, beeps_and_cursors_are_recorded)
{
    int before = PlatformBeepCount();
    MessageBeep(MB_ICONEXCLAMATION);
    EXPECT_EQ(PlatformBeepCount(), before + 1);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(arrow, nullptr);
    EXPECT_NE(wait, arrow);
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(wait), arrow);
    EXPECT_EQ(GetCursor(), wait);
    CursorImage image;
    ASSERT_TRUE(cursorImageOf(LoadCursor(nullptr, IDC_HAND), &image));
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(image.height, 16);
}

TEST_F(PaintTest, shown_window_paints_once_with_its_background_erased)
{
    HWND w = makeWindow("w");
    recorded().clear();
    pump();
    EXPECT_EQ(countOf(w, WM_PAINT), 1);
    EXPECT_EQ(countOf(w, WM_ERASEBKGND), 1);
    EXPECT_EQ(screenPixel(10, 100), GetSysColor(COLOR_WINDOW));
    pump();
    EXPECT_EQ(countOf(w, WM_PAINT), 1);
}

TEST_F(PaintTest, invalid_areas_add_up_and_paint_comes_after_posted_messages)
{
    HWND w = makeWindow("w");
    pump();
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
    InvalidateRect(w, &a, FALSE);
    InvalidateRect(w, &b, FALSE);
    PostMessage(w, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.top, 5);
    EXPECT_EQ(ps.rcPaint.right, 40);
    EXPECT_EQ(ps.rcPaint.bottom, 20);
    EXPECT_TRUE(ps.fErase);  // nothing erased: no erase was asked for
    EndPaint(w, &ps);
    EXPECT_FALSE(PeekMessage(&msg, w, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(PaintTest, begin_paint_clips_to_the_invalid_area)
{
    HWND w = makeWindow("w");
    pump();
    RECT part{0, 0, 10, 10};
    InvalidateRect(w, &part, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT all{0, 0, 240, 268};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    EndPaint(w, &ps);
    DeleteObject(red);
    EXPECT_EQ(screenPixel(9, 26 + 9), RGB(255, 0, 0));
    EXPECT_EQ(screenPixel(10, 26 + 9), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(screenPixel(5, 26 + 10), GetSysColor(COLOR_WINDOW));
}

TEST_F(PaintTest, validate_cancels_the_paint_and_hidden_windows_never_paint)
{
    HWND w = makeWindow("w");
    pump();
    recorded().clear();
    InvalidateRect(w, nullptr, TRUE);
    ValidateRect(w, nullptr);
    pump();
    EXPECT_EQ(countOf(w, WM_PAINT), 0);
    ShowWindow(w, SW_HIDE);
    InvalidateRect(w, nullptr, TRUE);
    pump();
    EXPECT_EQ(countOf(w, WM_PAINT), 0);
}

TEST_F(PaintTest, parent_paints_before_children_and_children_repaint_with_it)
{
    HWND top = makeWindow("top");
    HWND c = makeWindow("c", WS_CHILD | WS_VISIBLE, top, 10, 10, 50, 50);
    pump();
    recorded().clear();
    InvalidateRect(top, nullptr, TRUE);
    pump();
    auto paints = only(WM_PAINT);
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].hwnd, top);
    EXPECT_EQ(paints[1].hwnd, c);
    // A child's own invalidation leaves the parent alone.
    recorded().clear();
    InvalidateRect(c, nullptr, FALSE);
    pump();
    EXPECT_EQ(countOf(top, WM_PAINT), 0);
    EXPECT_EQ(countOf(c, WM_PAINT), 1);
}

TEST_F(PaintTest, a_window_never_draws_over_the_windows_above_it)
{
    HWND below = makeWindow("below");
    HWND above = makeWindow("above", WS_VISIBLE, nullptr, 50, 100, 60, 60);
    pump();
    HDC dc = GetDC(below);
    RECT all{0, 0, 240, 268};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &all, blue);
    ReleaseDC(below, dc);
    DeleteObject(blue);
    EXPECT_EQ(screenPixel(10, 110), RGB(0, 0, 255));
    EXPECT_EQ(screenPixel(60, 110), GetSysColor(COLOR_WINDOW));
    EXPECT_NE(screenPixel(10, 5), RGB(0, 0, 255));  // nor over the task bar
    // Hiding the upper window uncovers and repaints the one below.
    ShowWindow(above, SW_HIDE);
    recorded().clear();
    pump();
    EXPECT_EQ(countOf(below, WM_PAINT), 1);
    EXPECT_EQ(screenPixel(60, 110), GetSysColor(COLOR_WINDOW));
}

TEST_F(PaintTest, task_bar_shows_the_active_window_title)
{
    HWND a = makeWindow("A");
    pump();
    HDC dc = GetDC(nullptr);
    auto darkPixels = [&] {
        int n = 0;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 120; ++x) n += GetPixel(dc, x, y) == GetSysColor(COLOR_CAPTIONTEXT);
        return n;
    };
    int withShortTitle = darkPixels();
    SetWindowText(a, "A much longer title");
    pump();
    int withLongTitle = darkPixels();
    ReleaseDC(nullptr, dc);
    EXPECT_GT(withShortTitle, 0);
    EXPECT_GT(withLongTitle, withShortTitle * 3);
}

}  // namespace

namespace {

DWORD gestureResult = 12345;
DWORD gestureTime = 0;

LRESULT gestureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        DWORD start = GetTickCount();
        SHRGINFO info{sizeof(SHRGINFO), hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, SHRG_RETURNCMD};
        gestureResult = SHRecognizeGesture(&info);
        gestureTime = GetTickCount() - start;
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class GestureTest : public Headless {
protected:
    HWND window = nullptr;
    void SetUp() override
    {
        Headless::SetUp();
        WNDCLASS wc{};
        wc.lpfnWndProc = gestureProc;
        wc.lpszClassName = "GestureWindow";
        RegisterClass(&wc);
        window = CreateWindowEx(0, "GestureWindow", "g", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                nullptr, nullptr, nullptr);
        pump();
        gestureResult = 12345;
    }
};

TEST_F(GestureTest, holding_still_is_the_context_menu_gesture)
{
    PlatformStylusInput(StylusDown, 50, 100);
    PlatformStylusInput(StylusMove, 52, 101);  // a tremble, not a move
    pump();
    EXPECT_EQ(gestureResult, static_cast<DWORD>(GN_CONTEXTMENU));
    EXPECT_GE(gestureTime, kTapAndHoldMs);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
}

TEST_F(GestureTest, a_lift_or_a_real_move_is_no_gesture_and_stays_queued)
{
    PlatformStylusInput(StylusDown, 50, 100);
    PlatformStylusInput(StylusUp, 50, 100);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessage(&msg);
    EXPECT_EQ(gestureResult, 0u);
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE));
    pump();
    PlatformAdvanceClock(1000);
    PlatformStylusInput(StylusDown, 50, 100);
    PlatformStylusInput(StylusMove, 80, 100);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessage(&msg);
    EXPECT_EQ(gestureResult, 0u);
    EXPECT_LT(gestureTime, kTapAndHoldMs);
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
}

}  // namespace
