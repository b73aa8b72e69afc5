// Weak stand-ins for the main window's calls, so that the browser links and
// runs in tests without the shell; the shell's own definitions replace them.
#include "app/browser/shell_calls.h"

namespace fotrix {

__attribute__((weak)) void UpdateMenuState() {}
__attribute__((weak)) void OpenInViewer(int) {}

}  // namespace fotrix
