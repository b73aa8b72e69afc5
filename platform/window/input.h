#pragma once
// Input as the hosts (and tests) deliver it: stylus and key events in screen
// coordinates, turned into window messages posted to the right window.
#include "platform/base/types.h"

enum StylusAction : int { StylusDown = 0, StylusUp = 1, StylusMove = 2 };

// A stylus (mouse button or finger) event at a screen point.
void PlatformStylusInput(StylusAction action, int screenX, int screenY);
// A hardware key went down or up (virtual key code).
void PlatformKeyInput(UINT virtualKey, bool down);
// Typed text: one WM_CHAR per code point to the focus window.
void PlatformTextInput(const char* utf8);
