#pragma once
// The questions and failure messages of the file commands, as message boxes
// over the main window.
#include "app/resources/texts.h"
#include "platform/windows.h"

#include <string>

namespace fotrix {

// Asks `question` with OK and Cancel and an empty title; true for OK.
bool AskOkCancel(TextId question);

// Tells that the operation on `subject` (a name or a path) failed, with the
// reason for `error` (a GetLastError code), under the "IDS_ERROR" title.
void ShowFileFailure(const std::string& subject, DWORD error);

// The reason shown for an error code.
const char* FileErrorText(DWORD error);

}  // namespace fotrix
