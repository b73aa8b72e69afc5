#pragma once
// The text clipboard the controls cut to and paste from. It lives in this
// process: the platform has no clipboard shared with other programs.
#include <string>

namespace controls {

void clipboardSetText(std::string text);
std::string clipboardText();

}  // namespace controls
