#pragma once
// The program's start: settings and language, the main window (or the
// hand-over to a running instance), what the command line names, the start
// screen, the message loop, and what is kept for the next start.
#include "platform/windows.h"

#include <string>

namespace fotrix {

// Options of the `fotrix` command line beyond the platform's own.
struct StartOptions {
    std::string path;        // PATH, or empty
    std::string scriptFile;  // --script FILE, or empty
};

// Runs the program on a started platform; returns the exit code of the
// message loop (the script's code when a script drove it), or 0 when another
// instance took over. A script that cannot be loaded returns 2 before any window.
int WinMain(HINSTANCE instance, const StartOptions& options, int showCommand);

// The language to open: the stored one, else the locale's, cut to two letters.
std::string StartLanguage();

}  // namespace fotrix
