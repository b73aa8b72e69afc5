#pragma once
// Entry points of the readers, one per format family. The format table
// (core/format_table.cpp) points its rows at them.
#include "imagelib/reader.h"

namespace fotrix {

// Windows and OS/2 bitmaps, also the Pocket PC "2bp" files.
int readBmp(Stream& stream, ReaderContext& context);

}  // namespace fotrix
