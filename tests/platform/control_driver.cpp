#include "tests/platform/control_driver.h"

namespace platformtest {

namespace {

constexpr const char* kParentClass = "ControlDriverParent";

LRESULT parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        heard().push_back(Heard{message, static_cast<int>(header->idFrom), static_cast<int>(header->code), 0, header->hwndFrom});
        return notifyAnswer() ? notifyAnswer()(header) : 0;
    }
    case WM_COMMAND:
        heard().push_back(Heard{message, LOWORD(wParam), HIWORD(wParam), 0, reinterpret_cast<HWND>(lParam)});
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        heard().push_back(Heard{message, 0, LOWORD(wParam), static_cast<int16_t>(HIWORD(wParam)), reinterpret_cast<HWND>(lParam)});
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

std::vector<Heard>& heard()
{
    static std::vector<Heard> list;
    return list;
}

std::function<LRESULT(const NMHDR*)>& notifyAnswer()
{
    static std::function<LRESULT(const NMHDR*)> answer;
    return answer;
}

void ControlDriver::SetUp()
{
    Headless::SetUp();
    InitCommonControls();
    WNDCLASS wc{};
    if (!GetClassInfo(nullptr, kParentClass, &wc)) {
        wc.lpfnWndProc = parentProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = kParentClass;
        RegisterClass(&wc);
    }
    parent = CreateWindowEx(0, kParentClass, "parent", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    pump();
    heard().clear();
    notifyAnswer() = nullptr;
}

void ControlDriver::TearDown()
{
    notifyAnswer() = nullptr;
    heard().clear();
    Headless::TearDown();
}

HWND ControlDriver::child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

void ControlDriver::stylus(HWND w, StylusAction a, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(w, &p);
    PlatformStylusInput(a, p.x, p.y);
    pump();
}

void ControlDriver::tap(HWND w, int x, int y)
{
    stylus(w, StylusDown, x, y);
    stylus(w, StylusUp, x, y);
}

void ControlDriver::press(UINT vk)
{
    PlatformKeyInput(vk, true);
    pump();
    PlatformKeyInput(vk, false);
    pump();
}

COLORREF ControlDriver::pixel(HWND w, int x, int y)
{
    pump();
    POINT p{x, y};
    ClientToScreen(w, &p);
    return screenPixel(p.x, p.y);
}

std::vector<int> ControlDriver::codes(UINT message)
{
    std::vector<int> out;
    for (const Heard& h : heard())
        if (h.message == message) out.push_back(h.code);
    return out;
}

std::vector<std::pair<int, int>> ControlDriver::scrolls(UINT message)
{
    std::vector<std::pair<int, int>> out;
    for (const Heard& h : heard())
        if (h.message == message) out.push_back({h.code, h.value});
    return out;
}

}  // namespace platformtest
