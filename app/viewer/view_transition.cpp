// Running a transition: the final frame (background and picture) is composed
// once off screen, then each step copies the parts the effect shows so far
// onto the view and waits up to 10 ms of the platform clock, watching for a
// tap that ends the effect with the picture complete.
#include "app/viewer/view_trace.h"
#include "app/viewer/view_transition.h"
#include "app/viewer/view_window.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace fotrix {

namespace {

constexpr DWORD kStepWaitMs = 10;

bool clockIsVirtual() { return std::strcmp(PlatformBackendName(), "headless") == 0; }

// True when a stylus lift waits in the queue (it stays there for its window).
bool tapWaiting()
{
    MSG msg;
    return PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE) != 0;
}

// Waits out the rest of the step, or returns true at once for a tap.
bool waitStep(DWORD started)
{
    for (;;) {
        if (tapWaiting()) return true;
        DWORD spent = GetTickCount() - started;
        if (spent >= kStepWaitMs) return false;
        if (clockIsVirtual()) PlatformAdvanceClock(kStepWaitMs - spent);
        else Sleep(1);
    }
}

// Where the picture goes: effects 0 and 1 use the place the layout gave it,
// the others centre it.
RECT picturePlace(const ViewState& s, int effect, const RECT& client)
{
    if (effect <= 1) return RECT{-s.scrollX, -s.scrollY, -s.scrollX + s.displayWidth, -s.scrollY + s.displayHeight};
    int left = (client.right - s.displayWidth) / 2, top = (client.bottom - s.displayHeight) / 2;
    return RECT{left, top, left + s.displayWidth, top + s.displayHeight};
}

HBITMAP composeFrame(HDC screen, const ViewState& s, const RECT& client, const RECT& place, HDC* frameDc)
{
    HBITMAP frame = CreateCompatibleBitmap(screen, client.right, client.bottom);
    *frameDc = CreateCompatibleDC(screen);
    SelectObject(*frameDc, frame);
    HBRUSH brush = CreateSolidBrush(s.background);
    FillRect(*frameDc, &client, brush);
    DeleteObject(brush);
    if (s.deviceBitmap) {
        HDC picture = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(picture, s.deviceBitmap);
        StretchBlt(*frameDc, place.left, place.top, place.right - place.left, place.bottom - place.top, picture, 0, 0,
                   s.pictureWidth, s.pictureHeight, SRCCOPY);
        SelectObject(picture, old);
        DeleteDC(picture);
    }
    return frame;
}

}  // namespace

const int* TransitionOrder()
{
    static const auto order = [] {
        std::pair<int, int> keyed[kTransitionCount];
        for (int i = 0; i < kTransitionCount; ++i) keyed[i] = {std::rand(), i};
        std::stable_sort(std::begin(keyed), std::end(keyed),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::array<int, kTransitionCount> numbers{};
        for (int i = 0; i < kTransitionCount; ++i) numbers[i] = keyed[i].second;
        return numbers;
    }();
    return order.data();
}

int NextTransitionEffect(ViewState& s)
{
    int counter = s.transitionCounter % kTransitionCount;
    s.transitionCounter = (counter + 1) % kTransitionCount;
    return TransitionOrder()[counter];
}

void RunTransition(HWND view, ViewState& s)
{
    int effect = NextTransitionEffect(s);
    RECT client;
    GetClientRect(view, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    HDC screen = GetDC(view);
    RECT place = picturePlace(s, effect, client);
    HDC frameDc = nullptr;
    HBITMAP frame = composeFrame(screen, s, client, place, &frameDc);
    // Steps uncover the picture's rectangle; the area around it is background at once.
    HBRUSH brush = CreateSolidBrush(s.background);
    FillRect(screen, &client, brush);
    DeleteObject(brush);
    int steps = TransitionSteps(effect);
    int w = place.right - place.left, h = place.bottom - place.top;
    std::vector<RECT> parts;
    const bool trace = ViewTraceOn();
    long long drawTotal = 0, drawMax = 0;
    int drawn = 0;
    for (int step = 1; step <= steps; ++step) {
        DWORD started = GetTickCount();
        auto drawStart = std::chrono::steady_clock::now();
        bool tapped = step < steps && tapWaiting();
        TransitionRevealed(effect, tapped ? steps : step, steps, w, h, parts);
        for (const RECT& r : parts)
            BitBlt(screen, place.left + r.left, place.top + r.top, r.right - r.left, r.bottom - r.top, frameDc,
                   place.left + r.left, place.top + r.top, SRCCOPY);
        if (trace) {
            long long spent = MicrosSince(drawStart);
            drawTotal += spent;
            drawMax = std::max(drawMax, spent);
            ++drawn;
        }
        if (tapped || step == steps) break;
        if (waitStep(started)) {
            BitBlt(screen, place.left, place.top, w, h, frameDc, place.left, place.top, SRCCOPY);
            break;
        }
    }
    if (trace) TraceTransition(effect, drawn, drawTotal, drawMax);
    DeleteDC(frameDc);
    DeleteObject(frame);
    ReleaseDC(view, screen);
    // A normal paint follows, so that the label and the picture's place are
    // those of every later paint.
    InvalidateRect(view, nullptr, FALSE);
}

}  // namespace fotrix
