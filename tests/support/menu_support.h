#pragma once
// Driving pop-up menus and reading menu bars headless.
#include "platform/windows.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Steps run by the pop-up loop's idle hook, one per idle, with the innermost
// pop-up. When the steps run out the menu is cancelled with Escape, so that a
// test that goes wrong ends instead of waiting.
struct PopupScript {
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    std::vector<RECT> popups;  // the innermost pop-up's rectangle at each idle
};

// The idle hook that runs a PopupScript: SetMenuIdleHook(runPopupScript, &script).
void runPopupScript(HWND popup, void* data);

// The text of button `index` of a menu bar (as TB_GETBUTTONINFO gives it).
std::string menuBarButtonText(HWND bar, int index);

}  // namespace testsupport
