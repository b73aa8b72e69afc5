#pragma once
// Single instance: the first instance of a program listens on a Unix socket in
// $XDG_RUNTIME_DIR; a later one finds the first one's windows through it
// (FindWindow), brings them to the front (SetForegroundWindow) and hands its
// command line over (SendMessage with WM_COPYDATA).
#include "platform/base/types.h"

enum : int { InstanceError = -1, InstanceOtherRunning = 0, InstanceFirst = 1 };

// Claims the channel `name`: InstanceFirst when this process now answers for it,
// InstanceOtherRunning when another live process does. A socket left behind
// by a crashed instance is taken over.
int InstanceClaim(const char* name);
// Closes the channel (PlatformShutdown does it too).
void InstanceRelease();
// Path of the channel's socket (for diagnostics and tests).
int InstanceSocketPath(const char* name, char* buffer, int capacity);

// Internal to platform/.
bool instancePoll();
HWND instanceFindRemoteWindow(const char* className, const char* title);
bool instanceIsRemoteWindow(HWND hwnd);
LRESULT instanceSendRemote(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL instancePostRemote(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL instanceForegroundRemote(HWND hwnd);
