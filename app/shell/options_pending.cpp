// Stand-in for the options sheet until it is merged: it never opens, and
// reports Cancel so that nothing is applied.
#include "app/shell/peer_interfaces.h"

namespace fotrix {

__attribute__((weak)) bool ShowOptionsSheet(HWND) { return false; }

}  // namespace fotrix
