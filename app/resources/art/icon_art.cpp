// The icon in a 32 x 32 design space.
#include "app/resources/art/icon_art.h"

#include "app/resources/art/canvas.h"

#include <limits>

namespace fotrix::art {

std::vector<uint32_t> paintAppIcon(int size)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0);
    Canvas c{pixels.data(), size, size, size / 32.0f};
    fillWith(c, roundRectShape(1, 1, 31, 31, 6), [](float, float y) { return mix(0x3A9BE0, 0x173F86, y / 32); });
    fill(c, roundRectShape(5.5f, 7.5f, 26.5f, 25.5f, 1.5f), 0xFFFFFF);
    fillWith(c, rectShape(7.5f, 9.5f, 24.5f, 21.5f), [](float, float y) { return mix(0x7CC4FF, 0xE4F4FF, (y - 9.5f) / 12); });
    fill(c, circleShape(19.8f, 13.2f, 2.3f), 0xFFC21F);
    fill(c, polygonShape({{7.5f, 21.5f}, {13.2f, 14}, {16.8f, 18.4f}, {19.6f, 15.6f}, {24.5f, 21.5f}}), 0x2E9A48);
    return pixels;
}

namespace {

struct ArtColour {
    char letter;
    uint32_t rgb;
};
constexpr ArtColour kArtColours[] = {
    {'#', 0x000000}, {'o', 0xFFFFFF}, {'r', 0xE02020}, {'b', 0x2050C0}, {'g', 0x808080},
};

char nearestLetter(uint32_t argb)
{
    if ((argb >> 24) < 128) return '.';
    char best = '#';
    int bestDistance = std::numeric_limits<int>::max();
    for (const ArtColour& colour : kArtColours) {
        int distance = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            int d = static_cast<int>(argb >> shift & 0xFF) - static_cast<int>(colour.rgb >> shift & 0xFF);
            distance += d * d;
        }
        if (distance < bestDistance) bestDistance = distance, best = colour.letter;
    }
    return best;
}

}  // namespace

std::vector<std::string> appIconArtRows(int size)
{
    std::vector<uint32_t> pixels = paintAppIcon(size);
    std::vector<std::string> rows(size, std::string(size, '.'));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) rows[y][x] = nearestLetter(pixels[y * size + x]);
    return rows;
}

}  // namespace fotrix::art
