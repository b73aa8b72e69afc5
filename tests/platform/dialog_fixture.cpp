#include "tests/platform/dialog_fixture.h"

namespace platformtest {

namespace {

std::deque<Step> steps;
int turns = 0;

LRESULT ownerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        HWND dialog = reinterpret_cast<HWND>(lParam);
        ++turns;
        testsupport::runNextStep(steps, dialog);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

void DialogTest::SetUp()
{
    Headless::SetUp();
    InitCommonControls();
    WNDCLASS wc{};
    wc.lpfnWndProc = ownerProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = "ScriptedOwner";
    RegisterClass(&wc);
    owner = CreateWindowEx(0, "ScriptedOwner", "Owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    steps.clear();
    turns = 0;
    pump();
}

void DialogTest::TearDown()
{
    steps.clear();
    Headless::TearDown();
}

void DialogTest::script(std::vector<Step> list)
{
    steps.assign(list.begin(), list.end());
    turns = 0;
}

int DialogTest::idleTurns() const { return turns; }

void DialogTest::stylusAt(HWND w, StylusAction a, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(w, &p);
    PlatformStylusInput(a, p.x, p.y);
}

void DialogTest::tapAt(HWND w, int x, int y)
{
    stylusAt(w, StylusDown, x, y);
    stylusAt(w, StylusUp, x, y);
}

void DialogTest::tapCentre(HWND w)
{
    RECT r;
    GetClientRect(w, &r);
    tapAt(w, r.right / 2, r.bottom / 2);
}

void DialogTest::keyPress(UINT vk)
{
    PlatformKeyInput(vk, true);
    PlatformKeyInput(vk, false);
}

Step DialogTest::key(UINT vk)
{
    return [vk](HWND) { keyPress(vk); };
}

Step DialogTest::keys(std::vector<UINT> vks)
{
    return [vks](HWND) {
        for (UINT vk : vks) keyPress(vk);
    };
}

COLORREF DialogTest::pixelAt(HWND w, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(w, &p);
    return screenPixel(p.x, p.y);
}

}  // namespace platformtest
