#pragma once
// Threads as the platform numbers them (GetCurrentThreadId): from 1, in the
// order they first ask. Internal to platform/.
#include "platform/base/types.h"

DWORD currentThreadId();
