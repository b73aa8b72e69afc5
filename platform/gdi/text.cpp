// Single-line text: TextOut, ExtTextOut, extents and metrics.
#include "platform/gdi/text_internal.h"
#include "platform/base/utf8.h"

#include <cstring>

namespace {

std::string_view runOf(const char* text, int length)
{
    if (!text) return {};
    return length < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(length));
}

void blendGlyph(DeviceContext* dc, const Glyph& g, int penX, int baseline, uint32_t color)
{
    Surface& s = *dc->target;
    int r = (color >> 16) & 0xFF, gr = (color >> 8) & 0xFF, b = color & 0xFF;
    for (int gy = 0; gy < g.height; ++gy) {
        int y = baseline - g.top + gy;
        if (y < 0 || y >= s.height) continue;
        for (int gx = 0; gx < g.width; ++gx) {
            int a = g.alpha[static_cast<size_t>(gy) * g.width + gx];
            if (a == 0) continue;
            int x = penX + g.left + gx;
            if (x < 0 || x >= s.width || !clipContains(dc, x, y)) continue;
            uint32_t v = color;
            if (a < 255) {
                uint32_t d = surfaceGet(s, x, y);
                int dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
                dr += (r - dr) * a / 255;
                dg += (gr - dg) * a / 255;
                db += (b - db) * a / 255;
                v = (uint32_t(dr) << 16) | (uint32_t(dg) << 8) | uint32_t(db);
            }
            surfacePut(s, x, y, v);
        }
    }
}

}  // namespace

int textRunWidth(FontInstance* font, std::string_view text)
{
    int w = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const Glyph* g = fontGlyph(font, utf8Next(text, &pos));
        if (g) w += g->advance;
    }
    return w;
}

void drawTextRun(DeviceContext* dc, FontInstance* font, int x, int y, std::string_view text)
{
    if (!font || !dc->target) return;
    TEXTMETRIC tm;
    fontMetrics(font, &tm);
    uint32_t color = colorToPixel(dc->textColor);
    int pen = x, baseline = y + tm.tmAscent;
    size_t pos = 0;
    while (pos < text.size()) {
        const Glyph* g = fontGlyph(font, utf8Next(text, &pos));
        if (!g) continue;
        blendGlyph(dc, *g, pen, baseline, color);
        pen += g->advance;
    }
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT length, const int* dx)
{
    if (!dcValid(hdc)) return FALSE;
    (void)dx;  // per-character spacing is not used by the program
    FontInstance* font = dcFont(hdc);
    std::string_view run = text ? std::string_view(text, length) : std::string_view();
    std::vector<RECT> savedClip = hdc->clip;
    if (rect && (options & ETO_OPAQUE)) {
        HBRUSH bk = CreateSolidBrush(hdc->bkColor);
        FillRect(hdc, rect, bk);
        DeleteObject(bk);
    }
    if (rect && (options & ETO_CLIPPED)) IntersectClipRect(hdc, rect->left, rect->top, rect->right, rect->bottom);
    if (font && !run.empty()) {
        TEXTMETRIC tm;
        fontMetrics(font, &tm);
        int width = textRunWidth(font, run);
        int left = x;
        if ((hdc->textAlign & TA_CENTER) == TA_CENTER) left = x - width / 2;
        else if (hdc->textAlign & TA_RIGHT) left = x - width;
        int top = y;
        if ((hdc->textAlign & TA_BASELINE) == TA_BASELINE) top = y - tm.tmAscent;
        else if (hdc->textAlign & TA_BOTTOM) top = y - tm.tmHeight;
        if (hdc->bkMode == OPAQUE) {
            RECT cell{left, top, left + width, top + tm.tmHeight};
            HBRUSH bk = CreateSolidBrush(hdc->bkColor);
            FillRect(hdc, &cell, bk);
            DeleteObject(bk);
        }
        drawTextRun(hdc, font, devX(hdc, left), devY(hdc, top), run);
    }
    hdc->clip.swap(savedClip);
    return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int length)
{
    std::string_view run = runOf(text, length);
    return ExtTextOut(hdc, x, y, 0, nullptr, run.data(), static_cast<UINT>(run.size()), nullptr);
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size)
{
    if (!dcValid(hdc) || !size) return FALSE;
    FontInstance* font = dcFont(hdc);
    if (!font) return FALSE;
    TEXTMETRIC tm;
    fontMetrics(font, &tm);
    size->cx = textRunWidth(font, runOf(text, length));
    size->cy = tm.tmHeight;
    return TRUE;
}

BOOL GetTextExtentExPoint(HDC hdc, const char* text, int length, int maxExtent, int* fit, int* dx, SIZE* size)
{
    if (!dcValid(hdc)) return FALSE;
    FontInstance* font = dcFont(hdc);
    if (!font) return FALSE;
    std::string_view run = runOf(text, length);
    int total = 0, fitted = 0;
    bool stillFits = true;
    size_t pos = 0;
    while (pos < run.size()) {
        size_t start = pos;
        const Glyph* g = fontGlyph(font, utf8Next(run, &pos));
        total += g ? g->advance : 0;
        if (stillFits && maxExtent >= 0 && total > maxExtent) stillFits = false;
        if (stillFits) fitted = static_cast<int>(pos);
        if (dx)
            for (size_t i = start; i < pos; ++i) dx[i] = total;
    }
    if (fit) *fit = maxExtent < 0 ? static_cast<int>(run.size()) : fitted;
    if (size) {
        TEXTMETRIC tm;
        fontMetrics(font, &tm);
        size->cx = total;
        size->cy = tm.tmHeight;
    }
    return TRUE;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics)
{
    if (!dcValid(hdc) || !metrics) return FALSE;
    FontInstance* font = dcFont(hdc);
    if (!font) return FALSE;
    fontMetrics(font, metrics);
    return TRUE;
}

int GetTextFace(HDC hdc, int capacity, char* name)
{
    if (!dcValid(hdc)) return 0;
    const char* face = fontFaceName(dcFont(hdc));
    int n = static_cast<int>(std::strlen(face));
    if (!name) return n + 1;
    if (capacity <= 0) return 0;
    n = std::min(n, capacity - 1);
    std::memcpy(name, face, static_cast<size_t>(n));
    name[n] = 0;
    return n;
}
