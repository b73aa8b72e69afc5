#pragma once
// Drives controls headless: a parent window that records the notifications it
// hears (copied while the sender's records are still alive) and can refuse
// changes, plus stylus, key and pixel helpers.
#include "platform/controls/controls.h"
#include "tests/support/platform_support.h"

#include <functional>
#include <utility>
#include <vector>

namespace platformtest {

struct Heard {
    UINT message;  // WM_NOTIFY, WM_COMMAND, WM_HSCROLL or WM_VSCROLL
    int id;        // control id (WM_NOTIFY, WM_COMMAND); 0 for scroll messages
    int code;      // notification or scroll code
    int value;     // WM_*SCROLL: HIWORD(wParam); others 0
    HWND from;     // the control (lParam of WM_COMMAND and WM_*SCROLL, hwndFrom of WM_NOTIFY)
};

// What the driver's parent windows heard, in order.
std::vector<Heard>& heard();
// The parent answers WM_NOTIFY with this function's result (0 when unset).
std::function<LRESULT(const NMHDR* header)>& notifyAnswer();

class ControlDriver : public Headless {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id);
    static void stylus(HWND w, StylusAction a, int x, int y);
    static void tap(HWND w, int x, int y);
    static void press(UINT vk);  // key down and up
    static COLORREF pixel(HWND w, int x, int y);

    // Codes of one message kind the parent heard, in order.
    static std::vector<int> codes(UINT message);
    // (code, HIWORD(wParam)) of the WM_HSCROLL or WM_VSCROLL the parent heard.
    static std::vector<std::pair<int, int>> scrolls(UINT message);

    HWND parent = nullptr;
};

}  // namespace platformtest
