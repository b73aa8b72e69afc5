#pragma once
// Kept for code outside platform/ that includes this path: the idle timer
// lives with the message loop that services it.
#include "platform/window/idle.h"
