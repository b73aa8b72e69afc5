#pragma once
// The options sheet (View > Options): six pages over a copy of the settings.
// On OK the settings of gApp change, a new language is kept for the next
// start (a message box says so) and the association checks are kept in
// AssociationChoices; Cancel changes nothing. The main window applies what
// changed afterwards.
#include "platform/windows.h"

namespace fotrix {

// True when the sheet closed with OK.
bool ShowOptionsSheet(HWND owner);

}  // namespace fotrix
