// Stand-ins until the batch tools are built: none is ready (the menu greys them).
#include "app/tools/tool_commands.h"

namespace fotrix {

bool ToolCommandReady(int) { return false; }
void RunToolCommand(HWND, int) {}
void TakeScreenCapture(HWND, const std::string&) {}

}  // namespace fotrix
