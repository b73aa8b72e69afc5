// Destroying a window repaints what it covered, children of other windows included.
#include "tests/platform/controls_fixture.h"

using namespace platformtest;

namespace {

class Uncover : public ControlTest {};

TEST_F(Uncover, destroying_a_pop_up_repaints_the_windows_under_it)
{
    HWND under = child(WC_STATIC, "", SS_BLACKRECT, 10, 40, 100, 60, 9);
    pump();
    POINT p{30, 30};
    ClientToScreen(under, &p);
    ASSERT_EQ(screenPixel(p.x, p.y), RGB(0, 0, 0));
    HWND pop = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE, recorderClass(), "", WS_POPUP | WS_VISIBLE, p.x - 10,
                              p.y - 10, 50, 50, parent, nullptr, nullptr, nullptr);
    pump();
    ASSERT_EQ(screenPixel(p.x, p.y), GetSysColor(COLOR_WINDOW));
    DestroyWindow(pop);
    pump();
    EXPECT_EQ(screenPixel(p.x, p.y), RGB(0, 0, 0));
    // A destroyed child leaves its parent's background behind.
    DestroyWindow(under);
    pump();
    EXPECT_EQ(screenPixel(p.x, p.y), GetSysColor(COLOR_WINDOW));
}

// UpdateWindow on a child whose parent has yet to paint: the parent paints
// first, so that its later paint does not cover the child.
TEST_F(Uncover, a_child_updated_before_its_parent_stays_drawn)
{
    HWND page = CreateWindowEx(0, recorderClass(), "", WS_CHILD | WS_VISIBLE, 0, 20, 200, 200, parent, nullptr, nullptr, nullptr);
    HWND black = CreateWindowEx(0, WC_STATIC, "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 50, 50, page, nullptr, nullptr, nullptr);
    UpdateWindow(black);
    pump();
    POINT p{20, 20};
    ClientToScreen(black, &p);
    EXPECT_EQ(screenPixel(p.x, p.y), RGB(0, 0, 0));
}

}  // namespace
