// The "CBmpClass" window class: registration, creation, the record's life and
// the message table.
#include "app/viewer/view_handlers.h"
#include "app/viewer/view_state.h"
#include "app/viewer/view_window.h"

#include <cstring>

namespace fotrix {

namespace {

LRESULT onCreate(HWND view, UINT, WPARAM, LPARAM)
{
    auto* state = new ViewState();
    state->keepBitmap = true;
    state->fitMode = FitWindow;
    state->zoomX = state->zoomY = 100;
    SetWindowLongPtr(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return 0;
}

LRESULT onSize(HWND view, UINT, WPARAM, LPARAM)
{
    ViewState* s = viewStateOf(view);
    if (s && viewHasPicture(*s)) viewLayout(view, *s, false);
    return 0;
}

LRESULT onDestroy(HWND view, UINT, WPARAM, LPARAM)
{
    // The record straight from the window word: a window being destroyed may
    // no longer count as a window.
    auto* s = reinterpret_cast<ViewState*>(GetWindowLongPtr(view, GWLP_USERDATA));
    if (!s) return 0;
    if (s->capture != CaptureNone) ReleaseCapture();
    viewDropPicture(*s);
    displayFree(s->display);
    SetWindowLongPtr(view, GWLP_USERDATA, 0);
    delete s;
    return 0;
}

LRESULT ignore(HWND, UINT, WPARAM, LPARAM) { return 0; }

constexpr MessageEntry kViewMessages[] = {
    {WM_CREATE, onCreate},
    {WM_SIZE, onSize},
    {WM_MOVE, ignore},
    {WM_DESTROY, onDestroy},
    {WM_PAINT, viewOnPaint},
    {WM_HSCROLL, viewOnScroll},
    {WM_VSCROLL, viewOnScroll},
    {WM_LBUTTONDOWN, viewOnButtonDown},
    {WM_MOUSEMOVE, viewOnMouseMove},
    {WM_LBUTTONUP, viewOnButtonUp},
    {WM_LBUTTONDBLCLK, viewOnDoubleClick},
    {WM_MOUSEWHEEL, viewOnMouseWheel},
    {WM_GESTURE, viewOnGesture},
};
constexpr MessageMap kViewMap = makeMessageMap(kViewMessages, DefaultProcWindow);

}  // namespace

ViewState* viewStateOf(HWND view)
{
    if (!view || !IsWindow(view)) return nullptr;
    char name[32] = "";
    GetClassName(view, name, sizeof name);
    if (std::strcmp(name, kViewClassName) != 0) return nullptr;
    return reinterpret_cast<ViewState*>(GetWindowLongPtr(view, GWLP_USERDATA));
}

bool RegisterViewClass()
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, kViewClassName, &existing)) return true;
    WNDCLASS wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MessageMapProc<kViewMap>;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kViewClassName;
    if (RegisterClass(&wc)) return true;
    MessageBox(nullptr, "RegisterClass() failed", "Error", MB_OK);
    return false;
}

HWND CreateView(HWND parent, DWORD extraStyle, const RECT* rect, COLORREF background, int param)
{
    if (!RegisterViewClass()) return nullptr;
    RECT place = rect ? *rect : RECT{0, 0, 256, 256};
    HWND view = CreateWindowEx(0, kViewClassName, "preview", WS_CHILD | WS_TABSTOP | extraStyle, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(param)), nullptr, nullptr);
    if (view) SetBackground(view, background);
    return view;
}

}  // namespace fotrix
