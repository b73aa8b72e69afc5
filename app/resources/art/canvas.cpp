#include "app/resources/art/canvas.h"

#include <algorithm>
#include <cmath>

namespace fotrix::art {

Shape rectShape(float x0, float y0, float x1, float y1)
{
    return [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

Shape roundRectShape(float x0, float y0, float x1, float y1, float radius)
{
    return [=](float x, float y) {
        if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
        float dx = std::max({x0 + radius - x, 0.0f, x - (x1 - radius)});
        float dy = std::max({y0 + radius - y, 0.0f, y - (y1 - radius)});
        return dx * dx + dy * dy <= radius * radius;
    };
}

Shape circleShape(float cx, float cy, float r)
{
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape ringShape(float cx, float cy, float r, float width)
{
    return [=](float x, float y) {
        float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        return std::fabs(d - r) <= width / 2;
    };
}

Shape lineShape(Point a, Point b, float width)
{
    return [=](float x, float y) {
        float vx = b.x - a.x, vy = b.y - a.y;
        float length2 = vx * vx + vy * vy;
        float t = length2 > 0 ? std::clamp(((x - a.x) * vx + (y - a.y) * vy) / length2, 0.0f, 1.0f) : 0.0f;
        float dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
        return dx * dx + dy * dy <= width * width / 4;
    };
}

Shape polygonShape(std::vector<Point> points)
{
    return [points = std::move(points)](float x, float y) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& p = points[i];
            const Point& q = points[j];
            if ((p.y > y) != (q.y > y) && x < (q.x - p.x) * (y - p.y) / (q.y - p.y) + p.x) inside = !inside;
        }
        return inside;
    };
}

Shape starShape(float cx, float cy, float outer, float inner, int points)
{
    std::vector<Point> corners;
    for (int i = 0; i < points * 2; ++i) {
        float angle = static_cast<float>(M_PI) * (i / static_cast<float>(points) - 0.5f);
        float r = i % 2 ? inner : outer;
        corners.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    return polygonShape(std::move(corners));
}

uint32_t mix(uint32_t a, uint32_t b, float t)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        float ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

namespace {

constexpr int kSamples = 4;

// Blends an opaque colour over an 0xAARRGGBB pixel with coverage `cover`.
uint32_t over(uint32_t pixel, uint32_t colour, float cover)
{
    float alpha = (pixel >> 24) / 255.0f;
    float outAlpha = cover + alpha * (1 - cover);
    if (outAlpha <= 0) return 0;
    uint32_t rgb = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        float c = (colour >> shift) & 0xFF, p = (pixel >> shift) & 0xFF;
        rgb |= static_cast<uint32_t>(std::lround((c * cover + p * alpha * (1 - cover)) / outAlpha)) << shift;
    }
    return rgb | static_cast<uint32_t>(std::lround(outAlpha * 255)) << 24;
}

}  // namespace

void fillWith(Canvas& canvas, const Shape& shape, const std::function<uint32_t(float, float)>& colourAt)
{
    for (int py = 0; py < canvas.height; ++py) {
        for (int px = 0; px < canvas.width; ++px) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    float x = (px + (sx + 0.5f) / kSamples - canvas.originX) / canvas.scale;
                    float y = (py + (sy + 0.5f) / kSamples - canvas.originY) / canvas.scale;
                    hits += shape(x, y) ? 1 : 0;
                }
            if (!hits) continue;
            float cover = hits / float(kSamples * kSamples);
            if (canvas.hard) {
                if (cover < 0.5f) continue;
                cover = 1;
            }
            float cx = (px + 0.5f - canvas.originX) / canvas.scale, cy = (py + 0.5f - canvas.originY) / canvas.scale;
            uint32_t& pixel = canvas.pixels[py * canvas.width + px];
            pixel = over(pixel, colourAt(cx, cy) & 0xFFFFFF, cover);
        }
    }
}

void fill(Canvas& canvas, const Shape& shape, uint32_t colour)
{
    fillWith(canvas, shape, [colour](float, float) { return colour; });
}

}  // namespace fotrix::art
