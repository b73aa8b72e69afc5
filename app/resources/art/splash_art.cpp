// Start-screen art: a light page, a blue title band with the program's name,
// six cards with a picture of their task, and a film strip at the foot.
#include "app/resources/art/splash_art.h"

#include "app/resources/art/canvas.h"
#include "app/resources/art/title_font.h"

#include <cmath>

namespace fotrix::art {

const TileRect kSplashTiles[6] = {
    {10, 48, 74, 112}, {84, 48, 148, 112}, {164, 48, 228, 112},
    {10, 165, 74, 229}, {84, 165, 148, 229}, {164, 165, 228, 229},
};

namespace {

constexpr uint32_t kInk = 0x1C2A44;

// Tile pictures in a 64 x 64 design space at the tile's top-left corner.
void drawBrowse(Canvas& c)
{
    fill(c, roundRectShape(10, 16, 30, 24, 2), 0xE0A526);
    fill(c, roundRectShape(10, 20, 54, 50, 3), 0xF2BE3A);
    fill(c, rectShape(18, 12, 44, 36), 0xFFFFFF);
    fill(c, rectShape(20, 14, 42, 30), 0x8CCBF2);
    fill(c, polygonShape({{20, 30}, {27, 21}, {32, 26}, {35, 23}, {42, 30}}), 0x3A9A50);
    fill(c, roundRectShape(10, 27, 54, 50, 3), 0xF7CB55);
}

void drawPlayAlbum(Canvas& c)
{
    fill(c, circleShape(32, 32, 22), 0x2E9E4E);
    fill(c, ringShape(32, 32, 22, 2.5f), 0x1E6E34);
    fill(c, polygonShape({{25, 19}, {46, 32}, {25, 45}}), 0xFFFFFF);
}

void drawMakeAlbum(Canvas& c)
{
    fill(c, rectShape(14, 14, 44, 40), 0xB9C7DA);
    fill(c, rectShape(18, 18, 48, 44), 0xFFFFFF);
    fill(c, rectShape(18, 18, 48, 19.5f), 0x9AA8BC);
    fill(c, rectShape(21, 21, 45, 39), 0xF2B38C);
    fill(c, circleShape(38, 27, 3), 0xFFF3B0);
    fill(c, polygonShape({{21, 39}, {29, 29}, {37, 39}}), 0xB0522E);
    fill(c, circleShape(46, 46, 9), 0x1F6FD0);
    fill(c, rectShape(44.5f, 40, 47.5f, 52), 0xFFFFFF);
    fill(c, rectShape(40, 44.5f, 52, 47.5f), 0xFFFFFF);
}

void drawSlideshowProgram(Canvas& c)
{
    fill(c, lineShape({32, 42}, {22, 54}, 3), kInk);
    fill(c, lineShape({32, 42}, {42, 54}, 3), kInk);
    fill(c, rectShape(8, 12, 56, 44), 0x1F3F8F);
    fill(c, rectShape(11, 15, 53, 41), 0xE6F0FF);
    fill(c, polygonShape({{27, 20}, {40, 28}, {27, 36}}), 0x1E9A3C);
    fill(c, rectShape(6, 10, 58, 13), 0x2A4A9A);
}

void drawStorageCard(Canvas& c)
{
    fill(c, polygonShape({{18, 10}, {40, 10}, {48, 18}, {48, 54}, {18, 54}}), 0x2B3B55);
    for (int i = 0; i < 5; ++i) fill(c, rectShape(21 + i * 5.2f, 12, 24.5f + i * 5.2f, 21), 0xE8C04A);
    fill(c, rectShape(22, 30, 44, 48), 0xF1F4F8);
    fill(c, rectShape(25, 34, 41, 36), 0x8898B0);
    fill(c, rectShape(25, 39, 37, 41), 0x8898B0);
}

void drawOptions(Canvas& c)
{
    std::vector<Point> teeth;
    constexpr int kTeeth = 8;
    for (int i = 0; i < kTeeth * 4; ++i) {
        float angle = 2 * static_cast<float>(M_PI) * (i - 0.5f) / (kTeeth * 4);
        float r = (i % 4 == 1 || i % 4 == 2) ? 22.0f : 16.5f;
        teeth.push_back({32 + r * std::cos(angle), 32 + r * std::sin(angle)});
    }
    fill(c, polygonShape(teeth), 0x6A7890);
    fill(c, circleShape(32, 32, 16.5f), 0x7D8BA3);
    fill(c, circleShape(32, 32, 7), 0xFFFFFF);
}

using Drawing = void (*)(Canvas&);
constexpr Drawing kTilePictures[6] = {drawBrowse, drawPlayAlbum, drawMakeAlbum,
                                      drawSlideshowProgram, drawStorageCard, drawOptions};

void drawBackground(Canvas& c)
{
    fillWith(c, rectShape(0, 0, kSplashWidth, kSplashHeight),
             [](float, float y) { return mix(0xF6F9FD, 0xD3E2F2, y / kSplashHeight); });
    fillWith(c, rectShape(0, 0, kSplashWidth, 38), [](float, float y) { return mix(0x2F72C4, 0x1A4888, y / 38); });
    fill(c, rectShape(0, 38, kSplashWidth, 40), 0x0F2F60);
    const char* title = "Fotrix Pocket";
    const float height = 19;
    float width = titleTextWidth(title) * height / 14;
    drawTitleText(c, title, (kSplashWidth - width) / 2 + 1, 30, height, 0x0C2850);  // shadow
    drawTitleText(c, title, (kSplashWidth - width) / 2, 29, height, 0xFFFFFF);
}

void drawTileCard(Canvas& c, const TileRect& t, Drawing picture)
{
    fill(c, roundRectShape(t.left + 2, t.top + 2, t.right + 2, t.bottom + 2, 7), 0xAFC0D6);
    fill(c, roundRectShape(t.left, t.top, t.right, t.bottom, 7), 0x8FA6C4);
    fillWith(c, roundRectShape(t.left + 1, t.top + 1, t.right - 1, t.bottom - 1, 6),
             [&](float, float y) { return mix(0xFFFFFF, 0xE9F0F8, (y - t.top) / 64); });
    Canvas inner = c;
    inner.originX = static_cast<float>(t.left);
    inner.originY = static_cast<float>(t.top);
    picture(inner);
}

// A strip of film frames along the foot of the screen.
void drawFilmStrip(Canvas& c)
{
    const float top = 272, bottom = 304;
    fill(c, rectShape(0, top, kSplashWidth, bottom), 0x262B33);
    for (float x = 3; x < kSplashWidth; x += 10) {
        fill(c, roundRectShape(x, top + 2.5f, x + 5, top + 6, 1), 0xE8ECF0);
        fill(c, roundRectShape(x, bottom - 6, x + 5, bottom - 2.5f, 1), 0xE8ECF0);
    }
    constexpr uint32_t kFrames[][2] = {{0x7CC4FF, 0x2E9A48}, {0xFFB36B, 0xC0502E}, {0xA6E3C8, 0x2B7C6A},
                                       {0xFFD96B, 0x9A6A2E}, {0xC9B8FF, 0x5B4AA8}, {0x9CD0FF, 0x2F5E9E}};
    for (int i = 0; i < 6; ++i) {
        float x = 6 + i * 39.0f;
        fillWith(c, rectShape(x, top + 8, x + 34, bottom - 8),
                 [&](float, float y) { return mix(kFrames[i][0], 0xFFFFFF, (y - top - 8) / 40); });
        fill(c, polygonShape({{x, bottom - 8}, {x + 12, top + 12}, {x + 20, bottom - 13}, {x + 25, top + 16},
                              {x + 34, bottom - 8}}),
             kFrames[i][1]);
    }
}

}  // namespace

std::vector<uint32_t> paintSplash()
{
    std::vector<uint32_t> pixels(kSplashWidth * kSplashHeight, 0);
    Canvas c{pixels.data(), kSplashWidth, kSplashHeight, 1.0f};
    drawBackground(c);
    for (int i = 0; i < 6; ++i) drawTileCard(c, kSplashTiles[i], kTilePictures[i]);
    drawFilmStrip(c);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

}  // namespace fotrix::art
