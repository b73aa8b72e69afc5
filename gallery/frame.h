#pragma once
// The gallery's main window: Prev and Next buttons around the page title at
// the top, the current page in the middle and a status line at the bottom that
// tells what the page's controls last reported.
#include "platform/windows.h"

// Registers the frame's and the page's window classes (and the controls').
void galleryRegisterClasses();
// Makes the frame over the work area, showing page `first`.
HWND galleryCreateFrame(int first);
// Replaces the page on show by page `index` (wrapping around at either end).
void galleryShowPage(HWND frame, int index);
int galleryCurrentPage(HWND frame);
// The page window and the status line, for tests and screenshots.
HWND galleryPageWindow(HWND frame);
HWND galleryStatusLine(HWND frame);
// Left and Right keys change pages while the frame or its Prev/Next buttons have
// the focus (controls on the page keep their arrow keys). True when the key was taken.
bool galleryTakeKey(HWND frame, const MSG& msg);
