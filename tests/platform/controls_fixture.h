#pragma once
// A parent window with recorded messages, and stylus, key and pixel helpers,
// for tests that drive controls headless.
#include "platform/controls/controls.h"
#include "tests/support/platform_support.h"

#include <utility>
#include <vector>

namespace platformtest {

class ControlTest : public Headless {
protected:
    void SetUp() override
    {
        Headless::SetUp();
        InitCommonControls();
        parent = makeWindow("parent", WS_VISIBLE);
        pump();
        recorded().clear();
    }
    HWND child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id)
    {
        return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }
    static void stylus(HWND w, StylusAction a, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(w, &p);
        PlatformStylusInput(a, p.x, p.y);
        pump();
    }
    static void tap(HWND w, int x, int y)
    {
        stylus(w, StylusDown, x, y);
        stylus(w, StylusUp, x, y);
    }
    static void key(UINT vk)
    {
        PlatformKeyInput(vk, true);
        pump();
        PlatformKeyInput(vk, false);
        pump();
    }
    // A key pressed while a modifier (Shift, Ctrl, Alt) is held.
    static void chord(UINT modifier, UINT vk)
    {
        PlatformKeyInput(modifier, true);
        key(vk);
        PlatformKeyInput(modifier, false);
        pump();
    }
    static void type(const char* text)
    {
        PlatformTextInput(text);
        pump();
    }
    static COLORREF pixel(HWND w, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(w, &p);
        return screenPixel(p.x, p.y);
    }
    // WM_COMMAND codes the parent received from control `id`, in order.
    std::vector<int> codes(int id) const
    {
        std::vector<int> out;
        for (const Recorded& r : recorded())
            if (r.hwnd == parent && r.message == WM_COMMAND && LOWORD(r.wParam) == id) out.push_back(HIWORD(r.wParam));
        return out;
    }
    int count(int id, int code) const
    {
        int n = 0;
        for (int c : codes(id)) n += c == code;
        return n;
    }
    HWND parent = nullptr;
};

}  // namespace platformtest
