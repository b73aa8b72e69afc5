#pragma once
// A small rasteriser for the program's artwork: shapes given in a design
// space (units of the picture's design size, e.g. 16 for a tool button) are
// sampled at 4 x 4 points a pixel, so the same drawing serves 16 and 32 pixel
// buttons, the 256 pixel icon and the start screen.
#include <cstdint>
#include <functional>
#include <vector>

namespace fotrix::art {

struct Point {
    float x, y;
};
// True when the design-space point lies inside the shape.
using Shape = std::function<bool(float x, float y)>;

Shape rectShape(float x0, float y0, float x1, float y1);
Shape roundRectShape(float x0, float y0, float x1, float y1, float radius);
Shape circleShape(float cx, float cy, float r);
Shape ringShape(float cx, float cy, float r, float width);
Shape lineShape(Point a, Point b, float width);  // a thick segment with round ends
Shape polygonShape(std::vector<Point> points);   // even-odd rule
Shape starShape(float cx, float cy, float outer, float inner, int points);

// 0xAARRGGBB pixels, top row first, with the scale from design units to pixels.
struct Canvas {
    uint32_t* pixels;
    int width;
    int height;
    float scale;     // pixels per design unit
    float originX = 0;  // pixel position of the design origin
    float originY = 0;
    bool hard = false;  // pixels more than half covered take the colour whole: no blended edges
};

// Paints `colour` (0x00RRGGBB, opaque) where the shape covers the pixel.
void fill(Canvas& canvas, const Shape& shape, uint32_t colour);
// As fill, with the colour chosen per pixel (design-space position) for gradients.
void fillWith(Canvas& canvas, const Shape& shape, const std::function<uint32_t(float x, float y)>& colourAt);

uint32_t mix(uint32_t a, uint32_t b, float t);  // 0x00RRGGBB colours, t = 0 gives a

}  // namespace fotrix::art
