// Device contexts: memory DCs, screen DCs, attributes, clipping and capabilities.
#include "platform/gdi/gdi_internal.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

namespace {

std::mutex& dcsLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_set<HDC>& liveDcs()
{
    static std::unordered_set<HDC> set;
    return set;
}

HBITMAP defaultBitmap()
{
    static HBITMAP bitmap = [] {
        HBITMAP b = CreateBitmap(1, 1, 1, 32, nullptr);
        b->stock = true;
        return b;
    }();
    return bitmap;
}

HDC newDc()
{
    auto* dc = new DeviceContext;
    dc->magic = kDcMagic;
    dc->pen = GetStockObject(BLACK_PEN);
    dc->brush = GetStockObject(WHITE_BRUSH);
    dc->font = GetStockObject(DEFAULT_GUI_FONT);
    ++dc->pen->selected;
    ++dc->brush->selected;
    ++dc->font->selected;
    std::lock_guard<std::mutex> guard(dcsLock());
    liveDcs().insert(dc);
    return dc;
}

void freeDc(HDC dc)
{
    {
        std::lock_guard<std::mutex> guard(dcsLock());
        liveDcs().erase(dc);
    }
    for (const DcState& s : dc->saved)
        for (HGDIOBJ o : {s.pen, s.brush, s.font})
            if (o) --o->selected;
    for (HGDIOBJ o : {dc->pen, dc->brush, dc->font, dc->bitmap})
        if (o) --o->selected;
    dc->magic = 0;
    delete dc;
}

}  // namespace

bool dcValid(HDC hdc)
{
    std::lock_guard<std::mutex> guard(dcsLock());
    return hdc && liveDcs().count(hdc) != 0;
}

HDC CreateCompatibleDC(HDC)
{
    HDC dc = newDc();
    HBITMAP b = defaultBitmap();
    dc->bitmap = b;
    ++b->selected;
    dc->target = &b->surface;
    dc->baseClip = {RECT{0, 0, 1, 1}};
    dc->clip = dc->baseClip;
    return dc;
}

BOOL DeleteDC(HDC hdc)
{
    if (!dcValid(hdc) || hdc->screen) return FALSE;
    freeDc(hdc);
    return TRUE;
}

HDC gdiCreateScreenDC(POINT origin, const std::vector<RECT>& clip)
{
    HDC dc = newDc();
    dc->screen = true;
    dc->target = gdiScreenSurface();
    dc->origin = origin;
    RECT all{0, 0, dc->target ? dc->target->width : 0, dc->target ? dc->target->height : 0};
    for (RECT r : clip)
        if (IntersectRect(&r, &r, &all)) dc->baseClip.push_back(r);
    dc->clip = dc->baseClip;
    return dc;
}

void gdiDeleteScreenDC(HDC hdc)
{
    if (dcValid(hdc) && hdc->screen) freeDc(hdc);
}

int GetDeviceCaps(HDC hdc, int index)
{
    int w = gdiScreenWidth(), h = gdiScreenHeight();
    int dpi = gdiScreenDpi();
    switch (index) {
    case HORZRES:
        return w;
    case VERTRES:
        return h;
    case HORZSIZE:
        return w * 254 / (dpi * 10);
    case VERTSIZE:
        return h * 254 / (dpi * 10);
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return dpi;
    default:
        return 0;
    }
}

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    if (!dcValid(hdc)) return CLR_INVALID;
    COLORREF old = hdc->textColor;
    hdc->textColor = color & 0xFFFFFF;
    return old;
}

COLORREF GetTextColor(HDC hdc) { return dcValid(hdc) ? hdc->textColor : CLR_INVALID; }

COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    if (!dcValid(hdc)) return CLR_INVALID;
    COLORREF old = hdc->bkColor;
    hdc->bkColor = color & 0xFFFFFF;
    return old;
}

COLORREF GetBkColor(HDC hdc) { return dcValid(hdc) ? hdc->bkColor : CLR_INVALID; }

int SetBkMode(HDC hdc, int mode)
{
    if (!dcValid(hdc) || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    int old = hdc->bkMode;
    hdc->bkMode = mode;
    return old;
}

int GetBkMode(HDC hdc) { return dcValid(hdc) ? hdc->bkMode : 0; }

UINT SetTextAlign(HDC hdc, UINT align)
{
    if (!dcValid(hdc)) return 0xFFFFFFFF;
    UINT old = hdc->textAlign;
    hdc->textAlign = align;
    return old;
}

int SetStretchBltMode(HDC hdc, int mode)
{
    if (!dcValid(hdc)) return 0;
    int old = hdc->stretchMode;
    hdc->stretchMode = mode;
    return old;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old)
{
    if (!dcValid(hdc)) return FALSE;
    if (old) *old = hdc->viewport;
    hdc->viewport = POINT{x, y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, POINT* out)
{
    if (!dcValid(hdc) || !out) return FALSE;
    *out = hdc->viewport;
    return TRUE;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    if (!dcValid(hdc)) return RGN_ERROR;
    RECT cut{devX(hdc, left), devY(hdc, top), devX(hdc, right), devY(hdc, bottom)};
    std::vector<RECT> next;
    for (RECT r : hdc->clip)
        if (IntersectRect(&r, &r, &cut)) next.push_back(r);
    hdc->clip.swap(next);
    return hdc->clip.empty() ? NULLREGION : hdc->clip.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

static int regionKind(const std::vector<RECT>& clip)
{
    return clip.empty() ? NULLREGION : clip.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    if (!dcValid(hdc)) return RGN_ERROR;
    RECT cut{devX(hdc, left), devY(hdc, top), devX(hdc, right), devY(hdc, bottom)};
    std::vector<RECT> next;
    for (const RECT& r : hdc->clip) {
        RECT i;
        if (!IntersectRect(&i, &r, &cut)) {
            next.push_back(r);
            continue;
        }
        // What is left of r around the cut: bands above and below, pieces left and right.
        if (r.top < i.top) next.push_back(RECT{r.left, r.top, r.right, i.top});
        if (i.bottom < r.bottom) next.push_back(RECT{r.left, i.bottom, r.right, r.bottom});
        if (r.left < i.left) next.push_back(RECT{r.left, i.top, i.left, i.bottom});
        if (i.right < r.right) next.push_back(RECT{i.right, i.top, r.right, i.bottom});
    }
    hdc->clip.swap(next);
    return regionKind(hdc->clip);
}

int SaveDC(HDC hdc)
{
    if (!dcValid(hdc)) return 0;
    for (HGDIOBJ o : {hdc->pen, hdc->brush, hdc->font})
        if (o) ++o->selected;  // a saved state keeps its objects in use
    hdc->saved.push_back(DcState{hdc->pen, hdc->brush, hdc->font, hdc->textColor, hdc->bkColor, hdc->bkMode, hdc->textAlign,
                                 hdc->viewport, hdc->current, hdc->stretchMode, hdc->clip});
    return static_cast<int>(hdc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved)
{
    if (!dcValid(hdc)) return FALSE;
    int count = static_cast<int>(hdc->saved.size());
    int index = saved < 0 ? count + saved : saved - 1;
    if (index < 0 || index >= count) return FALSE;
    while (static_cast<int>(hdc->saved.size()) > index + 1) {
        for (HGDIOBJ o : {hdc->saved.back().pen, hdc->saved.back().brush, hdc->saved.back().font})
            if (o) --o->selected;
        hdc->saved.pop_back();
    }
    DcState state = std::move(hdc->saved.back());
    hdc->saved.pop_back();
    for (HGDIOBJ o : {hdc->pen, hdc->brush, hdc->font})
        if (o) --o->selected;
    hdc->pen = state.pen;
    hdc->brush = state.brush;
    hdc->font = state.font;
    hdc->textColor = state.textColor;
    hdc->bkColor = state.bkColor;
    hdc->bkMode = state.bkMode;
    hdc->textAlign = state.textAlign;
    hdc->viewport = state.viewport;
    hdc->current = state.current;
    hdc->stretchMode = state.stretchMode;
    hdc->clip = std::move(state.clip);
    return TRUE;
}

int GetClipBox(HDC hdc, RECT* rect)
{
    if (!dcValid(hdc) || !rect) return RGN_ERROR;
    RECT box{};
    for (const RECT& r : hdc->clip) UnionRect(&box, &box, &r);
    OffsetRect(&box, -(hdc->origin.x + hdc->viewport.x), -(hdc->origin.y + hdc->viewport.y));
    *rect = box;
    return hdc->clip.empty() ? NULLREGION : hdc->clip.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL GdiFlush()
{
    gdiScreenChanged();
    return TRUE;
}

bool clipContains(const DeviceContext* dc, int x, int y)
{
    for (const RECT& r : dc->clip)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

void plotDevice(DeviceContext* dc, int x, int y, uint32_t rgb)
{
    if (dc->target && clipContains(dc, x, y)) surfacePut(*dc->target, x, y, rgb);
}

FontInstance* dcFont(DeviceContext* dc)
{
    // Looked up on each use: the default size follows the screen's resolution.
    HFONT f = gdiValid(dc->font) ? dc->font : GetStockObject(DEFAULT_GUI_FONT);
    return fontInstanceFor(f->logFont);
}

BOOL SaveDCToPng(HDC hdc, const RECT* area, const char* path)
{
    if (!dcValid(hdc) || !hdc->target || !path) return FALSE;
    RECT all{0, 0, hdc->target->width, hdc->target->height};
    RECT r = all;
    if (area) {
        r = *area;
        OffsetRect(&r, hdc->origin.x + hdc->viewport.x, hdc->origin.y + hdc->viewport.y);
        if (!IntersectRect(&r, &r, &all)) return FALSE;
    }
    return writeSurfacePng(*hdc->target, r, path) ? TRUE : FALSE;
}
