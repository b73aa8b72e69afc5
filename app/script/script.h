#pragma once
// The script driver of `fotrix --script FILE`: it drives the program as a user
// would, through the platform's input path and on its virtual clock, one
// command each time the program goes idle. docs/script.md lists the commands.
#include <string>

namespace fotrix {

// Reads and checks the whole file before anything runs. 0, or 2 with
// "line N: why" (or "FILE: why" when it cannot be read) in error; on failure
// nothing is kept from the file.
int ScriptLoad(const char* path, std::string* error);
// Installs the idle hook that runs the loaded script inside every message loop.
void ScriptStart();
// Removes the idle hook (after the message loop, and between tests).
void ScriptStop();
// True once the script has ended (by `quit`, by running out, or by an error)
// and the program has been asked to quit.
bool ScriptFinished();
// 0, or 2 when a command failed while the script ran.
int ScriptExitCode();

// `idle` waits while this says the program's worker threads are still busy.
void ScriptSetBusyCheck(bool (*busy)());
// Adds lines ("key: value\n") that `state` writes after its own keys.
void ScriptAddStateWriter(void (*writer)(std::string& out));

}  // namespace fotrix
