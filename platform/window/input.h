#pragma once
// Input as the hosts (and tests) deliver it: stylus and key events in screen
// coordinates, turned into window messages posted to the right window.
#include "platform/base/types.h"

enum StylusAction : int { StylusDown = 0, StylusUp = 1, StylusMove = 2 };

// A stylus (mouse button or finger) event at a screen point.
void PlatformStylusInput(StylusAction action, int screenX, int screenY);
// A turn of the mouse wheel (WHEEL_DELTA a notch, positive away from the
// user) with the pointer at a screen point: WM_MOUSEWHEEL to the window under it.
void PlatformWheelInput(int screenX, int screenY, int delta);
// A two-finger zoom gesture: GF_BEGIN on the first report, GF_END on the
// last, the fingers' centre and distance in screen pixels. The window under
// the centre at the beginning gets every WM_GESTURE of the gesture.
void PlatformZoomGesture(DWORD flags, int centreX, int centreY, int distance);
// A hardware key went down or up (virtual key code).
void PlatformKeyInput(UINT virtualKey, bool down);
// Typed text: one WM_CHAR per code point to the focus window.
void PlatformTextInput(const char* utf8);
