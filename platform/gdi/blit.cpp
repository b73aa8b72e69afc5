// Block transfers between DCs: BitBlt, StretchBlt (nearest neighbour) and the
// DIB transfers that draw straight from caller memory.
#include "platform/gdi/gdi_internal.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t applyRop(DWORD rop, uint32_t s, uint32_t d, uint32_t p)
{
    switch (rop) {
    case SRCCOPY:
        return s;
    case SRCPAINT:
        return s | d;
    case SRCAND:
        return s & d;
    case SRCINVERT:
        return s ^ d;
    case NOTSRCCOPY:
        return ~s & 0xFFFFFF;
    case DSTINVERT:
        return ~d & 0xFFFFFF;
    case PATCOPY:
        return p;
    case PATINVERT:
        return p ^ d;
    case BLACKNESS:
        return 0;
    case WHITENESS:
        return 0xFFFFFF;
    default:
        return d;
    }
}

bool ropKnown(DWORD rop)
{
    switch (rop) {
    case SRCCOPY: case SRCPAINT: case SRCAND: case SRCINVERT: case NOTSRCCOPY:
    case DSTINVERT: case PATCOPY: case PATINVERT: case BLACKNESS: case WHITENESS:
        return true;
    default:
        return false;
    }
}

// Copies the source pixels a transfer reads, so that a transfer within one
// surface (scrolling) reads what was there before it started. Only the part of
// the requested rectangle that lies on the surface is copied; the rest reads
// as absent, and the destination keeps its pixels there.
struct SourceCopy {
    int left = 0, top = 0;              // the requested rectangle's origin
    RECT have{0, 0, 0, 0};              // the part on the surface (absolute)
    std::vector<uint32_t> pixels;
    bool at(int x, int y, uint32_t* out) const  // x, y relative to the requested origin
    {
        int ax = left + x, ay = top + y;
        if (ax < have.left || ay < have.top || ax >= have.right || ay >= have.bottom) return false;
        *out = pixels[static_cast<size_t>(ay - have.top) * (have.right - have.left) + (ax - have.left)];
        return true;
    }
};

SourceCopy copySource(const Surface& s, int left, int top, int width, int height)
{
    SourceCopy c;
    c.left = left;
    c.top = top;
    RECT wanted{left, top, static_cast<LONG>(std::min<int64_t>(int64_t{left} + std::max(width, 0), INT32_MAX)),
                static_cast<LONG>(std::min<int64_t>(int64_t{top} + std::max(height, 0), INT32_MAX))};
    RECT all{0, 0, s.width, s.height};
    if (!IntersectRect(&c.have, &wanted, &all)) return c;
    c.pixels.resize(static_cast<size_t>(c.have.right - c.have.left) * (c.have.bottom - c.have.top));
    size_t i = 0;
    for (int y = c.have.top; y < c.have.bottom; ++y)
        for (int x = c.have.left; x < c.have.right; ++x) c.pixels[i++] = surfaceGet(s, x, y);
    return c;
}

// Draws the destination rectangle (device coordinates) from the source copy,
// mapping each destination pixel to a source pixel with the given functions.
template <class MapX, class MapY>
void transfer(DeviceContext* dst, RECT area, const SourceCopy* src, DWORD rop, MapX mapX, MapY mapY)
{
    Surface& d = *dst->target;
    RECT all{0, 0, d.width, d.height};
    if (!IntersectRect(&area, &area, &all)) return;
    uint32_t pattern = gdiValid(dst->brush) && !dst->brush->null ? colorToPixel(dst->brush->color) : 0;
    forEachClip(dst, area, [&](const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y) {
            int sy = src ? mapY(y) : 0;
            for (int x = r.left; x < r.right; ++x) {
                uint32_t s = 0;
                if (src && !src->at(mapX(x), sy, &s)) continue;
                uint32_t v = rop == SRCCOPY ? s : applyRop(rop, s, surfaceGet(d, x, y), pattern);
                surfacePut(d, x, y, v);
            }
        }
    });
}

bool usesSource(DWORD rop) { return rop != PATCOPY && rop != PATINVERT && rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS; }

// Maps destination offset i (0..dstLen-1) to a source offset by pixel centres;
// a negative length on either side mirrors.
int stretchIndex(int i, int dstLen, int srcLen)
{
    int64_t n = std::abs(static_cast<int64_t>(dstLen)), m = std::abs(static_cast<int64_t>(srcLen));
    if ((dstLen < 0) != (srcLen < 0)) i = static_cast<int>(n - 1 - i);
    return static_cast<int>(((2 * static_cast<int64_t>(i) + 1) * m) / (2 * n));
}

bool stretchSurface(DeviceContext* dst, int x, int y, int w, int h, const Surface& s, int sx, int sy, int sw, int sh, DWORD rop)
{
    if (w == 0 || h == 0 || sw == 0 || sh == 0 || !ropKnown(rop)) return false;
    // A negative extent runs from its origin towards smaller coordinates,
    // the origin pixel included.
    int dl = w > 0 ? x : x + w + 1, dt = h > 0 ? y : y + h + 1;
    int sl = sw > 0 ? sx : sx + sw + 1, st = sh > 0 ? sy : sy + sh + 1;
    int aw = std::abs(w), ah = std::abs(h), asw = std::abs(sw), ash = std::abs(sh);
    SourceCopy copy;
    if (usesSource(rop)) copy = copySource(s, sl, st, asw, ash);
    RECT area{devX(dst, dl), devY(dst, dt), devX(dst, dl) + aw, devY(dst, dt) + ah};
    int ox = area.left, oy = area.top;
    int signW = (w < 0) != (sw < 0) ? -aw : aw, signH = (h < 0) != (sh < 0) ? -ah : ah;
    transfer(
        dst, area, usesSource(rop) ? &copy : nullptr, rop, [&](int px) { return stretchIndex(px - ox, signW, asw); },
        [&](int py) { return stretchIndex(py - oy, signH, ash); });
    return true;
}

// A surface that views caller memory in DIB layout, without copying it.
bool viewDib(const void* bits, const BITMAPINFO* info, Surface& s)
{
    if (!bits || !info) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biCompression != BI_RGB || (h.biBitCount != 8 && h.biBitCount != 24 && h.biBitCount != 32)) return false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN || h.biWidth > 32767 || std::abs(h.biHeight) > 32767)
        return false;
    s.width = h.biWidth;
    s.height = std::abs(h.biHeight);
    s.bpp = h.biBitCount;
    s.bottomUp = h.biHeight > 0;
    s.stride = ((s.width * s.bpp + 31) / 32) * 4;
    s.bits = const_cast<uint8_t*>(static_cast<const uint8_t*>(bits));
    if (s.bpp == 8) {
        size_t count = h.biClrUsed == 0 || h.biClrUsed > 256 ? 256 : h.biClrUsed;
        const auto* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) + sizeof(BITMAPINFOHEADER));
        s.palette.assign(colors, colors + count);
    }
    return true;
}

}  // namespace

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy, DWORD rop)
{
    if (!dcValid(dst) || !dst->target || !ropKnown(rop)) return FALSE;
    if (usesSource(rop) && (!dcValid(src) || !src->target)) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    SourceCopy copy;
    if (usesSource(rop)) copy = copySource(*src->target, devX(src, sx), devY(src, sy), width, height);
    RECT area{devX(dst, x), devY(dst, y), devX(dst, x) + width, devY(dst, y) + height};
    int ox = area.left, oy = area.top;
    transfer(
        dst, area, usesSource(rop) ? &copy : nullptr, rop, [&](int px) { return px - ox; }, [&](int py) { return py - oy; });
    return TRUE;
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh, DWORD rop)
{
    if (!dcValid(dst) || !dst->target) return FALSE;
    if (usesSource(rop) && (!dcValid(src) || !src->target)) return FALSE;
    if (!usesSource(rop)) return PatBlt(dst, x, y, width, height, rop);
    return stretchSurface(dst, x, y, width, height, *src->target, devX(src, sx), devY(src, sy), sw, sh, rop) ? TRUE : FALSE;
}

int StretchDIBits(HDC dst, int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* info, UINT, DWORD rop)
{
    Surface view;
    if (!dcValid(dst) || !dst->target || !viewDib(bits, info, view)) return 0;
    // Source y counts from the bottom row for bottom-up pictures, as in a DIB.
    int top = view.bottomUp ? view.height - sy - sh : sy;
    if (!stretchSurface(dst, x, y, width, height, view, sx, top, sw, sh, rop)) return 0;
    return std::abs(height);
}

int SetDIBitsToDevice(HDC dst, int x, int y, DWORD width, DWORD height, int sx, int sy, UINT startScan, UINT scanLines,
                      const void* bits, const BITMAPINFO* info, UINT usage)
{
    if (startScan != 0) return 0;  // banded transfers are not used by the program
    (void)scanLines;
    return StretchDIBits(dst, x, y, static_cast<int>(width), static_cast<int>(height), sx, sy, static_cast<int>(width),
                         static_cast<int>(height), bits, info, usage, SRCCOPY);
}
