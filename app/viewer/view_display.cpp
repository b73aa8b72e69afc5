// The display layer: the picture scaled by nearest neighbour to the display
// size through two index tables. A display of moderate size is rendered once
// into a device bitmap and then painted with block copies, so panning and
// scrolling never rescale; a display too large to keep (a high zoom of a big
// picture) is rendered for the exposed area only, at each paint.
#include "app/viewer/view_pixels.h"
#include "app/viewer/view_state.h"
#include "app/viewer/view_window.h"

#include <algorithm>

namespace fotrix {

namespace {

// Above this many display pixels (16 MB of 32-bit pixels) nothing is kept.
constexpr long long kRenderedPixelBudget = 4LL * 1024 * 1024;

HBITMAP makeSurface(int width, int height, uint32_t** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    HBITMAP surface = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    *bits = static_cast<uint32_t*>(raw);
    return surface;
}

void buildTables(DisplayLayer& d, int pictureWidth, int pictureHeight, int width, int height)
{
    d.columns.resize(static_cast<size_t>(width));
    d.rows.resize(static_cast<size_t>(height));
    for (int x = 0; x < width; ++x) d.columns[x] = static_cast<int>(static_cast<long long>(x) * pictureWidth / width);
    for (int y = 0; y < height; ++y) d.rows[y] = static_cast<int>(static_cast<long long>(y) * pictureHeight / height);
    d.width = width;
    d.height = height;
}

// Display pixels (left, top) .. (left + width, top + height) into `out`.
void renderArea(const ViewState& s, int left, int top, int width, int height, uint32_t* out, int stride)
{
    std::vector<uint32_t> source(static_cast<size_t>(s.bitmap.width));
    int loaded = -1;
    for (int y = 0; y < height; ++y) {
        int sourceRow = s.display.rows[top + y];
        if (sourceRow != loaded && !readScreenRow(s.bitmap, sourceRow, source.data()))
            std::fill(source.begin(), source.end(), 0u);
        loaded = sourceRow;
        uint32_t* row = out + static_cast<size_t>(y) * stride;
        const int* columns = s.display.columns.data() + left;
        for (int x = 0; x < width; ++x) row[x] = source[columns[x]];
    }
}

void blitSurface(HDC dc, int x, int y, int width, int height, HBITMAP surface, int sx, int sy)
{
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, surface);
    BitBlt(dc, x, y, width, height, memory, sx, sy, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

}  // namespace

void displayFree(DisplayLayer& display)
{
    if (display.rendered) DeleteObject(display.rendered);
    display = DisplayLayer{};
}

void displayRender(ViewState& s, bool force)
{
    DisplayLayer& d = s.display;
    if (!s.hasBitmap || s.displayWidth <= 0 || s.displayHeight <= 0) {
        displayFree(d);
        return;
    }
    if (!force && d.width == s.displayWidth && d.height == s.displayHeight) return;
    displayFree(d);
    buildTables(d, s.bitmap.width, s.bitmap.height, s.displayWidth, s.displayHeight);
    if (static_cast<long long>(d.width) * d.height > kRenderedPixelBudget) return;
    d.rendered = makeSurface(d.width, d.height, &d.renderedBits);
    if (d.rendered) renderArea(s, 0, 0, d.width, d.height, d.renderedBits, d.width);
}

void displayPaint(HDC dc, const ViewState& s, const RECT& area)
{
    RECT picture{-s.scrollX, -s.scrollY, -s.scrollX + s.displayWidth, -s.scrollY + s.displayHeight};
    RECT part;
    if (!IntersectRect(&part, &picture, &area)) return;
    int width = part.right - part.left, height = part.bottom - part.top;
    int left = part.left + s.scrollX, top = part.top + s.scrollY;  // display pixels
    if (s.hasBitmap && s.display.width == s.displayWidth && s.display.height == s.displayHeight) {
        if (s.display.rendered) {
            blitSurface(dc, part.left, part.top, width, height, s.display.rendered, left, top);
            return;
        }
        uint32_t* bits = nullptr;
        HBITMAP surface = makeSurface(width, height, &bits);
        if (!surface) return;
        renderArea(s, left, top, width, height, bits, width);
        blitSurface(dc, part.left, part.top, width, height, surface, 0, 0);
        DeleteObject(surface);
        return;
    }
    if (!s.deviceBitmap) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, s.deviceBitmap);
    StretchBlt(dc, picture.left, picture.top, s.displayWidth, s.displayHeight, memory, 0, 0, s.pictureWidth,
               s.pictureHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

HBITMAP BitmapToDeviceBitmap(const Bitmap& bitmap)
{
    if (bitmap.width <= 0 || bitmap.height <= 0 || !bitmap.pixels) return nullptr;
    uint32_t* bits = nullptr;
    HBITMAP surface = makeSurface(bitmap.width, bitmap.height, &bits);
    if (!surface) return nullptr;
    for (int y = 0; y < bitmap.height; ++y) {
        if (!readScreenRow(bitmap, y, bits + static_cast<size_t>(y) * bitmap.width)) {
            DeleteObject(surface);
            return nullptr;
        }
    }
    return surface;
}

}  // namespace fotrix
