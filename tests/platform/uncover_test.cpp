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

}  // namespace
