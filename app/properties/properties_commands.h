#pragma once
// The picture's properties as the main window calls them: the property sheet
// "Infos", "EXIF", "IPTC" (4030) and the IPTC editor (4180) on the selection.
#include "platform/windows.h"

namespace fotrix {

bool PropertiesCommandReady(int command);
void RunPropertiesCommand(HWND mainWindow, int command);

}  // namespace fotrix
