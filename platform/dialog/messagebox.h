#pragma once
// Message boxes: a short text with an icon and a row of buttons, centred on
// the screen, run as a modal dialog. Returns the pressed button's IDOK,
// IDCANCEL, IDYES, IDNO, IDRETRY, IDABORT or IDIGNORE; 0 when the box could
// not be made. Escape and closing give IDCANCEL when there is a Cancel
// button, IDOK for a box with OK alone, and nothing for Yes/No boxes.
#include "platform/base/types.h"
#include "platform/window/messages.h"

// Plain constants, so that they combine with the icon flags without enum mixing.
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_RETRYCANCEL = 0x0005;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONMASK = 0x00F0;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_DEFMASK = 0x0F00;
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
// The same box made modeless: shown at once, beside whatever else runs; a
// button (or Escape, or closing, as above) destroys it. Null when it could not
// be made.
HWND CreateMessageBox(HWND owner, const char* text, const char* caption, UINT type);
