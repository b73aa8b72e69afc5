#pragma once
// The main window's E-mail command (4132) on the browser's selection.
#include "platform/windows.h"

namespace fotrix::mail {

bool MailCommandReady(int command);
void RunMailCommand(HWND mainWindow, int command);

// Shows the options dialog and, when the user presses Send, prepares the
// selected pictures, sends the message through the chosen account and
// removes the temporary files. A message that cannot be written is offered
// again (Retry) and the prepared pictures are kept until it is written or
// the user gives it up.
void emailSelected(HWND owner);

}  // namespace fotrix::mail
