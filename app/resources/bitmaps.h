#pragma once

namespace fotrix {

// Registers the tool-button and splitter bitmaps and the program's icon.
void RegisterAppBitmaps();

}  // namespace fotrix
