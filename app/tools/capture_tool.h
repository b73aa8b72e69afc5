#pragma once
// Screen capture: the sheet that chooses the delay and the format, and the
// capture itself, taken when the main window's timer 1001 fires.
#include <string>

namespace fotrix {

// The delay of a delay-list index in seconds (1, 5, 10, 15; out of range: 5).
int CaptureDelaySeconds(int index);
// The first "captureNNN" name with the output format's extension that does
// not exist in `folder`, trying 1 to 999; empty when every one is taken.
std::string NextCaptureName(const std::string& folder, int format);

}  // namespace fotrix
