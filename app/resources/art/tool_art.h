#pragma once
// The tool-button images (slideshow, open/view, properties, delete, favorites,
// save; side by side on the mask colour) and the splitter buttons, drawn as
// BitmapPainter functions: 0x00RRGGBB pixels, top row first.
#include <cstdint>

namespace fotrix::art {

void paintToolButtons(uint32_t* pixels, int width, int height);          // 6 cells of height x height
void paintToolButtonsDisabled(uint32_t* pixels, int width, int height);  // the same, greyed
void paintSplitterButtons(uint32_t* pixels, int width, int height);      // 4 cells of 31 x 6

// Grey of a disabled image for one pixel (the mask colour stays as it is).
uint32_t disabledGrey(uint32_t rgb);

}  // namespace fotrix::art
