#pragma once
// Pixels of a bitmap or of the screen, and writing them as PNG. Used by GDI
// itself, by the screen (which owns the framebuffer) and by the hosts that
// show it. Private to platform/.
#include "platform/gdi/gdi.h"

#include <vector>

// 32-bit pixels are 0x00RRGGBB words (bytes B, G, R, X in memory, as 32-bit
// DIBs); 24-bit pixels are B, G, R bytes; 8-bit pixels index the palette.
struct Surface {
    int width = 0;
    int height = 0;
    int bpp = 32;
    int stride = 0;
    bool bottomUp = false;
    uint8_t* bits = nullptr;
    std::vector<uint8_t> storage;
    std::vector<RGBQUAD> palette;
};

bool surfaceAllocate(Surface& s, int width, int height, int bpp, bool bottomUp);
inline uint8_t* surfaceRow(const Surface& s, int y)
{
    return s.bits + static_cast<size_t>(s.bottomUp ? s.height - 1 - y : y) * static_cast<size_t>(s.stride);
}
uint32_t surfaceGet(const Surface& s, int x, int y);          // 0x00RRGGBB
void surfacePut(Surface& s, int x, int y, uint32_t rgb);
inline uint32_t colorToPixel(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
inline COLORREF pixelToColor(uint32_t p) { return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF); }

// PNG output (png.cpp).
bool writeSurfacePng(const Surface& s, const RECT& area, const char* path);
