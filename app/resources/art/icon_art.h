#pragma once
// The program's icon: a photo card on a blue tile, drawn at any size.
#include <cstdint>
#include <string>
#include <vector>

namespace fotrix::art {

// size x size pixels, 0xAARRGGBB (transparent around the rounded tile).
std::vector<uint32_t> paintAppIcon(int size);

// The icon in the platform's icon-art letters ('.', '#', 'o', 'r', 'b', 'g'),
// one string a row: the nearest of those colours for each opaque pixel.
std::vector<std::string> appIconArtRows(int size);

}  // namespace fotrix::art
