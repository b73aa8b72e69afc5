// Commands on the program as a whole: a menu command, a screenshot, the state
// file, and quitting.
#include "app/script/script_runners.h"
#include "app/script/script_runtime.h"

namespace fotrix::script {

// Posted, as a menu item's choice is once its menu has closed.
StepResult RunCommand(const Command& c, Step& step)
{
    HWND main = MainWindow();
    if (!main) {
        step.error = "command: there is no main window";
        return StepResult::Failed;
    }
    PostMessage(main, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(c.number(0)), 0), 0);
    return StepResult::Done;
}

StepResult RunScreenshot(const Command& c, Step& step)
{
    if (PlatformScreenshot(c.text(0).c_str())) return StepResult::Done;
    step.error = "screenshot: cannot write " + c.text(0);
    return StepResult::Failed;
}

StepResult RunState(const Command& c, Step& step)
{
    std::string why;
    if (WriteStateFile(c.text(0), &why)) return StepResult::Done;
    step.error = "state: " + why;
    return StepResult::Failed;
}

// The runner ends the script here, which chooses File > Exit.
StepResult RunQuit(const Command&, Step& step)
{
    step.endsScript = true;
    return StepResult::Done;
}

}  // namespace fotrix::script
