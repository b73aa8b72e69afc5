// The screen record, its framebuffer, metrics and the work area.
#include "platform/screen/metrics.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gdi/surface.h"

#include <atomic>

namespace {

ScreenSetup current;
Surface framebuffer;
std::atomic<bool> dirty{true};
bool taskBarShown = true;
bool menuPlaceShown = true;
RECT previousWorkArea{};

}  // namespace

Surface* screenFramebuffer() { return framebuffer.bits ? &framebuffer : nullptr; }

bool screenOpen(const ScreenSetup& setup)
{
    if (setup.width < 16 || setup.height < 16 || setup.width > 8192 || setup.height > 8192 || setup.dpi < 48 || setup.dpi > 960)
        return false;
    current = setup;
    framebuffer = Surface{};
    if (!surfaceAllocate(framebuffer, setup.width, setup.height, 32, false)) return false;
    taskBarShown = menuPlaceShown = true;
    previousWorkArea = RECT{};
    gdiAttachScreen(ScreenTarget{&framebuffer, setup.width, setup.height, setup.dpi, screenMarkDirty});
    return true;
}

void screenClose() { framebuffer = Surface{}; }

void screenSize(int* width, int* height)
{
    if (width) *width = current.width;
    if (height) *height = current.height;
}

int screenDpi() { return current.dpi; }

int ScaleForScreen(int n) { return (n * current.dpi + 48) / 96; }

int screenMetric(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return current.width;
    case SM_CYSCREEN:
        return current.height;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return ScaleForScreen(13);
    case SM_CYCAPTION:
        return ScaleForScreen(kTaskBarHeight96);
    case SM_CYMENU:
        return ScaleForScreen(kMenuBarHeight96);
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return ScaleForScreen(32);
    case SM_CXSMICON:
    case SM_CYSMICON:
        return ScaleForScreen(16);
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return ScaleForScreen(8);
    default:
        return 0;
    }
}

int GetSystemMetrics(int index) { return screenMetric(index); }

RECT screenWorkAreaWith(bool taskBar, bool menuBarPlace)
{
    RECT r{0, 0, current.width, current.height};
    if (taskBar) r.top += ScaleForScreen(kTaskBarHeight96);
    if (menuBarPlace) r.bottom -= ScaleForScreen(kMenuBarHeight96);
    return r;
}

RECT screenWorkArea() { return screenWorkAreaWith(taskBarShown, menuPlaceShown); }

RECT screenMenuBarPlace()
{
    if (!menuPlaceShown) return RECT{0, 0, 0, 0};
    return RECT{0, current.height - ScaleForScreen(kMenuBarHeight96), current.width, current.height};
}

BOOL SystemParametersInfo(UINT action, UINT, void* out, UINT)
{
    if (action != SPI_GETWORKAREA || !out) return FALSE;
    *static_cast<RECT*>(out) = screenWorkArea();
    return TRUE;
}

bool screenTaskBarShown() { return taskBarShown; }
bool screenMenuBarPlaceShown() { return menuPlaceShown; }

void screenShowBars(bool taskBar, bool menuBarPlace)
{
    RECT before = screenWorkArea();
    taskBarShown = taskBar;
    menuPlaceShown = menuBarPlace;
    RECT after = screenWorkArea();
    if (!EqualRect(&before, &after)) previousWorkArea = before;
}

RECT screenPreviousWorkArea() { return previousWorkArea; }

void screenMarkDirty() { dirty.store(true); }
bool screenTakeDirty() { return dirty.exchange(false); }
