#pragma once
// The start screen's picture: 240 x 320, a title band and six tile pictures
// at the start screen's tile rectangles, with room below each tile for the
// two caption lines that the program draws.
#include <cstdint>
#include <vector>

namespace fotrix::art {

constexpr int kSplashWidth = 240;
constexpr int kSplashHeight = 320;

struct TileRect {
    int left, top, right, bottom;
};
// The tiles at 96 dpi, in the order of the start screen's tasks: browse, play
// an album, make an album, make a slideshow program, storage card, options.
extern const TileRect kSplashTiles[6];

// kSplashWidth x kSplashHeight pixels, 0x00RRGGBB, top row first.
std::vector<uint32_t> paintSplash();

}  // namespace fotrix::art
