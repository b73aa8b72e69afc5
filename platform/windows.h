#pragma once
// Everything the program needs of the platform, in one include.
#include "platform/backend/input.h"
#include "platform/base/types.h"
#include "platform/base/utf8.h"
#include "platform/files/files.h"
#include "platform/gdi/gdi.h"
#include "platform/instance/instance.h"
#include "platform/platform.h"
#include "platform/registry/registry.h"
#include "platform/resources/resources.h"
#include "platform/screen/screen.h"
#include "platform/sync/sync.h"
#include "platform/window/window.h"
