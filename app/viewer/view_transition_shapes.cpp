// The shapes of the 23 transition effects: for a step of an effect, the parts
// of the area shown so far. Effects 0 to 16 are continuous (wipes, blinds,
// boxes, splits); 17 to 22 uncover an 8 x 8 grid of blocks in some order.
#include "app/viewer/view_transition.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace fotrix {

namespace {

constexpr int kGrid = 8;

int part(int length, int step, int steps) { return steps > 0 ? length * step / steps : length; }

void add(std::vector<RECT>& out, int l, int t, int r, int b)
{
    if (r > l && b > t) out.push_back(RECT{l, t, r, b});
}

void blinds(std::vector<RECT>& out, int count, bool vertical, int step, int steps, int w, int h)
{
    int length = vertical ? w : h;
    for (int i = 0; i < count; ++i) {
        int from = length * i / count, to = length * (i + 1) / count;
        int edge = from + part(to - from, step, steps);
        if (vertical) add(out, from, 0, edge, h);
        else add(out, 0, from, w, edge);
    }
}

// Columns uncovered from the top along a diagonal front, from the left or the right.
void diagonal(std::vector<RECT>& out, bool fromRight, int step, int steps, int w, int h)
{
    constexpr int bands = 32;
    int front = part(2 * bands, step, steps);  // bands of the diagonal reached
    for (int i = 0; i < bands; ++i) {
        int reach = std::clamp(front - i, 0, bands);
        int from = w * i / bands, to = w * (i + 1) / bands;
        if (fromRight) {
            int left = w - to;
            to = w - from;
            from = left;
        }
        add(out, from, 0, to, h * reach / bands);
    }
}

void continuous(int effect, int step, int steps, int w, int h, std::vector<RECT>& out)
{
    int cx = part(w, step, steps), cy = part(h, step, steps);
    int hx = part(w / 2 + 1, step, steps), hy = part(h / 2 + 1, step, steps);
    switch (effect) {
    case 0: add(out, 0, 0, cx, h); break;
    case 1: add(out, 0, 0, w, cy); break;
    case 2: add(out, w - cx, 0, w, h); break;
    case 3: add(out, 0, h - cy, w, h); break;
    case 4: blinds(out, 8, false, step, steps, w, h); break;
    case 5: blinds(out, 8, true, step, steps, w, h); break;
    case 6: add(out, w / 2 - hx, h / 2 - hy, w / 2 + hx, h / 2 + hy); break;
    case 7:  // a frame closing in from the edges
        add(out, 0, 0, w, hy);
        add(out, 0, h - hy, w, h);
        add(out, 0, 0, hx, h);
        add(out, w - hx, 0, w, h);
        break;
    case 8: add(out, 0, h / 2 - hy, w, h / 2 + hy); break;
    case 9: add(out, w / 2 - hx, 0, w / 2 + hx, h); break;
    case 10:
        add(out, 0, 0, w, hy);
        add(out, 0, h - hy, w, h);
        break;
    case 11:
        add(out, 0, 0, hx, h);
        add(out, w - hx, 0, w, h);
        break;
    case 12: diagonal(out, false, step, steps, w, h); break;
    case 13: diagonal(out, true, step, steps, w, h); break;
    case 14: blinds(out, 16, false, step, steps, w, h); break;
    case 15: blinds(out, 16, true, step, steps, w, h); break;
    default: add(out, 0, 0, cx, cy); break;  // 16: grows from the top left corner
    }
}

using BlockOrder = std::array<int, kGrid * kGrid>;

// The order in which each block effect uncovers the grid's cells (row * 8 + column).
BlockOrder blockOrder(int effect)
{
    BlockOrder order;
    for (int i = 0; i < kGrid * kGrid; ++i) order[i] = i;
    auto rankBy = [&](auto rank) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });
    };
    switch (effect) {
    case 17: {  // scattered: a fixed pseudo-random permutation, the same every run
        unsigned seed = 12345;
        for (int i = kGrid * kGrid - 1; i > 0; --i) {
            seed = seed * 1103515245u + 12345u;
            std::swap(order[i], order[(seed >> 16) % static_cast<unsigned>(i + 1)]);
        }
        break;
    }
    case 18: break;  // row by row
    case 19: rankBy([](int c) { return (c % kGrid) * kGrid + c / kGrid; }); break;  // column by column
    case 20: rankBy([](int c) { return ((c / kGrid + c % kGrid) & 1) * 100 + c; }); break;  // checkerboard
    case 21: rankBy([](int c) { return c / kGrid + c % kGrid; }); break;  // along the diagonals
    default:  // 22: from the centre outwards
        rankBy([](int c) {
            int dx = 2 * (c % kGrid) - (kGrid - 1), dy = 2 * (c / kGrid) - (kGrid - 1);
            return dx * dx + dy * dy;
        });
    }
    return order;
}

void blocks(int effect, int step, int steps, int w, int h, std::vector<RECT>& out)
{
    BlockOrder order = blockOrder(effect);
    int shown = part(kGrid * kGrid, step, steps);
    for (int i = 0; i < shown; ++i) {
        int column = order[i] % kGrid, row = order[i] / kGrid;
        add(out, w * column / kGrid, h * row / kGrid, w * (column + 1) / kGrid, h * (row + 1) / kGrid);
    }
}

}  // namespace

int TransitionSteps(int effect) { return effect < kFirstBlockEffect ? 100 : 20; }

void TransitionRevealed(int effect, int step, int steps, int w, int h, std::vector<RECT>& out)
{
    out.clear();
    if (step >= steps) {
        add(out, 0, 0, w, h);
        return;
    }
    if (effect < kFirstBlockEffect) continuous(effect, step, steps, w, h, out);
    else blocks(effect, step, steps, w, h, out);
}

}  // namespace fotrix
