// Tool-button art in a 16 x 16 design space, drawn at the cell size asked for.
#include "app/resources/art/tool_art.h"

#include "app/resources/art/canvas.h"
#include "app/resources/resource_ids.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace fotrix::art {

namespace {

constexpr uint32_t kInk = 0x202830;

void drawSlideshow(Canvas& c)
{
    fill(c, lineShape({8, 11}, {4.5f, 15}, 1.4f), kInk);
    fill(c, lineShape({8, 11}, {11.5f, 15}, 1.4f), kInk);
    fill(c, rectShape(0.5f, 1.5f, 15.5f, 12), 0x1F3F8F);
    fill(c, rectShape(1.8f, 2.8f, 14.2f, 10.7f), 0xE8F2FF);
    fill(c, polygonShape({{6, 3.8f}, {11.5f, 6.75f}, {6, 9.7f}}), 0x1E9A3C);
}

void drawOpenView(Canvas& c)
{
    fill(c, circleShape(6.5f, 6.5f, 4.6f), 0xBFE3FF);
    fill(c, ringShape(6.5f, 6.5f, 4.6f, 1.8f), kInk);
    fill(c, lineShape({10, 10}, {14.2f, 14.2f}, 2.8f), 0x8A5218);
    fill(c, circleShape(5, 5, 1.2f), 0xFFFFFF);
}

void drawProperties(Canvas& c)
{
    fill(c, circleShape(8, 8, 7.4f), 0x1F5FBF);
    fill(c, circleShape(8, 4.3f, 1.4f), 0xFFFFFF);
    fill(c, rectShape(6.8f, 6.6f, 9.2f, 12.6f), 0xFFFFFF);
    fill(c, rectShape(5.8f, 11.2f, 10.2f, 12.6f), 0xFFFFFF);
}

void drawDelete(Canvas& c)
{
    fill(c, lineShape({3.5f, 3.5f}, {12.5f, 12.5f}, 3), 0xD01818);
    fill(c, lineShape({12.5f, 3.5f}, {3.5f, 12.5f}, 3), 0xD01818);
}

void drawFavorites(Canvas& c)
{
    fill(c, starShape(8, 8.6f, 7.8f, 3.4f, 5), 0xA86A00);
    fill(c, starShape(8, 8.6f, 6.0f, 2.5f, 5), 0xFFD21F);
}

void drawSave(Canvas& c)
{
    fill(c, roundRectShape(1.5f, 1.5f, 14.5f, 14.5f, 1.2f), 0x24448A);
    fill(c, rectShape(3.8f, 1.5f, 12.2f, 7.2f), 0xF4F4F4);
    fill(c, rectShape(9.4f, 2.4f, 11.2f, 6.2f), 0x24448A);
    fill(c, rectShape(4.5f, 9.5f, 11.5f, 14.5f), 0xB8B8B8);
    fill(c, rectShape(5.8f, 10.6f, 7.6f, 13.6f), 0x24448A);
}

using Drawing = void (*)(Canvas&);
// In the order of the images: the menu bar's buttons name them by position.
constexpr Drawing kDrawings[kToolButtonImageCount] = {drawSlideshow, drawOpenView, drawProperties,
                                                       drawDelete,    drawFavorites, drawSave};

// Opaque 0xAARRGGBB working pixels back to 0x00RRGGBB.
void dropAlpha(uint32_t* pixels, int count)
{
    for (int i = 0; i < count; ++i) pixels[i] &= 0xFFFFFF;
}

}  // namespace

void paintToolButtons(uint32_t* pixels, int width, int height)
{
    std::fill(pixels, pixels + width * height, 0xFF000000u | kToolButtonMask);
    const int cell = height;
    for (int i = 0; i < kToolButtonImageCount && (i + 1) * cell <= width; ++i) {
        Canvas c{pixels, width, height, cell / 16.0f, static_cast<float>(i * cell), 0, true};
        kDrawings[i](c);
    }
    dropAlpha(pixels, width * height);
}

uint32_t disabledGrey(uint32_t rgb)
{
    if ((rgb & 0xFFFFFF) == kToolButtonMask) return rgb & 0xFFFFFF;
    uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    uint32_t luminance = (77 * r + 150 * g + 29 * b) >> 8;
    // 0x78..0xB4: visible on light bars, and never the mask's 0xC4.
    uint32_t grey = 0x78 + luminance * 0x3C / 255;
    return grey << 16 | grey << 8 | grey;
}

void paintToolButtonsDisabled(uint32_t* pixels, int width, int height)
{
    paintToolButtons(pixels, width, height);
    std::transform(pixels, pixels + width * height, pixels, disabledGrey);
}

namespace {

// One splitter button: a raised bar with an arrow up (hiding the tree or
// showing the list back) or down; the showing buttons carry a base line.
void drawSplitterButton(uint32_t* pixels, int stride, int x0, bool up, bool shows)
{
    auto put = [&](int x, int y, uint32_t colour) { pixels[y * stride + x0 + x] = colour; };
    for (int y = 0; y < kSplitterImageHeight; ++y)
        for (int x = 1; x < kSplitterImageWidth - 1; ++x)
            put(x, y, y == 0 ? 0xF8F8F8 : y == kSplitterImageHeight - 1 ? 0x707070 : 0xD8D8D8);
    const int middle = kSplitterImageWidth / 2;
    for (int row = 0; row < 4; ++row) {
        int y = up ? 1 + row : 4 - row;
        for (int x = middle - row; x <= middle + row; ++x) put(x, y, 0x203060);
    }
    if (shows)
        for (int x = middle - 8; x <= middle + 8; ++x)
            if (std::abs(x - middle) > 4) put(x, up ? 4 : 1, 0x203060);
}

}  // namespace

void paintSplitterButtons(uint32_t* pixels, int width, int height)
{
    std::fill(pixels, pixels + width * height, kSplitterMask);
    struct Button {
        bool up, shows;
    };
    // 0 hide the tree, 1 show the list again, 2 hide the list, 3 show the tree again.
    constexpr Button kButtons[] = {{true, false}, {true, true}, {false, false}, {false, true}};
    for (int i = 0; i < 4 && (i + 1) * kSplitterImageWidth <= width && height >= kSplitterImageHeight; ++i)
        drawSplitterButton(pixels, width, i * kSplitterImageWidth, kButtons[i].up, kButtons[i].shows);
}

}  // namespace fotrix::art
