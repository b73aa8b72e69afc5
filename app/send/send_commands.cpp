// The main window's send commands. The infrared transfers (4187, 4188) run
// from app/send/infrared_commands; e-mail (4132) stays greyed until its
// sender exists.
#include "app/send/send_commands.h"

#include "app/send/infrared_commands.h"
#include "app/shell/command_ids.h"

namespace fotrix {

namespace {

bool isInfrared(int command) { return command == CmdSendInfrared || command == CmdReceiveInfrared; }

}  // namespace

bool SendCommandReady(int command) { return isInfrared(command) && ObexCommandReady(command); }

void RunSendCommand(HWND mainWindow, int command)
{
    if (isInfrared(command)) RunObexCommand(mainWindow, command);
}

}  // namespace fotrix
