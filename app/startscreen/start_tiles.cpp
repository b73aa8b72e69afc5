#include "app/startscreen/start_tiles.h"

#include "app/resources/texts.h"

#include <cstdlib>

namespace fotrix {

namespace {

struct TileRow {
    RECT rect96;
    TextId caption;
};
constexpr TileRow kTiles[kStartTileCount] = {
    {{10, 48, 74, 112}, kIdsWizard1},   {{84, 48, 148, 112}, kIdsWizard2},   {{164, 48, 228, 112}, kIdsWizard3},
    {{10, 165, 74, 229}, kIdsWizard4},  {{84, 165, 148, 229}, kIdsWizard5},  {{164, 165, 228, 229}, kIdsWizard6},
};

// (|c| * dpi + 48) / 96 with the sign of c.
LONG scale(LONG c, int dpi)
{
    LONG magnitude = (std::labs(c) * dpi + 48) / 96;
    return c < 0 ? -magnitude : magnitude;
}

}  // namespace

StartTiles MakeStartTiles(int dpiX, int dpiY)
{
    StartTiles tiles{};
    for (int i = 0; i < kStartTileCount; ++i) {
        const RECT& r = kTiles[i].rect96;
        tiles[i].rect = RECT{scale(r.left, dpiX), scale(r.top, dpiY), scale(r.right, dpiX), scale(r.bottom, dpiY)};
        tiles[i].number = kTiles[i].caption.number;
        tiles[i].key = kTiles[i].caption.key;
        tiles[i].marked = false;
    }
    return tiles;
}

int StartTileAt(const StartTiles& tiles, POINT point)
{
    for (int i = 0; i < kStartTileCount; ++i) {
        RECT reach = tiles[i].rect;
        reach.top -= kTileReach;
        reach.bottom += kTileReach;
        if (PtInRect(&reach, point)) return i;
    }
    return -1;
}

void MarkStartTile(StartTiles& tiles, int index)
{
    for (int i = 0; i < kStartTileCount; ++i) tiles[i].marked = (i == index);
}

int MarkedStartTile(const StartTiles& tiles)
{
    for (int i = 0; i < kStartTileCount; ++i)
        if (tiles[i].marked) return i;
    return -1;
}

}  // namespace fotrix
