#pragma once
// Helpers shared by the geometric transforms: finishing a new bitmap like its
// source and handing it to the caller by the shared result convention.
#include "imagelib/bitmap.h"

namespace fotrix::transform {

// Gives `result` the source's colour count, transparent index, attributes and
// a copy of its palette. False when the palette could not be allocated.
bool finishLike(Bitmap& result, const Bitmap& source);

// Hands `result` over: into `output` when given (treated as empty), else in
// place of `source`, whose buffers are freed. Returns 0.
int storeResult(Bitmap& source, Bitmap* output, Bitmap& result);

// Frees a half-built result and returns `code`.
int discard(Bitmap& result, int code);

// The bits per component to allocate a copy with: deep samples stay deep.
inline int copyBits(const Bitmap& source) { return source.bitsPerComponent > 8 ? source.bitsPerComponent : 8; }

}  // namespace fotrix::transform
