// Transitions: the shuffled order, the 23 effects' shapes, their steps on the
// platform clock and the tap that cuts them short.
#include "app/viewer/view_transition.h"
#include "tests/app/viewer_fixture.h"

#include <algorithm>
#include <set>

using namespace fotrix;
using namespace viewertest;

namespace {

using Transitions = ViewerTest;

// Which pixels of a w x h area an effect shows after a step.
std::vector<bool> coverage(int effect, int step, int w, int h)
{
    std::vector<RECT> parts;
    TransitionRevealed(effect, step, TransitionSteps(effect), w, h, parts);
    std::vector<bool> shown(static_cast<size_t>(w * h), false);
    for (const RECT& r : parts) {
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, w);
        EXPECT_LE(r.bottom, h);
        for (int y = std::max(0, static_cast<int>(r.top)); y < std::min(h, static_cast<int>(r.bottom)); ++y)
            for (int x = std::max(0, static_cast<int>(r.left)); x < std::min(w, static_cast<int>(r.right)); ++x)
                shown[static_cast<size_t>(y * w + x)] = true;
    }
    return shown;
}

TEST_F(Transitions, the_24th_transition_repeats_the_first)
{
    const int* order = TransitionOrder();
    std::set<int> numbers(order, order + kTransitionCount);
    EXPECT_EQ(numbers.size(), 23u);
    EXPECT_EQ(*numbers.begin(), 0);
    EXPECT_EQ(*numbers.rbegin(), 22);
    ViewState state;
    std::vector<int> taken;
    for (int i = 0; i < 24; ++i) taken.push_back(NextTransitionEffect(state));
    EXPECT_EQ(taken[23], taken[0]);
    EXPECT_EQ(std::set<int>(taken.begin(), taken.begin() + 23).size(), 23u);
    for (int i = 0; i < 23; ++i) EXPECT_EQ(taken[i], order[i]);
}

TEST_F(Transitions, every_effect_uncovers_step_by_step_and_ends_complete)
{
    const int w = 240, h = 320;
    std::set<std::vector<bool>> shapes;
    for (int effect = 0; effect < kTransitionCount; ++effect) {
        int steps = TransitionSteps(effect);
        EXPECT_EQ(steps, effect < 17 ? 100 : 20);
        auto count = [](const std::vector<bool>& v) { return std::count(v.begin(), v.end(), true); };
        long previous = 0;
        for (int step : {steps / 4, steps / 2, steps * 3 / 4}) {
            long shown = count(coverage(effect, step, w, h));
            EXPECT_GT(shown, 0) << "effect " << effect << " step " << step;
            EXPECT_LT(shown, w * h) << "effect " << effect << " step " << step;
            EXPECT_GE(shown, previous) << "effect " << effect;
            previous = shown;
        }
        EXPECT_EQ(count(coverage(effect, steps, w, h)), w * h) << "effect " << effect;
        shapes.insert(coverage(effect, steps / 3, w, h));
    }
    // Each effect has a shape of its own.
    EXPECT_EQ(shapes.size(), 23u);
}

TEST_F(Transitions, a_transition_runs_its_steps_on_the_clock_and_shows_the_picture)
{
    HWND view = makeView(240, 268, RGB(0, 0, 0));
    ViewState* state = viewStateOf(view);
    ASSERT_NE(state, nullptr);
    for (int i = 0; i < 2; ++i) {
        int effect = TransitionOrder()[state->transitionCounter];
        DWORD before = GetTickCount();
        Bitmap picture = patternPicture(60, 67);
        SetPictureWithTransition(view, &picture);
        EXPECT_EQ(picture.pixels, nullptr);  // converted and freed
        EXPECT_EQ(GetTickCount() - before, static_cast<DWORD>((TransitionSteps(effect) - 1) * 10)) << effect;
        EXPECT_EQ(viewPixel(view, 0, 0), patternAt(0, 0));
        EXPECT_EQ(viewPixel(view, 239, 267), patternAt(59, 66));
        pump();
        EXPECT_EQ(viewPixel(view, 120, 134), patternAt(30, 33));
    }
    EXPECT_EQ(state->transitionCounter, 2);
}

TEST_F(Transitions, a_tap_ends_the_transition_at_once_with_the_picture_complete)
{
    HWND view = makeView(240, 268, RGB(0, 0, 0));
    stylus(view, StylusDown, 100, 100);
    stylus(view, StylusUp, 100, 100);
    DWORD before = GetTickCount();
    Bitmap picture = patternPicture(60, 67);
    SetPictureWithTransition(view, &picture);
    EXPECT_EQ(GetTickCount() - before, 0u);
    EXPECT_EQ(viewPixel(view, 0, 0), patternAt(0, 0));
    EXPECT_EQ(viewPixel(view, 239, 267), patternAt(59, 66));
    // The tap is still there for the view to act on.
    MSG msg;
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE));
}

}  // namespace
