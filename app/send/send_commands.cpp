// The main window's send commands, each handed to its half: e-mail (4132) to
// mail_command, the infrared transfers (4187, 4188) to infrared_commands.
#include "app/send/send_commands.h"

#include "app/send/infrared_commands.h"
#include "app/send/mail_command.h"
#include "app/shell/command_ids.h"

namespace fotrix {

namespace {

bool isInfrared(int command) { return command == CmdSendInfrared || command == CmdReceiveInfrared; }

}  // namespace

bool SendCommandReady(int command)
{
    return isInfrared(command) ? ObexCommandReady(command) : mail::MailCommandReady(command);
}

void RunSendCommand(HWND mainWindow, int command)
{
    if (isInfrared(command))
        RunObexCommand(mainWindow, command);
    else
        mail::RunMailCommand(mainWindow, command);
}

}  // namespace fotrix
