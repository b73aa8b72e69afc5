// Pixel storage and access for 8-, 24- and 32-bit surfaces.
#include "platform/gdi/gdi_internal.h"

#include <climits>

bool surfaceAllocate(Surface& s, int width, int height, int bpp, bool bottomUp)
{
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
    if (bpp != 8 && bpp != 24 && bpp != 32) return false;
    int64_t stride = ((static_cast<int64_t>(width) * bpp + 31) / 32) * 4;
    int64_t total = stride * height;
    if (total > (int64_t{1} << 30)) return false;
    s.width = width;
    s.height = height;
    s.bpp = bpp;
    s.stride = static_cast<int>(stride);
    s.bottomUp = bottomUp;
    s.storage.assign(static_cast<size_t>(total), 0);
    s.bits = s.storage.data();
    if (bpp == 8 && s.palette.empty()) {
        s.palette.resize(256);
        for (int i = 0; i < 256; ++i) s.palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    }
    return true;
}

uint32_t surfaceGet(const Surface& s, int x, int y)
{
    const uint8_t* row = surfaceRow(s, y);
    switch (s.bpp) {
    case 32:
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    case 24: {
        const uint8_t* p = row + x * 3;
        return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
    default: {
        uint8_t i = row[x];
        if (i >= s.palette.size()) return 0;
        const RGBQUAD& q = s.palette[i];
        return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
    }
    }
}

static uint8_t nearestIndex(const Surface& s, uint32_t rgb)
{
    int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 0, bestDistance = INT_MAX;
    for (size_t i = 0; i < s.palette.size(); ++i) {
        const RGBQUAD& q = s.palette[i];
        int dr = r - q.rgbRed, dg = g - q.rgbGreen, db = b - q.rgbBlue;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
            if (d == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

void surfacePut(Surface& s, int x, int y, uint32_t rgb)
{
    uint8_t* row = surfaceRow(s, y);
    switch (s.bpp) {
    case 32:
        reinterpret_cast<uint32_t*>(row)[x] = rgb & 0xFFFFFF;
        break;
    case 24: {
        uint8_t* p = row + x * 3;
        p[0] = rgb & 0xFF;
        p[1] = (rgb >> 8) & 0xFF;
        p[2] = (rgb >> 16) & 0xFF;
        break;
    }
    default:
        row[x] = nearestIndex(s, rgb);
        break;
    }
}
