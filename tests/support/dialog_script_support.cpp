#include "tests/support/dialog_script_support.h"

#include <utility>

namespace testsupport {

void runNextStep(std::deque<DialogStep>& steps, HWND dialog)
{
    if (steps.empty()) {
        EndDialog(dialog, kScriptRanOut);
        return;
    }
    DialogStep step = std::move(steps.front());
    steps.pop_front();
    step(dialog);
    // The loop waits for a message after its idle turn: give it one so that
    // the next step gets its turn even when this one queued nothing.
    if (IsWindow(dialog)) PostMessage(dialog, WM_NULL, 0, 0);
}

}  // namespace testsupport
