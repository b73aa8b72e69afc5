#pragma once
// Turns a loaded picture into a device bitmap for the list's cells.
#include "imagelib/bitmap.h"
#include "platform/windows.h"

namespace fotrix {

// A 32-bit device bitmap of the picture's size and colours, top row first;
// null when the layout is not one the loader gives or memory runs out.
HBITMAP MakeDeviceBitmap(const Bitmap& bitmap);

}  // namespace fotrix
