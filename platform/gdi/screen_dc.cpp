// The screen as GDI knows it: what the screen handed in when it opened.
#include "platform/gdi/screen_dc.h"

namespace {

ScreenTarget target;

}  // namespace

void gdiAttachScreen(const ScreenTarget& screen) { target = screen; }

Surface* gdiScreenSurface() { return target.framebuffer && target.framebuffer->bits ? target.framebuffer : nullptr; }

int gdiScreenDpi() { return target.dpi; }

int gdiScreenWidth() { return target.width; }
int gdiScreenHeight() { return target.height; }

void gdiScreenChanged()
{
    if (target.changed) target.changed();
}
