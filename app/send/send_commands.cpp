// The main window's send commands. E-mail (4132) goes to mail_command; the
// OBEX transfer code (obex_*) and fotrix-cli's send-obex / receive-obex work,
// but the dialogs and worker threads that would run them from the menu do
// not exist yet, so the infrared commands stay greyed rather than pretending
// to send.
#include "app/send/send_commands.h"

#include "app/send/mail_command.h"

namespace fotrix {

bool SendCommandReady(int command) { return mail::MailCommandReady(command); }
void RunSendCommand(HWND mainWindow, int command) { mail::RunMailCommand(mainWindow, command); }

}  // namespace fotrix
