#include "scene.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kPictureWidth = 32;
constexpr int kPictureHeight = 24;

int s(int n) { return ScaleForScreen(n); }

HFONT makeFont(const char* face, int points, bool bold)
{
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(nullptr, LOGPIXELSY), 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", face);
    return CreateFontIndirect(&lf);
}

void textLine(HDC hdc, const char* face, bool bold, int x, int y, const char* text)
{
    HFONT font = makeFont(face, 8, bold);
    HGDIOBJ old = SelectObject(hdc, font);
    TextOut(hdc, x, y, text, -1);
    SelectObject(hdc, old);
    DeleteObject(font);
}

void paintText(HDC hdc, const RECT& c)
{
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    int x = c.left + s(4), y = c.top + s(4), step = s(14);
    textLine(hdc, "Tahoma", false, x, y, "Tahoma 8: Quick brown fox 0123");
    textLine(hdc, "Tahoma", true, x, y + step, "Tahoma bold: Fotrix Pocket");
    textLine(hdc, "MS Sans Serif", false, x, y + 2 * step, "MS Sans Serif 8: jumps over");
    textLine(hdc, "DejaVu Sans", false, x, y + 3 * step, "DejaVu Sans 8: \xC3\xA9t\xC3\xA9 \xE2\x82\xAC 5");
}

void paintShapes(HDC hdc, const RECT& c)
{
    int top = c.top + s(64);
    static const COLORREF colors[] = {RGB(220, 40, 40), RGB(40, 160, 60), RGB(40, 80, 220), RGB(240, 200, 40)};
    for (int i = 0; i < 4; ++i) {
        HBRUSH b = CreateSolidBrush(colors[i]);
        RECT r{c.left + s(4) + i * s(22), top, c.left + s(4) + i * s(22) + s(18), top + s(18)};
        FillRect(hdc, &r, b);
        DeleteObject(b);
    }
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 128));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    int fx = c.left + s(96), fy = top + s(18);
    for (int i = 0; i <= 6; ++i) {
        MoveToEx(hdc, fx, fy, nullptr);
        LineTo(hdc, fx + s(40), fy - i * s(3));
    }
    Rectangle(hdc, c.left + s(144), top, c.left + s(180), top + s(18));
    POINT zig[] = {{c.left + s(186), top + s(18)}, {c.left + s(196), top}, {c.left + s(206), top + s(18)}, {c.left + s(216), top},
                   {c.left + s(226), top + s(18)}};
    Polyline(hdc, zig, 5);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}

void paintPicture(const DemoScene& scene, HDC hdc, const RECT& c)
{
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, scene.picture);
    int top = c.top + s(90);
    BitBlt(hdc, c.left + s(4), top, kPictureWidth, kPictureHeight, mem, 0, 0, SRCCOPY);
    StretchBlt(hdc, c.left + s(44), top, kPictureWidth * 3, kPictureHeight * 3, mem, 0, 0, kPictureWidth, kPictureHeight, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

}  // namespace

bool sceneCreate(DemoScene& scene)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kPictureWidth;
    info.bmiHeader.biHeight = kPictureHeight;  // bottom-up, as most pictures are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    scene.picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!scene.picture) return false;
    auto* p = static_cast<uint8_t*>(bits);
    int stride = ((kPictureWidth * 24 + 31) / 32) * 4;
    for (int row = 0; row < kPictureHeight; ++row) {
        int y = kPictureHeight - 1 - row;  // memory row 0 is the bottom line
        for (int x = 0; x < kPictureWidth; ++x) {
            uint8_t* px = p + row * stride + x * 3;
            bool check = ((x / 4) + (y / 4)) % 2 == 0;
            px[0] = static_cast<uint8_t>(check ? 255 - x * 8 : 40);  // blue
            px[1] = static_cast<uint8_t>(y * 10);                    // green
            px[2] = static_cast<uint8_t>(x * 8);                     // red
        }
    }
    return true;
}

void sceneDestroy(DemoScene& scene)
{
    if (scene.picture) DeleteObject(scene.picture);
    scene.picture = nullptr;
}

RECT sceneTickBox(const RECT& c) { return RECT{c.left + s(144), c.top + s(90), c.left + s(232), c.top + s(162)}; }

void scenePaint(const DemoScene& scene, HDC hdc, const RECT& client)
{
    FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
    paintText(hdc, client);
    paintShapes(hdc, client);
    paintPicture(scene, hdc, client);

    static const COLORREF tickColors[] = {RGB(255, 128, 0), RGB(0, 160, 160), RGB(160, 0, 160)};
    RECT box = sceneTickBox(client);
    HBRUSH b = CreateSolidBrush(tickColors[scene.tick % 3]);
    FillRect(hdc, &box, b);
    DeleteObject(b);
    char label[64];
    std::snprintf(label, sizeof label, "tick %d\nruns %u", scene.tick, static_cast<unsigned>(scene.runs));
    SetTextColor(hdc, RGB(255, 255, 255));
    DrawText(hdc, label, -1, &box, DT_CENTER | DT_NOPREFIX);
    RECT note{client.left + s(4), client.top + s(170), client.right - s(4), client.bottom};
    SetTextColor(hdc, RGB(64, 64, 64));
    DrawText(hdc, "Word wrapped text in the window's default font, drawn with DrawText and DT_WORDBREAK.", -1, &note,
             DT_WORDBREAK | DT_NOPREFIX);
}
