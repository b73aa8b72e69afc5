// Image lists: pictures kept as 0x00RRGGBB pixels with a transparency mask,
// one record per picture, drawn by reading the destination, putting the
// opaque pixels over it and writing it back (so clipping is the DC's own).
#include "platform/controls/imagelist_internal.h"

#include "platform/gdi/gdi.h"
#include "platform/resources/resources.h"
#include "platform/screen/metrics.h"
#include "platform/window/window.h"

#include <algorithm>
#include <memory>

namespace {

uint32_t pixelOf(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A 32-bit top-down DIB section selected into a memory DC, for reading and
// writing the pixels of bitmaps and DCs.
struct Scratch {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    Scratch(int w, int h) : width(w), height(h)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        if (dc && bitmap) old = SelectObject(dc, bitmap);
    }
    ~Scratch()
    {
        if (dc) {
            if (old) SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
    }
    bool ok() const { return dc && bitmap && bits; }
};

// The pixels of a bitmap (0x00RRGGBB, top row first); false when it is no bitmap.
bool readBitmap(HBITMAP bitmap, int* width, int* height, std::vector<uint32_t>* pixels)
{
    BITMAP info{};
    if (!bitmap || GetObject(bitmap, sizeof info, &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
    Scratch scratch(info.bmWidth, info.bmHeight);
    if (!scratch.ok()) return false;
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(scratch.dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    *width = info.bmWidth;
    *height = info.bmHeight;
    pixels->resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    for (size_t i = 0; i < pixels->size(); ++i) (*pixels)[i] = scratch.bits[i] & 0x00FFFFFF;
    return true;
}

// Cuts a strip of pictures into cells of the list's size; a strip narrower
// than a cell still gives one picture. Pixels outside the strip stay transparent.
std::vector<ImagePicture> cutStrip(const ImageListRec* list, int width, int height, const std::vector<uint32_t>& pixels,
                                   const std::vector<uint8_t>& transparent)
{
    std::vector<ImagePicture> out;
    int count = std::max(1, width / list->cx);
    for (int n = 0; n < count; ++n) {
        ImagePicture p;
        p.pixels.assign(static_cast<size_t>(list->cx) * list->cy, 0);
        p.transparent.assign(p.pixels.size(), 1);
        for (int y = 0; y < std::min(list->cy, height); ++y)
            for (int x = 0; x < list->cx; ++x) {
                int sx = n * list->cx + x;
                if (sx >= width) break;
                size_t s = static_cast<size_t>(y) * width + sx, d = static_cast<size_t>(y) * list->cx + x;
                p.pixels[d] = pixels[s];
                p.transparent[d] = transparent[s];
            }
        out.push_back(std::move(p));
    }
    return out;
}

bool valid(const ImageListRec* list) { return list && imageListAlive(list); }

int append(ImageListRec* list, std::vector<ImagePicture> pictures)
{
    int first = static_cast<int>(list->pictures.size());
    for (ImagePicture& p : pictures) {
        // Without a mask every pixel is drawn.
        if (!(list->flags & ILC_MASK)) std::fill(p.transparent.begin(), p.transparent.end(), 0);
        list->pictures.push_back(std::move(p));
    }
    return first;
}

bool picturesFromBitmaps(const ImageListRec* list, HBITMAP image, HBITMAP mask, std::vector<ImagePicture>* out)
{
    int w, h;
    std::vector<uint32_t> pixels;
    if (!readBitmap(image, &w, &h, &pixels)) return false;
    std::vector<uint8_t> transparent(pixels.size(), 0);
    int mw, mh;
    std::vector<uint32_t> maskPixels;
    if (mask && readBitmap(mask, &mw, &mh, &maskPixels)) {
        for (int y = 0; y < std::min(h, mh); ++y)
            for (int x = 0; x < std::min(w, mw); ++x)
                transparent[static_cast<size_t>(y) * w + x] = (maskPixels[static_cast<size_t>(y) * mw + x] != 0) ? 1 : 0;
    }
    *out = cutStrip(list, w, h, pixels, transparent);
    return true;
}

uint32_t blend(uint32_t pixel, uint32_t with, int weightOfWith /* of 4 */)
{
    auto channel = [&](int shift) {
        int a = (pixel >> shift) & 0xFF, b = (with >> shift) & 0xFF;
        return static_cast<uint32_t>((a * (4 - weightOfWith) + b * weightOfWith) / 4) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow)
{
    if (cx <= 0 || cy <= 0) return nullptr;
    auto list = std::make_unique<ImageListRec>();
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    list->grow = std::max(1, grow);
    list->pictures.reserve(static_cast<size_t>(std::max(0, initial)));
    return imageListRegister(std::move(list));
}

BOOL ImageList_Destroy(HIMAGELIST list)
{
    if (!valid(list) || list->system) return FALSE;
    imageListUnregister(list);
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) { return valid(list) ? static_cast<int>(list->pictures.size()) : 0; }

BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count)
{
    if (!valid(list) || list->system) return FALSE;
    ImagePicture blank;
    blank.pixels.assign(static_cast<size_t>(list->cx) * list->cy, 0);
    blank.transparent.assign(blank.pixels.size(), (list->flags & ILC_MASK) ? 1 : 0);
    list->pictures.resize(count, blank);
    return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy)
{
    if (!valid(list) || !cx || !cy) return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask)
{
    std::vector<ImagePicture> pictures;
    if (!valid(list) || list->system || !picturesFromBitmaps(list, image, mask, &pictures)) return -1;
    return append(list, std::move(pictures));
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour)
{
    if (!valid(list) || list->system) return -1;
    int w, h;
    std::vector<uint32_t> pixels;
    if (!readBitmap(image, &w, &h, &pixels)) return -1;
    uint32_t key = pixelOf(maskColour);
    std::vector<uint8_t> transparent(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) transparent[i] = pixels[i] == key ? 1 : 0;
    return append(list, cutStrip(list, w, h, pixels, transparent));
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask)
{
    if (!valid(list) || list->system || index < 0 || index >= static_cast<int>(list->pictures.size())) return FALSE;
    std::vector<ImagePicture> pictures;
    if (!picturesFromBitmaps(list, image, mask, &pictures)) return FALSE;
    if (!(list->flags & ILC_MASK)) std::fill(pictures[0].transparent.begin(), pictures[0].transparent.end(), 0);
    list->pictures[static_cast<size_t>(index)] = std::move(pictures[0]);
    return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon)
{
    if (!valid(list) || list->system || index < -1 || index >= static_cast<int>(list->pictures.size())) return -1;
    CursorImage art;
    if (!icon || !cursorImageOf(icon, &art) || art.width <= 0 || art.height <= 0) return -1;
    ImagePicture p;
    p.pixels.resize(static_cast<size_t>(list->cx) * list->cy);
    p.transparent.resize(p.pixels.size());
    // Nearest-neighbour scaling of the icon to the cell; alpha 0 is transparent.
    for (int y = 0; y < list->cy; ++y)
        for (int x = 0; x < list->cx; ++x) {
            uint32_t argb = art.pixels[static_cast<size_t>(y * art.height / list->cy) * art.width + x * art.width / list->cx];
            size_t d = static_cast<size_t>(y) * list->cx + x;
            p.pixels[d] = argb & 0x00FFFFFF;
            p.transparent[d] = (argb >> 24) == 0 && (list->flags & ILC_MASK) ? 1 : 0;
        }
    if (index == -1) {
        list->pictures.push_back(std::move(p));
        return static_cast<int>(list->pictures.size()) - 1;
    }
    list->pictures[static_cast<size_t>(index)] = std::move(p);
    return index;
}

BOOL ImageList_Remove(HIMAGELIST list, int index)
{
    if (!valid(list) || list->system) return FALSE;
    if (index == -1) {
        list->pictures.clear();
        return TRUE;
    }
    if (index < 0 || index >= static_cast<int>(list->pictures.size())) return FALSE;
    list->pictures.erase(list->pictures.begin() + index);
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour)
{
    if (!valid(list)) return CLR_NONE;
    COLORREF old = list->background;
    list->background = colour;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) { return valid(list) ? list->background : CLR_NONE; }

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style)
{
    return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int cx, int cy, COLORREF background,
                      COLORREF foreground, UINT style)
{
    if (!valid(list) || !dc || index < 0 || index >= static_cast<int>(list->pictures.size())) return FALSE;
    const ImagePicture& picture = list->pictures[static_cast<size_t>(index)];
    int w = cx > 0 ? std::min(cx, list->cx) : list->cx;
    int h = cy > 0 ? std::min(cy, list->cy) : list->cy;
    Scratch scratch(w, h);
    if (!scratch.ok()) return FALSE;
    BitBlt(scratch.dc, 0, 0, w, h, dc, x, y, SRCCOPY);

    COLORREF fill = background == CLR_DEFAULT ? list->background : background;
    bool transparentBackground = (style & ILD_TRANSPARENT) || fill == CLR_NONE;
    uint32_t fillPixel = transparentBackground ? 0 : pixelOf(fill);
    COLORREF tint = (foreground == CLR_DEFAULT || foreground == CLR_NONE) ? GetSysColor(COLOR_HIGHLIGHT) : foreground;
    uint32_t tintPixel = pixelOf(tint);
    int tintWeight = (style & ILD_BLEND50) ? 2 : (style & ILD_BLEND25) ? 1 : 0;

    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            size_t s = static_cast<size_t>(row) * list->cx + col;
            uint32_t& out = scratch.bits[static_cast<size_t>(row) * w + col];
            bool clear = picture.transparent[s] != 0;
            if (style & ILD_MASK) {
                // The mask itself: black where the picture is, white where it is not.
                out = clear ? 0x00FFFFFF : 0;
                continue;
            }
            if (clear) {
                if (!transparentBackground) out = fillPixel;
                continue;
            }
            out = tintWeight ? blend(picture.pixels[s], tintPixel, tintWeight) : picture.pixels[s];
        }
    BitBlt(dc, x, y, w, h, scratch.dc, 0, 0, SRCCOPY);
    return TRUE;
}
