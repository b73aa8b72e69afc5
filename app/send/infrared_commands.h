#pragma once
// Sending the selected file to, and receiving a file from, another device by
// OBEX (commands 4187 and 4188 of the main window). Each transfer runs on a
// worker thread of its own behind a small dialog ("DlgIrda2" to send,
// "DlgIrda" to receive) that shows its progress and offers Cancel.
#include "platform/windows.h"

namespace fotrix {

// Registry section of the transfers: "Port" (TCP port, default 650), "Peers"
// ("NAME=HOST[:PORT];..." besides the receiver on this machine) and
// "Timeout" (milliseconds a peer may keep us waiting, default 10000).
inline constexpr const char* kInfraredSection = "Infrared";

bool ObexCommandReady(int command);
void RunObexCommand(HWND mainWindow, int command);

}  // namespace fotrix
