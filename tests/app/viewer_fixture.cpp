#include "tests/app/viewer_fixture.h"
#include "platform/controls/controls.h"

#include <algorithm>
#include <cstdlib>

namespace viewertest {

namespace {

BOOL destroyEach(HWND hwnd, LPARAM)
{
    DestroyWindow(hwnd);
    return TRUE;
}

}  // namespace

void ViewerTest::start(int width, int height)
{
    ASSERT_TRUE(platformtest::startHeadless(width, height));
    InitCommonControls();  // message boxes are made of its controls
    events().clear();
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "ViewerTestParent";
    RegisterClass(&wc);
    // In the work area, below the task bar, so that what the views show is on screen.
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    parent = CreateWindow("ViewerTestParent", "Fotrix Pocket", WS_VISIBLE | WS_POPUP, work.left, work.top,
                          work.right - work.left, work.bottom - work.top, nullptr, nullptr, nullptr, nullptr);
    pump();
}

void ViewerTest::stop()
{
    EnumWindows(destroyEach, 0);
    ReleaseCapture();
    PlatformRunPending();
    PlatformShutdown();
    events().clear();
}

HWND ViewerTest::makeView(int width, int height, COLORREF background)
{
    RECT place{0, 0, width, height};
    HWND view = fotrix::CreateView(parent, WS_VISIBLE, &place, background, 1002);
    pump();
    return view;
}

COLORREF patternAt(int x, int y) { return RGB((x * 7) & 0xFF, (y * 5) & 0xFF, ((x + y) * 3 + 40) & 0xFF); }

fotrix::Bitmap patternPicture(int width, int height)
{
    fotrix::Bitmap b;
    if (!fotrix::bitmapAllocate(b, fotrix::Bgr, 4, width, height)) return b;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = fotrix::bitmapRow(b, y);
        for (int x = 0; x < width; ++x) {
            COLORREF c = patternAt(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return b;
}

void showPattern(HWND view, int width, int height)
{
    fotrix::Bitmap b = patternPicture(width, height);
    fotrix::SetPicture(view, &b, true);
    pump();
}

COLORREF viewPixel(HWND view, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(view, &p);
    return screenPixel(p.x, p.y);
}

void stylus(HWND view, StylusAction action, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(view, &p);
    PlatformStylusInput(action, p.x, p.y);
}

// After the double-tap time: press, moves of at most 8 pixels, lift: as the script driver drags.
void drag(HWND view, int x1, int y1, int x2, int y2)
{
    PlatformAdvanceClock(GetDoubleClickTime() + 1);  // never the second half of a double tap
    stylus(view, StylusDown, x1, y1);
    int steps = std::max(1, (std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 7) / 8);
    for (int i = 1; i <= steps; ++i) stylus(view, StylusMove, x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
    stylus(view, StylusUp, x2, y2);
    pump();
}

void tap(HWND view, int x, int y)
{
    stylus(view, StylusDown, x, y);
    stylus(view, StylusUp, x, y);
    pump();
}

std::vector<fotrix::ViewEvent>& events()
{
    static std::vector<fotrix::ViewEvent> list;
    return list;
}

void recordEvent(const fotrix::ViewEvent& event) { events().push_back(event); }

}  // namespace viewertest
