// Quarter and half turns. There is no rotation by arbitrary angles: any other
// angle gives a copy.
#include <cstring>
#include <utility>
#include <vector>

#include "imagelib/transform.h"
#include "imagelib/processing/transform_common.h"

namespace fotrix {

using namespace transform;

namespace {

enum class Turn { None, Clockwise, CounterClockwise, Half };

// The turn of the stored rows. Rows stored bottom-up see every quarter turn
// in the opposite sense, so that the picture as shown turns as asked.
Turn turnFor(int angle, bool bottomUp)
{
    Turn turn = Turn::None;
    if (angle == 90 || angle == -270) turn = Turn::Clockwise;
    else if (angle == -90 || angle == 270) turn = Turn::CounterClockwise;
    else if (angle == 180 || angle == -180) turn = Turn::Half;
    if (bottomUp && turn == Turn::Clockwise) return Turn::CounterClockwise;
    if (bottomUp && turn == Turn::CounterClockwise) return Turn::Clockwise;
    return turn;
}

// Source row and column feeding destination (r, c).
struct SourcePoint {
    int row, column;
};
inline SourcePoint sourceOf(Turn turn, const Bitmap& s, int r, int c)
{
    switch (turn) {
    case Turn::Clockwise: return {s.height - 1 - c, r};
    case Turn::CounterClockwise: return {c, s.width - 1 - r};
    default: return {s.height - 1 - r, s.width - 1 - c};
    }
}

void turnBinary(Turn turn, const Bitmap& source, Bitmap& result, const std::vector<const uint8_t*>& rows)
{
    for (int r = 0; r < result.height; ++r) {
        uint8_t* to = bitmapRow(result, r);
        for (int c = 0; c < result.width; ++c) {
            const SourcePoint p = sourceOf(turn, source, r, c);
            bitOr(to, c, bitGet(rows[p.row], p.column));
        }
    }
}

// Byte pixels; reports progress after each destination row of a quarter turn.
int turnBytes(Turn turn, const Bitmap& source, Bitmap& result, const std::vector<const uint8_t*>& rows,
              ProgressCallback progress, uintptr_t user)
{
    const size_t bpp = source.bytesPerPixel;
    for (int r = 0; r < result.height; ++r) {
        uint8_t* to = bitmapRow(result, r);
        if (turn == Turn::Half) {
            const uint8_t* from = rows[source.height - 1 - r];
            for (int c = 0; c < result.width; ++c)
                std::memcpy(to + c * bpp, from + (source.width - 1 - c) * bpp, bpp);
            continue;
        }
        for (int c = 0; c < result.width; ++c) {
            const SourcePoint p = sourceOf(turn, source, r, c);
            std::memcpy(to + c * bpp, rows[p.row] + p.column * bpp, bpp);
        }
        if (progress) {
            const uint32_t position =
                static_cast<uint32_t>((turn == Turn::Clockwise ? r : source.width - 1 - r) * bpp);
            if (progress(position, static_cast<uint32_t>(source.width), user, 0) != 0) return 15;
        }
    }
    return 0;
}

}  // namespace

int bitmapRotate(Bitmap& source, Bitmap* output, int angle, int reserved, ProgressCallback progress,
                 uintptr_t user)
{
    const Turn turn = turnFor(angle, (source.origin & OriginBottom) != 0);
    if (turn == Turn::None) {
        if (output && output != &source) return bitmapDuplicate(source, output);
        return 0;
    }
    const bool quarter = turn != Turn::Half;
    Bitmap result;
    if (!bitmapAllocateDeep(result, source.type, source.rowAlignment, quarter ? source.height : source.width,
                            quarter ? source.width : source.height, copyBits(source)))
        return 1;
    if (!finishLike(result, source)) return discard(result, 1);
    if (quarter) std::swap(result.dpiX, result.dpiY);

    std::vector<const uint8_t*> rows(static_cast<size_t>(source.height));
    for (int y = 0; y < source.height; ++y) rows[y] = bitmapRow(source, y);
    if (source.type == Binary) {
        turnBinary(turn, source, result, rows);
    } else if (int code = turnBytes(turn, source, result, rows, progress, user)) {
        return discard(result, code);
    }
    return storeResult(source, output, result);
}

}  // namespace fotrix
