#pragma once
// Driving dialogs headless: an owner window that runs a script of steps each
// time a modal loop goes idle (WM_ENTERIDLE), and stylus and key helpers.
#include "platform/controls/controls.h"
#include "platform/dialog/dialogs.h"
#include "tests/support/dialog_script_support.h"
#include "tests/support/platform_support.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace platformtest {

// One step runs per idle turn of a modal loop, with the dialog being run.
// When the script has run out the dialog is ended with kScriptRanOut, so that
// a dialog that ignores its input fails the test instead of hanging it.
using Step = testsupport::DialogStep;
using testsupport::kScriptRanOut;

class DialogTest : public Headless {
protected:
    void SetUp() override;
    void TearDown() override;

    // A visible top-level window whose WM_ENTERIDLE runs the script.
    HWND owner = nullptr;
    void script(std::vector<Step> steps);
    int idleTurns() const;

    // Input in client coordinates of a window (queued, not dispatched).
    static void stylusAt(HWND w, StylusAction a, int x, int y);
    static void tapAt(HWND w, int x, int y);
    static void tapCentre(HWND w);
    static void keyPress(UINT vk);
    // A key step, e.g. key(VK_TAB) inside a script.
    static Step key(UINT vk);
    static Step keys(std::vector<UINT> vks);
    static COLORREF pixelAt(HWND w, int x, int y);
};

}  // namespace platformtest
