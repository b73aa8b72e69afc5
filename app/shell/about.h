#pragma once
// The about dialog (template 4014), run modally over the main window.
#include "platform/windows.h"

namespace fotrix {

// The program's version as --version prints it.
constexpr const char* kProgramVersion = "0.1.0";

// Returns the dialog's result (IDOK), or -1 when the template is missing.
INT_PTR ShowAboutDialog(HWND owner);

}  // namespace fotrix
