// Starting and stopping the platform: the host, the screen and the shell's
// windows, in that order, and the services that close with it. The only file
// that knows every floor.
#include "platform/platform.h"
#include "platform/host/hosts.h"
#include "platform/dialog/dialog.h"
#include "platform/instance/instance.h"
#include "platform/menu/menubar.h"
#include "platform/screen/metrics.h"
#include "platform/shell/changenotify.h"
#include "platform/shell/taskbar.h"
#include "platform/sound/sound.h"
#include "platform/window/hooks.h"
#include "platform/window/idle.h"
#include "platform/window/window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The bar a dialog set up with SHIDIF_EMPTYMENU shows in the menu-bar place.
HWND makeEmptyMenuBar(HWND dialog)
{
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = dialog;
    info.dwFlags = SHCMBF_EMPTYBAR;
    return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
}

bool parseInt(const char* text, int* out)
{
    if (!text || !*text) return false;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end || v <= 0 || v > 100000) return false;
    *out = static_cast<int>(v);
    return true;
}

bool parseSize(const char* text, int* w, int* h)
{
    if (!text) return false;
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    std::string left(text, x);
    return parseInt(left.c_str(), w) && parseInt(x + 1, h);
}

}  // namespace

int PlatformParseArgs(int* argc, char** argv, PlatformConfig* config, char* error, int errorCapacity)
{
    int out = 1;
    auto fail = [&](const char* what, const char* value) {
        if (error && errorCapacity > 0) std::snprintf(error, static_cast<size_t>(errorCapacity), "bad %s: %s", what, value ? value : "(missing)");
        return -1;
    };
    for (int i = 1; i < *argc; ++i) {
        const char* a = argv[i];
        const char* value = i + 1 < *argc ? argv[i + 1] : nullptr;
        if (std::strcmp(a, "--headless") == 0) {
            config->headless = true;
        } else if (std::strcmp(a, "--screen") == 0) {
            int w, h;
            if (!parseSize(value, &w, &h) || w < 16 || h < 16 || w > 8192 || h > 8192) return fail("--screen", value);
            config->width = w;
            config->height = h;
            ++i;
        } else if (std::strcmp(a, "--dpi") == 0) {
            int d;
            if (!parseInt(value, &d) || d < 48 || d > 960) return fail("--dpi", value);
            config->dpi = d;
            ++i;
        } else if (std::strcmp(a, "--zoom") == 0) {
            int z;
            if (!parseInt(value, &z) || z > 16) return fail("--zoom", value);
            config->zoom = z;
            ++i;
        } else {
            argv[out++] = argv[i];
        }
    }
    *argc = out;
    argv[out] = nullptr;
    return 0;
}

BOOL PlatformInit(const PlatformConfig* config)
{
    PlatformConfig defaults;
    if (!config) config = &defaults;
    if (backendCurrent()) PlatformShutdown();
    const BackendOps* chosen = config->headless ? headlessBackend() : sdlBackend();
    if (!chosen->open(config->width, config->height, config->zoom)) return FALSE;
    backendUse(chosen);
    setUiThread();
    setDialogDefaultProc(DefDlgProc);
    setEmptyMenuBarMaker(makeEmptyMenuBar);
    idleTimerStart();
    if (!screenOpen(ScreenSetup{config->width, config->height, config->dpi}) || !shellOpen()) {
        chosen->close();
        backendUse(nullptr);
        return FALSE;
    }
    return TRUE;
}

void PlatformShutdown()
{
    const BackendOps* backend = backendCurrent();
    if (!backend) return;
    shellNotifyShutdown();
    soundShutdown();
    InstanceRelease();
    shellClose();
    screenClose();
    backend->close();
    backendUse(nullptr);
}

const char* PlatformBackendName() { return backendName(); }

BOOL PlatformScreenshot(const char* path)
{
    const BackendOps* backend = backendCurrent();
    if (!backend || !path) return FALSE;
    // Pending paints first, so the picture is what the windows want shown.
    PlatformRunPending();
    return backend->screenshot(path) ? TRUE : FALSE;
}

void PlatformAdvanceClock(DWORD ms) { platformAdvanceClock(ms); }
int PlatformBeepCount() { return headlessBeepCount(); }

void PlatformRunPending()
{
    MSG msg;
    // Bounded, so a window that never validates cannot hang the caller.
    for (int i = 0; i < 100000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}
