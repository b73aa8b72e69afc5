// The view window: zoom limits, fit rules and centring, selections, zooming
// into a selection, panning and scroll limits, taps and gestures, painting.
#include "tests/app/viewer_fixture.h"

using namespace fotrix;
using namespace viewertest;

namespace {

using ViewWindow = ViewerTest;

TEST_F(ViewWindow, zoom_outside_11_to_1199_is_ignored)
{
    HWND view = makeView(240, 268);
    showPattern(view, 100, 100);
    SetFitMode(view, ShrinkLarge);
    SetZoom(view, 10);
    EXPECT_EQ(GetZoom(view), 100);
    EXPECT_EQ(GetFitMode(view), ShrinkLarge);
    SetZoom(view, 1200);
    EXPECT_EQ(GetFitMode(view), ShrinkLarge);
    SetZoom(view, 11);
    EXPECT_EQ(GetZoom(view), 11);
    EXPECT_EQ(GetFitMode(view), FixedZoom);
    EXPECT_EQ(GetDisplaySize(view).cx, 11);
    SetZoom(view, 1199);
    EXPECT_EQ(GetZoom(view), 1199);
    EXPECT_EQ(GetDisplaySize(view).cx, 1199);
}

TEST_F(ViewWindow, shrink_large_keeps_small_pictures_at_actual_size_centred)
{
    HWND view = makeView(240, 268, RGB(0, 0, 0xFF));
    SetFitMode(view, ShrinkLarge);
    showPattern(view, 100, 100);
    EXPECT_EQ(GetZoom(view), 100);
    EXPECT_EQ(GetDisplaySize(view).cx, 100);
    POINT scroll = GetScrollPosition(view);
    EXPECT_EQ(scroll.x, -70);
    EXPECT_EQ(scroll.y, -84);
    // On screen: background around it, the picture's corners at 70, 84.
    EXPECT_EQ(viewPixel(view, 69, 84), RGB(0, 0, 0xFF));
    EXPECT_EQ(viewPixel(view, 70, 84), patternAt(0, 0));
    EXPECT_EQ(viewPixel(view, 169, 183), patternAt(99, 99));
    EXPECT_EQ(viewPixel(view, 170, 183), RGB(0, 0, 0xFF));
    EXPECT_EQ(viewPixel(view, 100, 184), RGB(0, 0, 0xFF));
}

TEST_F(ViewWindow, shrink_large_fits_large_pictures_into_the_window)
{
    HWND view = makeView(240, 268, RGB(0, 0xFF, 0));
    SetFitMode(view, ShrinkLarge);
    showPattern(view, 1000, 500);
    EXPECT_EQ(GetZoom(view), 24);
    EXPECT_EQ(GetDisplaySize(view).cx, 240);
    EXPECT_EQ(GetDisplaySize(view).cy, 120);
    EXPECT_EQ(GetScrollPosition(view).x, 0);
    EXPECT_EQ(GetScrollPosition(view).y, -74);
    EXPECT_EQ(viewPixel(view, 10, 73), RGB(0, 0xFF, 0));
    // Display pixel (x, y) shows source pixel (x * 1000 / 240, y * 500 / 120).
    EXPECT_EQ(viewPixel(view, 0, 74), patternAt(0, 0));
    EXPECT_EQ(viewPixel(view, 239, 74 + 119), patternAt(239 * 1000 / 240, 119 * 500 / 120));
    EXPECT_EQ(viewPixel(view, 10, 194), RGB(0, 0xFF, 0));
}

TEST_F(ViewWindow, fit_window_enlarges_small_pictures)
{
    HWND view = makeView(240, 268);
    showPattern(view, 60, 40);  // fit window is the default
    EXPECT_EQ(GetFitMode(view), FitWindow);
    EXPECT_EQ(GetDisplaySize(view).cx, 240);
    EXPECT_EQ(GetDisplaySize(view).cy, 160);
    EXPECT_EQ(GetZoom(view), 400);
    EXPECT_EQ(GetScrollPosition(view).y, -54);
    EXPECT_EQ(viewPixel(view, 239, 54 + 159), patternAt(59, 39));
    // A tall picture: the height fills the window.
    showPattern(view, 10, 67);
    EXPECT_EQ(GetDisplaySize(view).cy, 268);
    EXPECT_EQ(GetDisplaySize(view).cx, 40);
}

TEST_F(ViewWindow, fit_width_and_height_fill_one_side)
{
    HWND view = makeView(240, 268);
    showPattern(view, 120, 100);
    SetFitMode(view, FitWidth);
    EXPECT_EQ(GetDisplaySize(view).cx, 240);
    EXPECT_EQ(GetDisplaySize(view).cy, 200);
    // Too wide for the window: the height leaves room for a horizontal bar.
    SetFitMode(view, FitHeight);
    int height = 268 - GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_EQ(GetDisplaySize(view).cy, height);
    EXPECT_EQ(GetDisplaySize(view).cx, 120 * height / 100);
    EXPECT_GT(GetScrollPosition(view).x, -1);  // wider than the window: it scrolls
}

TEST_F(ViewWindow, zoom_keeps_the_point_at_the_centre)
{
    HWND view = makeView(240, 268);
    showPattern(view, 400, 400);
    SetZoom(view, 100);
    ScrollBy(view, -1000, -1000);
    ScrollBy(view, 30, 40);
    ASSERT_EQ(GetScrollPosition(view).x, 30);
    // Centre point 150, 174 of the picture; at 200 % it is display 300, 348.
    SetZoom(view, 200);
    pump();
    EXPECT_EQ(GetScrollPosition(view).x, 300 - 120);
    EXPECT_EQ(GetScrollPosition(view).y, 348 - 134);
    EXPECT_EQ(viewPixel(view, 120, 134), patternAt(150, 174));
}

TEST_F(ViewWindow, selections_of_two_pixels_or_less_are_dropped)
{
    HWND view = makeView(240, 268);
    showPattern(view, 240, 268);
    SetZoom(view, 100);
    SetMouseMode(view, 1);
    drag(view, 10, 10, 12, 20);
    Rect r;
    EXPECT_FALSE(GetSelection(view, &r));
    drag(view, 10, 10, 13, 13);
    ASSERT_TRUE(GetSelection(view, &r));
    EXPECT_EQ(r.x, 10);
    EXPECT_EQ(r.y, 10);
    EXPECT_EQ(r.w, 3);
    EXPECT_EQ(r.h, 3);
    // Drawn up and to the left, the rectangle is normalised.
    drag(view, 100, 120, 40, 60);
    ASSERT_TRUE(GetSelection(view, &r));
    EXPECT_EQ(r.x, 40);
    EXPECT_EQ(r.w, 60);
    EXPECT_EQ(viewPixel(view, 70, 60), RGB(0xFF, 0, 0));   // the red frame
    EXPECT_EQ(viewPixel(view, 70, 61), patternAt(70, 61));  // inside it the picture
}

TEST_F(ViewWindow, zoom_to_selection_picks_the_largest_zoom_that_fits)
{
    HWND view = makeView(240, 268);
    showPattern(view, 200, 200);
    Rect sel{20, 20, 50, 50};
    SetSelection(view, &sel);
    ZoomToSelection(view);
    EXPECT_EQ(GetZoom(view), 400);
    EXPECT_EQ(GetFitMode(view), FixedZoom);
    EXPECT_FALSE(GetSelection(view, nullptr));
    EXPECT_EQ(GetScrollPosition(view).x, 80 - 20);
    EXPECT_EQ(GetScrollPosition(view).y, 80 - 34);
    // A selection too large for every entry: 7 percent.
    SetZoom(view, 100);
    Rect huge{0, 0, 200, 200};
    SetSelection(view, &huge);
    ZoomToSelection(view);
    EXPECT_EQ(GetZoom(view), 100);
}

TEST_F(ViewWindow, panning_follows_the_stylus_within_the_scroll_limits)
{
    HWND view = makeView(240, 268);
    showPattern(view, 480, 536);
    SetZoom(view, 100);
    SetMouseMode(view, 2);
    ScrollBy(view, -1000, -1000);
    ASSERT_EQ(GetScrollPosition(view).x, 0);
    drag(view, 200, 200, 100, 150);
    EXPECT_EQ(GetScrollPosition(view).x, 100);
    EXPECT_EQ(GetScrollPosition(view).y, 50);
    EXPECT_EQ(viewPixel(view, 5, 6), patternAt(105, 56));
    // The last pixel can be brought to the edge, no further.
    drag(view, 230, 260, 0, 0);
    EXPECT_EQ(GetScrollPosition(view).x, 240);
    EXPECT_EQ(GetScrollPosition(view).y, 268);
    EXPECT_EQ(viewPixel(view, 239, 267), patternAt(479, 535));
    ScrollBy(view, 50, 50);
    EXPECT_EQ(GetScrollPosition(view).x, 240);
    // Dragging the other way never goes below 0.
    drag(view, 0, 0, 239, 267);
    drag(view, 0, 0, 239, 267);
    EXPECT_EQ(GetScrollPosition(view).x, 0);
    EXPECT_EQ(GetScrollPosition(view).y, 0);
    // With dragging switched off nothing moves.
    SetMouseMode(view, 0);
    drag(view, 200, 200, 100, 100);
    EXPECT_EQ(GetScrollPosition(view).x, 0);
}

TEST_F(ViewWindow, a_picture_that_fits_does_not_scroll)
{
    HWND view = makeView(240, 268);
    showPattern(view, 100, 100);
    SetZoom(view, 100);
    ScrollBy(view, 10, 10);
    EXPECT_EQ(GetScrollPosition(view).x, -70);
    EXPECT_EQ(GetScrollPosition(view).y, -84);
}

TEST_F(ViewWindow, scroll_bars_take_their_room_and_scroll_the_picture)
{
    HWND view = makeView(240, 268);
    SetScrollbars(view, true);
    showPattern(view, 480, 200);  // wider only
    SetZoom(view, 100);
    LONG style = GetWindowLong(view, GWL_STYLE);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_FALSE(style & WS_VSCROLL);
    RECT rc;
    GetClientRect(view, &rc);
    EXPECT_EQ(rc.bottom, 268 - GetSystemMetrics(SM_CYHSCROLL));
    SendMessage(view, WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(GetScrollPosition(view).x, 240);
    EXPECT_EQ(GetScrollPos(view, SB_HORZ), 240);
    SendMessage(view, WM_HSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(GetScrollPosition(view).x, 239);
    SendMessage(view, WM_HSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(GetScrollPosition(view).x, 239 - 240 < 0 ? 0 : 239 - 240);
    SendMessage(view, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 120), 0);
    EXPECT_EQ(GetScrollPosition(view).x, 120);
    // The picture is no higher than the window: the vertical bar does nothing.
    int y = GetScrollPosition(view).y;
    SendMessage(view, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(GetScrollPosition(view).y, y);
    SetScrollbars(view, false);
    EXPECT_FALSE(GetWindowLong(view, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(ViewWindow, owner_hears_taps_double_taps_holds_and_selections)
{
    HWND view = makeView(240, 268);
    showPattern(view, 240, 268);
    SetZoom(view, 100);
    SetCallback(view, recordEvent, &events());
    tap(view, 50, 60);
    ASSERT_EQ(events().size(), 1u);
    EXPECT_EQ(events()[0].kind, ViewTapReleased);
    EXPECT_EQ(events()[0].point.x, 50);
    EXPECT_FALSE(events()[0].hasSelection);
    EXPECT_EQ(events()[0].callbackData, &events());
    tap(view, 50, 60);  // within the double-tap time: the second is a double tap
    ASSERT_GE(events().size(), 2u);
    EXPECT_EQ(events().back().kind, ViewDoubleTap);
    PlatformAdvanceClock(2000);
    events().clear();
    // Held still: tap-and-hold with the screen point, and no tap after it.
    stylus(view, StylusDown, 30, 40);
    pump();
    ASSERT_EQ(events().size(), 1u);
    EXPECT_EQ(events()[0].kind, ViewTapAndHold);
    POINT screen{30, 40};
    ClientToScreen(view, &screen);
    EXPECT_EQ(events()[0].point.x, screen.x);
    EXPECT_EQ(events()[0].point.y, screen.y);
    stylus(view, StylusUp, 30, 40);
    pump();
    EXPECT_EQ(events().size(), 1u);
    // Drawing a selection reports it while it grows, then the release.
    PlatformAdvanceClock(2000);
    events().clear();
    SetMouseMode(view, 1);
    drag(view, 20, 20, 60, 50);
    ASSERT_GE(events().size(), 2u);
    EXPECT_EQ(events().front().kind, ViewSelectionChanging);
    const ViewEvent& last = events()[events().size() - 2];
    EXPECT_EQ(last.kind, ViewSelectionChanging);
    EXPECT_EQ(last.selection.w, 40);
    EXPECT_EQ(last.selection.h, 30);
    EXPECT_EQ(events().back().kind, ViewTapReleased);
    EXPECT_TRUE(events().back().hasSelection);
}

TEST_F(ViewWindow, label_is_drawn_in_red_over_white_at_the_top)
{
    HWND view = makeView(240, 268, RGB(0, 0, 0));
    SetLabel(view, "IMG_0001.JPG");
    pump();
    SetPicture(view, nullptr, true);
    pump();
    int red = 0, white = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 240; ++x) {
            COLORREF c = viewPixel(view, x, y);
            red += GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80;
            white += GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(white, 5);
    SetLabel(view, nullptr);
    pump();
    for (int x = 0; x < 240; ++x) ASSERT_EQ(viewPixel(view, x, 8), RGB(0, 0, 0)) << x;
}

TEST_F(ViewWindow, clearing_the_view_paints_the_background)
{
    HWND view = makeView(240, 268, RGB(10, 20, 30));
    showPattern(view, 300, 300);
    EXPECT_NE(viewPixel(view, 120, 134), RGB(10, 20, 30));
    SetPicture(view, nullptr, true);
    pump();
    EXPECT_EQ(GetPictureSize(view).cx, 0);
    EXPECT_EQ(viewPixel(view, 120, 134), RGB(10, 20, 30));
}

TEST_F(ViewWindow, a_borrowed_picture_stays_with_its_owner)
{
    HWND view = makeView(240, 268);
    Bitmap frame = patternPicture(50, 50);
    SetPicture(view, &frame, false);
    EXPECT_NE(frame.pixels, nullptr);
    EXPECT_EQ(GetViewBitmap(view)->pixels, frame.pixels);
    SetPicture(view, nullptr, false);
    ASSERT_NE(frame.pixels, nullptr);
    EXPECT_EQ(frame.pixels[0], GetBValue(patternAt(0, 0)));
    bitmapFree(frame);
}

TEST_F(ViewWindow, device_bitmaps_are_stretched_to_the_display)
{
    HWND view = makeView(240, 268, RGB(0, 0, 0));
    SetKeepBitmap(view, false);
    showPattern(view, 60, 67);  // fit window: 4 times
    EXPECT_EQ(GetViewBitmap(view), nullptr);
    EXPECT_EQ(GetDisplaySize(view).cx, 240);
    EXPECT_EQ(viewPixel(view, 0, 0), patternAt(0, 0));
    EXPECT_EQ(viewPixel(view, 239, 267), patternAt(59, 66));
}

TEST_F(ViewWindow, preview_copy_restores_the_pixels)
{
    HWND view = makeView(240, 268);
    showPattern(view, 20, 20);
    ASSERT_TRUE(MakePreviewCopy(view));
    Bitmap* shown = GetViewBitmap(view);
    shown->pixels[0] = 0;
    shown->pixels[1] = 0;
    shown->pixels[2] = 0;
    RefreshPicture(view);
    pump();
    EXPECT_EQ(viewPixel(view, 0, 14), RGB(0, 0, 0));  // fit window: 240 x 240 from y = 14
    EndPreview(view, false);
    pump();
    EXPECT_EQ(viewPixel(view, 0, 14), patternAt(0, 0));
    EXPECT_EQ(GetPreviewCopy(view), nullptr);
    // Indexed pictures get no copy.
    Bitmap grey;
    ASSERT_TRUE(bitmapAllocate(grey, Grey, 4, 8, 8));
    SetPicture(view, &grey, true);
    EXPECT_FALSE(MakePreviewCopy(view));
}

TEST_F(ViewWindow, operations_on_other_windows_do_nothing)
{
    SetZoom(parent, 200);
    SetFitMode(parent, FitWidth);
    ScrollBy(parent, 5, 5);
    EXPECT_EQ(GetZoom(parent), 100);
    EXPECT_EQ(GetPictureSize(parent).cx, 0);
    EXPECT_EQ(GetWindowLongPtr(parent, GWLP_USERDATA), 0);
}

}  // namespace
