// Static controls: left, centred and right text, word wrapping, a line that is
// not wrapped, an underlined prefix letter, the three filled rectangles, a
// picture (plain and centred) and a text that reports taps.
#include "gallery/gallery.h"
#include "gallery/layout.h"

#include <cstdint>

namespace {

// A small colour ramp drawn into a 32-bit DIB section, the static's picture.
HBITMAP makeRamp(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t red = 255 * x / (width - 1), green = 255 * y / (height - 1), blue = 255 - red;
            pixels[y * width + x] = red << 16 | green << 8 | blue;
        }
    return bitmap;
}

}  // namespace

void createStaticsPage(HWND page)
{
    PageLayout layout(page);
    layout.add(WC_STATIC, "Left", SS_LEFT, layout.row(14));
    layout.add(WC_STATIC, "Centre", SS_CENTER, layout.row(14));
    layout.add(WC_STATIC, "Right", SS_RIGHT, layout.row(14));
    layout.add(WC_STATIC, "A longer text wraps at spaces onto as many lines as the control has room for.", SS_LEFT,
               layout.row(40));
    layout.add(WC_STATIC, "One line that is never wrapped but cut at the edge of the control", SS_LEFTNOWORDWRAP, layout.row(14));
    RECT r = layout.row(14);
    layout.add(WC_STATIC, "&Prefix letter", SS_LEFT, layout.column(r, 0, 2));
    layout.add(WC_STATIC, "No &prefix", SS_LEFT | SS_NOPREFIX, layout.column(r, 1, 2));

    r = layout.row(16);
    layout.add(WC_STATIC, "", SS_BLACKRECT, layout.column(r, 0, 3));
    layout.add(WC_STATIC, "", SS_GRAYRECT, layout.column(r, 1, 3));
    layout.add(WC_STATIC, "", SS_WHITERECT | kBorder, layout.column(r, 2, 3));

    r = layout.row(40);
    int side = r.bottom - r.top;
    // Statics do not own their pictures: the page frees it when it goes.
    HBITMAP ramp = makeRamp(side - ScaleForScreen(8), side - ScaleForScreen(8));
    galleryOwn(page, ramp);
    HWND plain = layout.add(WC_STATIC, "", SS_BITMAP, layout.column(r, 0, 2));
    SendMessage(plain, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(ramp));
    HWND centred = layout.add(WC_STATIC, "", SS_BITMAP | SS_CENTERIMAGE | kBorder, layout.column(r, 1, 2));
    SendMessage(centred, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(ramp));

    layout.add(WC_STATIC, "Tap this text (SS_NOTIFY)", SS_CENTER | SS_NOTIFY, layout.row(14));
}
