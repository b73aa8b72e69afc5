#pragma once
// Kept for code outside platform/ that includes this path: the device screen's
// metrics, and the shell's full-screen mode, task bar and tap-and-hold gesture
// that used to be declared here. Code inside platform/ includes the headers
// below directly.
#include "platform/screen/metrics.h"
#include "platform/shell/taskbar.h"
#include "platform/window/gesture.h"
