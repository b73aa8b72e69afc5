// Stand-ins until the property pages are built: not ready (the menu greys them).
#include "app/properties/properties_commands.h"

namespace fotrix {

bool PropertiesCommandReady(int) { return false; }
void RunPropertiesCommand(HWND, int) {}

}  // namespace fotrix
