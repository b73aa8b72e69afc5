// Stand-in for the start screen until it is merged: none is shown, so the
// start goes to the browser.
#include "app/shell/peer_interfaces.h"

namespace fotrix {

__attribute__((weak)) HWND ShowStartScreen(HWND) { return nullptr; }

}  // namespace fotrix
