#pragma once
// Scripts that drive a modal dialog headless: its owner runs one step on each
// idle turn of the modal loop (WM_ENTERIDLE with MSGF_DIALOGBOX).
#include "platform/windows.h"

#include <deque>
#include <functional>

namespace testsupport {

using DialogStep = std::function<void(HWND dialog)>;

// The result a dialog is ended with when its script has run out, so that a
// dialog that ignores its input fails the test instead of hanging it.
constexpr INT_PTR kScriptRanOut = -77;

// Runs the first step of `steps` on `dialog` and drops it, or ends the dialog
// with kScriptRanOut when no step is left.
void runNextStep(std::deque<DialogStep>& steps, HWND dialog);

}  // namespace testsupport
