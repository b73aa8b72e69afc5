#pragma once
// The screen as GDI draws on it. GDI does not know the device screen: the
// screen hands its framebuffer, size and resolution in when it opens, with a
// callback for "the framebuffer changed". The window layer makes its paint
// DCs here. Private to platform/.
#include "platform/gdi/surface.h"

#include <vector>

struct ScreenTarget {
    Surface* framebuffer = nullptr;
    int width = 240;
    int height = 320;
    int dpi = 96;
    void (*changed)() = nullptr;  // GdiFlush: what was drawn should be shown
};
void gdiAttachScreen(const ScreenTarget& target);
// The framebuffer while it has pixels, else null.
Surface* gdiScreenSurface();
int gdiScreenDpi();
int gdiScreenWidth();
int gdiScreenHeight();
void gdiScreenChanged();

// DCs on the screen framebuffer, made by GetDC/BeginPaint.
HDC gdiCreateScreenDC(POINT origin, const std::vector<RECT>& clip);
void gdiDeleteScreenDC(HDC hdc);

// A class background brush as given (a brush, or a COLOR_ index + 1) as a brush.
HBRUSH gdiResolveClassBrush(HBRUSH brush);
