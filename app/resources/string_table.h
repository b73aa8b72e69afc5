#pragma once

namespace fotrix {

// Registers the built-in texts as the platform's string table.
void RegisterAppStrings();

}  // namespace fotrix
