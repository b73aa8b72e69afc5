// Stand-in for the program's resources until they are merged: nothing is
// registered, so the window has no menu bar and built-in texts are empty.
#include "app/shell/peer_interfaces.h"

namespace fotrix {

__attribute__((weak)) void RegisterAppResources() {}

}  // namespace fotrix
