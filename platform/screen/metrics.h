#pragma once
// The device screen: its size and resolution, its framebuffer, system metrics,
// and the work area between the task bar at the top and the place of the menu
// bar at the bottom (the bars themselves are the shell's windows).
#include "platform/base/types.h"

enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
};
int GetSystemMetrics(int index);

enum : UINT { SPI_GETWORKAREA = 0x0030 };
BOOL SystemParametersInfo(UINT action, UINT param, void* out, UINT winIni);

// A size given at 96 dpi, scaled to the screen: (n * dpi + 48) / 96.
int ScaleForScreen(int n);

// Heights at 96 dpi of the two bars.
constexpr int kTaskBarHeight96 = 26;
constexpr int kMenuBarHeight96 = 26;

// Internal to platform/.
struct ScreenSetup {
    int width = 240;
    int height = 320;
    int dpi = 96;
};
bool screenOpen(const ScreenSetup& setup);
void screenClose();
void screenSize(int* width, int* height);
int screenDpi();
int screenMetric(int index);
RECT screenWorkArea();
RECT screenWorkAreaWith(bool taskBar, bool menuBarPlace);  // the work area those bars would leave
RECT screenPreviousWorkArea();  // before the last change (SHFullScreen); empty at first
RECT screenMenuBarPlace();  // empty when hidden
struct Surface;
Surface* screenFramebuffer();  // null while the screen is closed
void screenMarkDirty();
bool screenTakeDirty();
// Which bars take room from the work area; the shell's SHFullScreen switches
// them. A change of the work area keeps the old one (screenPreviousWorkArea).
bool screenTaskBarShown();
bool screenMenuBarPlaceShown();
void screenShowBars(bool taskBar, bool menuBarPlace);
