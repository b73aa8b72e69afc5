#pragma once
// Finding the windows a script acts on: the active dialog (or the current page
// of a property sheet) and a message box on the screen.
#include "platform/controls/controls.h"
#include "platform/controls/listbox.h"
#include "platform/windows.h"

#include <string>

namespace fotrix::script {

bool HasClass(HWND hwnd, const char* className);
// The active top-level dialog; when the active window is no dialog, the first
// visible top-level dialog. Null when there is none.
HWND ActiveDialog();
// The page shown by a property sheet; null when `dialog` is no sheet.
HWND CurrentSheetPage(HWND dialog);
// A message box (the platform's: a static text and a row of standard buttons).
bool IsMessageBox(HWND dialog);
// The message box shown (the active one first); null when none.
HWND ShownMessageBox();
// The text of a message box.
std::string MessageBoxText(HWND box);

}  // namespace fotrix::script
