#pragma once
// What the command runners share: finding the main window, the clock, the
// worker check and ending the program.
#include "platform/controls/controls.h"
#include "platform/controls/listbox.h"
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix::script {

// The main window: the top-level window of class "FotrixClass"; null when none.
HWND MainWindow();
// What the registered busy check says (false when none is registered).
bool WorkersBusy();
// Real time in milliseconds (steady clock), for `sleep` and `idle`.
long long RealNowMs();
// On a virtual clock: moves it towards `target`, stopping at the next timer
// due before it, so that each timer runs at its own time.
void AdvanceClockTowards(DWORD target);
// File > Exit to the main window, or WM_QUIT when there is none.
void QuitProgram();
// The state keys and item lines, as `state` writes them.
std::string StateText();
// The registered extra state writers, in the order they were added.
const std::vector<void (*)(std::string&)>& StateWriters();
// Writes the state keys and item lines to `path` (replacing it whole).
bool WriteStateFile(const std::string& path, std::string* error);

}  // namespace fotrix::script
