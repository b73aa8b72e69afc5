#pragma once
// What the controls share, and the menu bar, which is built like one: the
// state record behind window word 0, class registration, the font they draw
// with, and the messages they send their parent. Internal to platform/.
#include "platform/controls/controls.h"
#include "platform/gdi/gdi.h"
#include "platform/screen/metrics.h"
#include "platform/window/window.h"

#include <algorithm>

namespace controls {

// Every control class keeps a pointer to its state in the first window word.
constexpr int kStateBytes = sizeof(void*);

template <class T>
T* state(HWND hwnd)
{
    return reinterpret_cast<T*>(GetWindowLongPtr(hwnd, 0));
}

// Creates the state on WM_NCCREATE and deletes it on WM_NCDESTROY; call from
// those two handlers.
template <class T>
LRESULT createState(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(new T()));
    return DefWindowProc(hwnd, message, wParam, lParam);
}
template <class T>
LRESULT destroyState(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    delete state<T>(hwnd);
    SetWindowLongPtr(hwnd, 0, 0);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// Registers a class with room for the state pointer; an existing class stays.
void registerControlClass(const char* name, WNDPROC proc, UINT classStyle = 0);

// The font of WM_SETFONT, or the default GUI font.
struct FontHolder {
    HFONT font = nullptr;
    HFONT get() const { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }
    // Height of a line of this font as drawn in `hwnd` (tmHeight).
    int lineHeight(HWND hwnd) const;
};

// The thumb position of a WM_VSCROLL/WM_HSCROLL: in full from the window's own
// bar, whose track position agrees with the message in its low 16 bits (the
// message carries only those); a message sent by someone else carries its own.
int scrollThumbPosition(HWND hwnd, int bar, WPARAM wParam);

// Handlers shared by the controls' message tables. repaintAfterDefault runs
// the default procedure and repaints (enabling, for instance, changes the
// look); paintsOwnBackground answers WM_ERASEBKGND for a control whose
// WM_PAINT fills everything, so that nothing flickers.
LRESULT repaintAfterDefault(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT paintsOwnBackground(HWND, UINT, WPARAM, LPARAM) { return 1; }

// Sends WM_COMMAND (id, code) from a control to its parent.
void notifyCommand(HWND control, WORD code);
// Fills the header and sends WM_NOTIFY to the parent; returns its answer.
LRESULT notifyParent(HWND control, NMHDR* header, UINT code);

// Background brush and text colour a static-like control asks its parent for
// (WM_CTLCOLORSTATIC); falls back to the static colours.
HBRUSH staticBackground(HWND control, HDC dc);

inline bool contains(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
inline int scaled(int n96) { return ScaleForScreen(n96); }

}  // namespace controls
