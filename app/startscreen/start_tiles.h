#pragma once
// The six tiles of the start screen: where they are (device pixels), their
// captions, which one the stylus marks.
#include "platform/windows.h"

#include <array>

namespace fotrix {

struct StartTile {
    RECT rect;          // device pixels
    UINT number;        // built-in caption
    const char* key;    // caption in the language file
    bool marked;
};
constexpr int kStartTileCount = 6;
using StartTiles = std::array<StartTile, kStartTileCount>;

// The tiles laid out at 96 dpi, scaled to the screen's resolution
// (horizontal coordinates with dpiX, vertical ones with dpiY), none marked.
StartTiles MakeStartTiles(int dpiX, int dpiY);

// The first tile whose rectangle, enlarged by kTileReach pixels above and
// below, holds the point; -1 for none. The reach lets a finger that lands on
// a caption, or just above a picture, still hit its tile.
constexpr int kTileReach = 32;
int StartTileAt(const StartTiles& tiles, POINT point);

// Marks tile `index` alone (-1 clears every mark); -1 or the marked tile.
void MarkStartTile(StartTiles& tiles, int index);
int MarkedStartTile(const StartTiles& tiles);

}  // namespace fotrix
