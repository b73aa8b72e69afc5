#pragma once
// Headless viewer tests: a 240 x 320 screen, a parent window and views in it,
// pictures made to order, stylus input at client points and screen pixels.
#include "app/viewer/view_window.h"
#include "imagelib/bitmap.h"
#include "platform/windows.h"
#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace viewertest {

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override { start(240, 320); }
    void TearDown() override { stop(); }
    void start(int width, int height);
    void stop();

    HWND parent = nullptr;
    // A visible view at (0, 0) of the given client size.
    HWND makeView(int width, int height, COLORREF background = 0x808080);
};

// The colour every test picture has at (x, y): distinct along both axes.
COLORREF patternAt(int x, int y);
// A Bgr picture (as the main view loads them) filled with patternAt.
fotrix::Bitmap patternPicture(int width, int height);
// Gives `view` a picture of that size, owned by the view.
void showPattern(HWND view, int width, int height);

using platformtest::pump;
using platformtest::screenPixel;
COLORREF viewPixel(HWND view, int x, int y);  // client coordinates
void stylus(HWND view, StylusAction action, int x, int y);
void drag(HWND view, int x1, int y1, int x2, int y2);
void tap(HWND view, int x, int y);

// Events the owner callback heard.
std::vector<fotrix::ViewEvent>& events();
void recordEvent(const fotrix::ViewEvent& event);

}  // namespace viewertest
