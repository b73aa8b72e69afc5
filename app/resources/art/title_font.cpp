// Glyphs in a box 14 units high (baseline at 14, x-height line at 5), drawn
// with strokes 2.3 units wide.
#include "app/resources/art/title_font.h"

#include <cmath>

namespace fotrix::art {

namespace {

constexpr float kStroke = 2.3f;
constexpr float kGap = 2.4f;
constexpr float kSpace = 5.0f;

struct Arc {
    float cx, cy, rx, ry, from, to;  // degrees, screen orientation (y down)
};

struct Glyph {
    char letter;
    float width;
    std::vector<std::vector<Point>> strokes;
    std::vector<Arc> arcs;
};

const std::vector<Glyph>& glyphs()
{
    static const std::vector<Glyph> table = {
        {'F', 7.5f, {{{0, 0}, {0, 14}}, {{0, 0}, {7.5f, 0}}, {{0, 6.5f}, {6, 6.5f}}}, {}},
        {'P', 8.5f, {{{0, 14}, {0, 0}, {4.5f, 0}}, {{0, 7.6f}, {4.5f, 7.6f}}}, {{4.5f, 3.8f, 3.8f, 3.8f, -90, 90}}},
        {'o', 9.0f, {}, {{4.5f, 9.5f, 4.3f, 4.5f, 0, 360}}},
        {'t', 6.0f, {{{2, 1.5f}, {2, 11.8f}}, {{0, 5}, {5.5f, 5}}}, {{4.6f, 11.8f, 2.6f, 2.2f, 90, 180}}},
        {'r', 6.0f, {{{0, 5}, {0, 14}}}, {{5.2f, 10.0f, 5.2f, 4.8f, 180, 270}}},
        {'i', 0.0f, {{{0, 5.2f}, {0, 14}}, {{0, 1.5f}, {0, 1.6f}}}, {}},
        {'x', 7.5f, {{{0, 5}, {7.5f, 14}}, {{7.5f, 5}, {0, 14}}}, {}},
        {'c', 8.0f, {}, {{4.5f, 9.5f, 4.3f, 4.5f, 45, 315}}},
        {'k', 7.0f, {{{0, 0}, {0, 14}}, {{6.8f, 5}, {0, 11}}, {{2.4f, 9}, {7, 14}}}, {}},
        {'e', 9.0f, {{{0.2f, 9.5f}, {8.6f, 9.5f}}}, {{4.5f, 9.5f, 4.3f, 4.5f, 40, 360}}},
    };
    return table;
}

const Glyph* findGlyph(char letter)
{
    for (const Glyph& glyph : glyphs())
        if (glyph.letter == letter) return &glyph;
    return nullptr;
}

// An arc as a chain of short strokes (one every 10 degrees).
std::vector<Point> arcPoints(const Arc& arc, float x, float y, float unit)
{
    std::vector<Point> points;
    for (float a = arc.from;; a += 10) {
        float angle = std::fmin(a, arc.to) * static_cast<float>(M_PI) / 180;
        points.push_back({x + (arc.cx + arc.rx * std::cos(angle)) * unit, y + (arc.cy + arc.ry * std::sin(angle)) * unit});
        if (a >= arc.to) break;
    }
    return points;
}

void drawPolyline(Canvas& canvas, const std::vector<Point>& points, float width, uint32_t colour)
{
    for (size_t i = 0; i + 1 < points.size(); ++i) fill(canvas, lineShape(points[i], points[i + 1], width), colour);
}

}  // namespace

float titleTextWidth(std::string_view text)
{
    float width = 0;
    for (char letter : text) {
        const Glyph* glyph = findGlyph(letter);
        width += glyph ? glyph->width + kStroke + kGap : kSpace;
    }
    return width > 0 ? width - kGap : 0;
}

void drawTitleText(Canvas& canvas, std::string_view text, float x, float baseline, float height, uint32_t colour)
{
    const float unit = height / 14;
    const float top = baseline - height;
    float pen = x + kStroke / 2 * unit;
    for (char letter : text) {
        const Glyph* glyph = findGlyph(letter);
        if (!glyph) {
            pen += kSpace * unit;
            continue;
        }
        for (const auto& stroke : glyph->strokes) {
            std::vector<Point> points;
            for (Point p : stroke) points.push_back({pen + p.x * unit, top + p.y * unit});
            drawPolyline(canvas, points, kStroke * unit, colour);
        }
        for (const Arc& arc : glyph->arcs) drawPolyline(canvas, arcPoints(arc, pen, top, unit), kStroke * unit, colour);
        pen += (glyph->width + kStroke + kGap) * unit;
    }
}

}  // namespace fotrix::art
