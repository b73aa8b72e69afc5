#pragma once
// Sending as the main window calls it: e-mail (4132), send (4187) and
// receive (4188) by infrared.
#include "platform/windows.h"

namespace fotrix {

bool SendCommandReady(int command);
void RunSendCommand(HWND mainWindow, int command);

}  // namespace fotrix
