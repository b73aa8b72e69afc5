#pragma once
// Records behind HDC and HGDIOBJ. Private to platform/.
#include "platform/gdi/gdi.h"
#include "platform/gdi/screen_dc.h"
#include "platform/gdi/surface.h"

#include <memory>
#include <string>
#include <vector>

struct FontInstance;

enum class GdiKind { Brush, Pen, Font, Bitmap };

struct GdiObject {
    uint32_t magic = 0;
    GdiKind kind = GdiKind::Brush;
    bool stock = false;
    bool null = false;         // null brush or pen
    COLORREF color = 0;
    int penStyle = PS_SOLID;
    int penWidth = 1;
    LOGFONT logFont{};
    FontInstance* font = nullptr;
    Surface surface;
    bool dib = false;
    int selected = 0;          // DCs that hold it
};

constexpr uint32_t kGdiMagic = 0x47444930;  // "GDI0"

struct DcState {
    HPEN pen;
    HBRUSH brush;
    HFONT font;
    COLORREF textColor;
    COLORREF bkColor;
    int bkMode;
    UINT textAlign;
    POINT viewport;
    POINT current;
    int stretchMode;
    std::vector<RECT> clip;
};

struct DeviceContext {
    uint32_t magic = 0;
    std::vector<DcState> saved;
    bool screen = false;
    Surface* target = nullptr;
    HBITMAP bitmap = nullptr;
    POINT origin{0, 0};         // device position of logical (0, 0), before the viewport offset
    POINT viewport{0, 0};
    std::vector<RECT> baseClip; // device coordinates
    std::vector<RECT> clip;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT current{0, 0};
    int stretchMode = COLORONCOLOR;
};

constexpr uint32_t kDcMagic = 0x44435F30;  // "DC_0"

bool gdiValid(HGDIOBJ object);
bool dcValid(HDC hdc);

// Device offset of logical coordinates.
inline int devX(const DeviceContext* dc, int x) { return x + dc->origin.x + dc->viewport.x; }
inline int devY(const DeviceContext* dc, int y) { return y + dc->origin.y + dc->viewport.y; }

// Runs fn(rect) for every clip rectangle cut by the device-space bounds.
template <class Fn>
void forEachClip(const DeviceContext* dc, RECT bounds, Fn fn)
{
    for (const RECT& c : dc->clip) {
        RECT r;
        if (IntersectRect(&r, &c, &bounds)) fn(r);
    }
}
bool clipContains(const DeviceContext* dc, int x, int y);
void plotDevice(DeviceContext* dc, int x, int y, uint32_t rgb);  // clipped

// Fonts (fonts.cpp).
struct Glyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> alpha;
};
FontInstance* fontInstanceFor(const LOGFONT& lf);
const Glyph* fontGlyph(FontInstance* font, uint32_t codePoint);
void fontMetrics(FontInstance* font, TEXTMETRIC* tm);
const char* fontFaceName(FontInstance* font);
FontInstance* dcFont(DeviceContext* dc);
