// Stand-ins until sending is built: no send command is ready (the menu greys them).
#include "app/send/send_commands.h"

namespace fotrix {

bool SendCommandReady(int) { return false; }
void RunSendCommand(HWND, int) {}

}  // namespace fotrix
