#pragma once
// A headless platform for each test, with a recorder for window messages.
#include "platform/windows.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platformtest {

// Starts the headless back end on a screen of the given size; false when it cannot.
bool startHeadless(int width = 240, int height = 320, int dpi = 96);

// Starts the SDL back end on SDL's offscreen video and dummy audio drivers;
// false when it cannot. Leak checks pause until stopOffscreenSdl: SDL's drivers,
// loaded at run time, keep a few allocations to the end (the headless runs
// check our own code for leaks).
bool startOffscreenSdl(int zoom = 2);
// Ends the platform, removes the driver variables and resumes leak checks.
void stopOffscreenSdl();

// Starts the headless platform on a screen of the given size; ends it (and
// destroys every window left) after the test.
class Headless : public ::testing::Test {
protected:
    void SetUp() override { start(240, 320, 96); }
    void TearDown() override { stop(); }
    void start(int width, int height, int dpi);
    void stop();
};

struct Recorded {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Messages seen by windows of the "Recorder" class (and those made with recorderClass()).
std::vector<Recorded>& recorded();
std::vector<UINT> recordedMessages(HWND hwnd);
// Registers (once) a class whose procedure records every message and then runs
// DefWindowProc; styles vary by name.
const char* recorderClass(UINT classStyle = 0);
HWND makeWindow(const char* title, DWORD style = WS_VISIBLE, HWND parent = nullptr, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
                int w = CW_USEDEFAULT, int h = CW_USEDEFAULT, UINT classStyle = 0);
// Dispatches everything queued (paint and due timers included).
void pump();

// The screen's pixel at (x, y) as a COLORREF.
COLORREF screenPixel(int x, int y);

// A 32-bit top-down DIB section selected into a fresh memory DC.
struct MemorySurface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    MemorySurface(int w, int h, COLORREF fill = RGB(255, 255, 255));
    ~MemorySurface();
    COLORREF at(int x, int y) const;  // as COLORREF
};

// Reads a PNG into 8-bit RGB; false when it cannot.
bool readPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb);
// Compares the surface with a golden PNG in tests/platform/golden; with
// FOTRIX_UPDATE_GOLDEN=1 in the environment it writes the golden instead.
::testing::AssertionResult matchesGolden(HDC dc, int width, int height, const std::string& name);

}  // namespace platformtest
