#pragma once
// Tone and colour corrections: brightness, contrast and gamma through one
// table, automatic levels and contrast, colour balance, and the smooth,
// sharpen and noise-reduction filters. Result convention as in transform.h;
// a Rect (null: the whole bitmap) limits the change.
// Results: 0, 1 out of memory, 16 empty rectangle, 17 Binary bitmap.
#include <cstdint>

#include "imagelib/bitmap.h"

namespace fotrix {

// Byte pixels of one byte count their value; others their luminance.
void bitmapLumaHistogram(const Bitmap& bitmap, uint32_t histogram[256]);
// Byte k of every pixel counted in histogram k (k < 4).
void bitmapChannelHistograms(const Bitmap& bitmap, uint32_t histograms[4][256]);

void buildAdjustTable(uint8_t table[256], int brightness, int contrast, double gamma);
int bitmapAdjust(Bitmap& bitmap, Bitmap* output, const Rect* rect, int brightness, int contrast, double gamma);
// Table k maps byte k of each pixel, or palette plane k of an Indexed
// bitmap. 0, or 1 when the output cannot be allocated.
int bitmapApplyChannelTables(Bitmap& bitmap, Bitmap* output, const Rect* rect, const uint8_t tables[3][256]);
int bitmapAutoLevels(Bitmap& bitmap, Bitmap* output, const Rect* rect);
int bitmapAutoContrast(Bitmap& bitmap, Bitmap* output, const Rect* rect);
int bitmapColourBalance(Bitmap& bitmap, Bitmap* output, const Rect* rect, int offset0, int offset1, int offset2);

int bitmapSmooth(Bitmap& bitmap, Bitmap* output, const Rect* rect, int strength);
int bitmapSharpen(Bitmap& bitmap, Bitmap* output, const Rect* rect, int strength);
int bitmapReduceNoise(Bitmap& bitmap, Bitmap* output, const Rect* rect);

}  // namespace fotrix
