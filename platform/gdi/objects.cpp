// GDI objects: brushes, pens, fonts and bitmaps; stock objects; selection into DCs.
#include "platform/gdi/gdi_internal.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

std::mutex& objectsLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_set<HGDIOBJ>& liveObjects()
{
    static std::unordered_set<HGDIOBJ> set;
    return set;
}

HGDIOBJ track(GdiObject* o)
{
    o->magic = kGdiMagic;
    std::lock_guard<std::mutex> guard(objectsLock());
    liveObjects().insert(o);
    return o;
}

GdiObject* makeStock(GdiKind kind, COLORREF color, bool null)
{
    auto* o = new GdiObject;
    o->kind = kind;
    o->color = color;
    o->null = null;
    o->stock = true;
    track(o);
    return o;
}

GdiObject* stockFont(bool bold)
{
    auto* o = new GdiObject;
    o->kind = GdiKind::Font;
    o->stock = true;
    o->logFont.lfHeight = 0;  // the default size: 8 points at the screen's resolution
    o->logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::strcpy(o->logFont.lfFaceName, "Tahoma");
    track(o);
    return o;
}

int copyOut(const void* src, int size, int capacity, void* out)
{
    if (!out) return size;
    int n = std::min(size, capacity);
    std::memcpy(out, src, static_cast<size_t>(std::max(n, 0)));
    return n;
}

}  // namespace

bool gdiValid(HGDIOBJ object)
{
    std::lock_guard<std::mutex> guard(objectsLock());
    return object && liveObjects().count(object) != 0;
}

HGDIOBJ GetStockObject(int index)
{
    static GdiObject* objects[18] = {};
    static std::once_flag once;
    std::call_once(once, [] {
        objects[WHITE_BRUSH] = makeStock(GdiKind::Brush, RGB(255, 255, 255), false);
        objects[LTGRAY_BRUSH] = makeStock(GdiKind::Brush, RGB(192, 192, 192), false);
        objects[GRAY_BRUSH] = makeStock(GdiKind::Brush, RGB(128, 128, 128), false);
        objects[DKGRAY_BRUSH] = makeStock(GdiKind::Brush, RGB(64, 64, 64), false);
        objects[BLACK_BRUSH] = makeStock(GdiKind::Brush, RGB(0, 0, 0), false);
        objects[NULL_BRUSH] = makeStock(GdiKind::Brush, 0, true);
        objects[WHITE_PEN] = makeStock(GdiKind::Pen, RGB(255, 255, 255), false);
        objects[BLACK_PEN] = makeStock(GdiKind::Pen, RGB(0, 0, 0), false);
        objects[NULL_PEN] = makeStock(GdiKind::Pen, 0, true);
        objects[NULL_PEN]->penStyle = PS_NULL;
        objects[SYSTEM_FONT] = stockFont(true);
        objects[DEFAULT_GUI_FONT] = stockFont(false);
    });
    if (index < 0 || index >= 18) return nullptr;
    return objects[index];
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto* o = new GdiObject;
    o->kind = GdiKind::Brush;
    o->color = color & 0xFFFFFF;
    return track(o);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (!brush) return nullptr;
    if (brush->lbStyle == BS_NULL) return GetStockObject(NULL_BRUSH);
    return CreateSolidBrush(brush->lbColor);
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    if (style == PS_NULL) return GetStockObject(NULL_PEN);
    auto* o = new GdiObject;
    o->kind = GdiKind::Pen;
    o->penStyle = style == PS_DASH ? PS_DASH : PS_SOLID;
    o->penWidth = std::clamp(width, 1, 256);
    o->color = color & 0xFFFFFF;
    return track(o);
}

HPEN CreatePenIndirect(const LOGPEN* pen)
{
    return pen ? CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor) : nullptr;
}

HFONT CreateFontIndirect(const LOGFONT* font)
{
    if (!font) return nullptr;
    auto* o = new GdiObject;
    o->kind = GdiKind::Font;
    o->logFont = *font;
    o->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    return track(o);
}

HBITMAP CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits)
{
    if (bitsPerPixel != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* o = new GdiObject;
    o->kind = GdiKind::Bitmap;
    if (!surfaceAllocate(o->surface, width, height, 32, false)) {
        delete o;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (bits) std::memcpy(o->surface.bits, bits, o->surface.storage.size());
    return track(o);
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) { return CreateBitmap(width, height, 1, 32, nullptr); }

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD)
{
    if (bits) *bits = nullptr;
    if (!info) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biCompression != BI_RGB || (h.biBitCount != 8 && h.biBitCount != 24 && h.biBitCount != 32) || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* o = new GdiObject;
    o->kind = GdiKind::Bitmap;
    o->dib = true;
    bool bottomUp = h.biHeight > 0;
    int height = bottomUp ? h.biHeight : -h.biHeight;
    if (h.biBitCount == 8) {
        // The palette follows the header; read it through a byte pointer, as the
        // caller's record is usually bigger than the declared one-entry array.
        size_t count = h.biClrUsed == 0 || h.biClrUsed > 256 ? 256 : h.biClrUsed;
        const auto* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) + sizeof(BITMAPINFOHEADER));
        o->surface.palette.assign(colors, colors + count);
    }
    if (!surfaceAllocate(o->surface, h.biWidth, height, h.biBitCount, bottomUp)) {
        delete o;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (bits) *bits = o->surface.bits;
    return track(o);
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!gdiValid(object) || object->stock) return FALSE;
    // An object still selected into a DC stays, as Windows does.
    if (object->selected > 0) return FALSE;
    {
        std::lock_guard<std::mutex> guard(objectsLock());
        liveObjects().erase(object);
    }
    object->magic = 0;
    delete object;
    return TRUE;
}

int GetObject(HGDIOBJ object, int size, void* out)
{
    if (!gdiValid(object)) return 0;
    switch (object->kind) {
    case GdiKind::Bitmap: {
        const Surface& s = object->surface;
        DIBSECTION ds{};
        ds.dsBm = BITMAP{0, s.width, s.height, s.stride, 1, static_cast<WORD>(s.bpp), object->dib ? s.bits : nullptr};
        ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        ds.dsBmih.biWidth = s.width;
        ds.dsBmih.biHeight = s.bottomUp ? s.height : -s.height;
        ds.dsBmih.biPlanes = 1;
        ds.dsBmih.biBitCount = static_cast<WORD>(s.bpp);
        ds.dsBmih.biSizeImage = static_cast<DWORD>(s.storage.size());
        ds.dsBmih.biClrUsed = static_cast<DWORD>(s.palette.size());
        if (object->dib && size >= static_cast<int>(sizeof(DIBSECTION))) return copyOut(&ds, sizeof ds, size, out);
        return copyOut(&ds.dsBm, sizeof(BITMAP), size, out);
    }
    case GdiKind::Font:
        return copyOut(&object->logFont, sizeof(LOGFONT), size, out);
    case GdiKind::Pen: {
        LOGPEN lp{static_cast<UINT>(object->null ? PS_NULL : object->penStyle), {object->penWidth, 0}, object->color};
        return copyOut(&lp, sizeof lp, size, out);
    }
    case GdiKind::Brush: {
        LOGBRUSH lb{object->null ? BS_NULL : BS_SOLID, object->color, 0};
        return copyOut(&lb, sizeof lb, size, out);
    }
    }
    return 0;
}

static HGDIOBJ swapSelected(HGDIOBJ& slot, HGDIOBJ object)
{
    HGDIOBJ old = slot;
    if (old) --old->selected;
    slot = object;
    ++object->selected;
    return old;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object)
{
    if (!dcValid(hdc) || !gdiValid(object)) return nullptr;
    switch (object->kind) {
    case GdiKind::Brush:
        return swapSelected(hdc->brush, object);
    case GdiKind::Pen:
        return swapSelected(hdc->pen, object);
    case GdiKind::Font:
        return swapSelected(hdc->font, object);
    case GdiKind::Bitmap: {
        // Only memory DCs take bitmaps, and a bitmap lives in one DC at a time.
        if (hdc->screen || (object->selected > 0 && hdc->bitmap != object)) return nullptr;
        HGDIOBJ old = swapSelected(hdc->bitmap, object);
        hdc->target = &object->surface;
        hdc->baseClip = {RECT{0, 0, object->surface.width, object->surface.height}};
        hdc->clip = hdc->baseClip;
        return old;
    }
    }
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT kind)
{
    if (!dcValid(hdc)) return nullptr;
    switch (kind) {
    case OBJ_PEN:
        return hdc->pen;
    case OBJ_BRUSH:
        return hdc->brush;
    case OBJ_FONT:
        return hdc->font;
    case OBJ_BITMAP:
        return hdc->bitmap;
    default:
        return nullptr;
    }
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors)
{
    if (!dcValid(hdc) || !hdc->bitmap || !colors) return 0;
    Surface& s = hdc->bitmap->surface;
    if (s.bpp != 8 || start >= s.palette.size()) return 0;
    UINT n = std::min<UINT>(count, static_cast<UINT>(s.palette.size()) - start);
    std::copy(colors, colors + n, s.palette.begin() + start);
    return n;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors)
{
    if (!dcValid(hdc) || !hdc->bitmap || !colors) return 0;
    const Surface& s = hdc->bitmap->surface;
    if (s.bpp != 8 || start >= s.palette.size()) return 0;
    UINT n = std::min<UINT>(count, static_cast<UINT>(s.palette.size()) - start);
    std::copy(s.palette.begin() + start, s.palette.begin() + start + n, colors);
    return n;
}

HBRUSH gdiResolveClassBrush(HBRUSH brush)
{
    auto value = reinterpret_cast<uintptr_t>(brush);
    if (value == 0) return nullptr;
    if (value <= 64) return GetSysColorBrush(static_cast<int>(value) - 1);
    return gdiValid(brush) ? brush : nullptr;
}
