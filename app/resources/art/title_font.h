#pragma once
// A stroke font for the few words the artwork spells ("Fotrix Pocket"):
// each letter is a handful of round-ended strokes, so it scales cleanly.
#include "app/resources/art/canvas.h"

#include <string_view>

namespace fotrix::art {

// Letters a design unit high each 1/14 of the capital height; x-height 9/14.
// Returns the text's width in design units (before scaling by `height` / 14).
float titleTextWidth(std::string_view text);
// Draws `text` with its baseline at (x, baseline) in the canvas's design
// space, capitals `height` units high. Letters the font lacks are skipped
// (a space advances).
void drawTitleText(Canvas& canvas, std::string_view text, float x, float baseline, float height, uint32_t colour);

}  // namespace fotrix::art
