#pragma once
// The runners of the script commands, grouped by what they drive; the table
// in script_commands.cpp names them.
#include "app/script/script_command.h"

namespace fotrix::script {

// Stylus and keys (script_input.cpp).
StepResult RunTap(const Command& command, Step& step);
StepResult RunDoubleTap(const Command& command, Step& step);
StepResult RunHold(const Command& command, Step& step);
StepResult RunDrag(const Command& command, Step& step);
StepResult RunWheel(const Command& command, Step& step);
StepResult RunPinch(const Command& command, Step& step);
StepResult RunKey(const Command& command, Step& step);
StepResult RunText(const Command& command, Step& step);

// Time (script_timing.cpp).
StepResult RunWait(const Command& command, Step& step);
StepResult RunSleep(const Command& command, Step& step);
StepResult RunIdle(const Command& command, Step& step);

// The active dialog, sheet page or message box (script_dialog.cpp).
StepResult RunDialogCommand(const Command& command, Step& step);
StepResult RunDialogText(const Command& command, Step& step);
StepResult RunDialogCheck(const Command& command, Step& step);
StepResult RunDialogSelect(const Command& command, Step& step);

// The program (script_program.cpp).
StepResult RunCommand(const Command& command, Step& step);
StepResult RunScreenshot(const Command& command, Step& step);
StepResult RunState(const Command& command, Step& step);
StepResult RunQuit(const Command& command, Step& step);

}  // namespace fotrix::script
