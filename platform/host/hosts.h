#pragma once
// The hosts the platform runs on. Internal to platform/.
#include "platform/backend/backend.h"

const BackendOps* headlessBackend();
const BackendOps* sdlBackend();
int headlessBeepCount();  // MessageBeep calls the headless host has seen
