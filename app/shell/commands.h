#pragma once
// The main window's command map: one row a command, each with a named
// handler. Commands whose work belongs to the browser, the viewer, the tools,
// sending, albums or the property pages go to those parts' entry points.
#include "platform/windows.h"

namespace fotrix {

const CommandMap& MainCommandMap();
// Number of rows (every command of the menus, tool buttons and keys).
int MainCommandCount();
// Whether the part a command belongs to can run it in this build.
bool CommandReady(int command);

}  // namespace fotrix
