#pragma once
// Geometric transforms: copy, crop, resize, mirror, flip and quarter turns.
//
// Result convention: with an `output` record the result is built there (the
// record is treated as empty and overwritten) and the source is untouched;
// with a null output the result replaces the source, built first so that on
// failure the source is still intact. Results: 0, 1 out of memory,
// 15 cancelled, 16 bad size or empty rectangle.
#include <cstdint>

#include "imagelib/bitmap.h"

namespace fotrix {

// Returns non-zero to ask the running operation to stop.
using ProgressCallback = int (*)(uint32_t position, uint32_t total, uintptr_t user, uint32_t extra);

enum ResampleMethod : int { ResampleArea = 0, ResampleNearest = 2 };

int bitmapDuplicate(const Bitmap& source, Bitmap* output);
int bitmapCrop(Bitmap& source, Bitmap* output, const Rect* rect);
int bitmapCropView(Bitmap& source, Bitmap* output, const Rect* rect);
int bitmapResample(Bitmap& source, Bitmap* output, int width, int height, int method);
int bitmapResizeNearest(Bitmap& source, Bitmap* output, int width, int height);
int bitmapShrink(Bitmap& source, Bitmap* output, int width, int height, unsigned indexedTargetType);
int bitmapMirror(Bitmap& source, Bitmap* output, const Rect* rect);
int bitmapFlip(Bitmap& source, Bitmap* output, const Rect* rect);
int bitmapRotate(Bitmap& source, Bitmap* output, int angle, int reserved, ProgressCallback progress,
                 uintptr_t user);

// Turns the bitmap in place so that a picture stored with camera orientation
// `orientation` (1..8: upright, mirrored, upside down, flipped, transposed,
// turned left, transversed, turned right) is shown upright, whatever its
// shape. Other values change nothing. Results as above.
int bitmapApplyOrientation(Bitmap& bitmap, int orientation);

// Size of a w x h picture fitted into a bw x bh box (integer division, each at least 1).
void fitIntoBox(int w, int h, int bw, int bh, int& outW, int& outH);

}  // namespace fotrix
