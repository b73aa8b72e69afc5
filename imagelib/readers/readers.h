#pragma once
// Entry points of the readers, one per format family. The format table
// (core/format_table.cpp) points its rows at them.
#include "imagelib/reader.h"

namespace fotrix {

// JPEG (also the EXIF thumbnail) and PNG.
int readJpeg(Stream& stream, ReaderContext& context);
int readPng(Stream& stream, ReaderContext& context);

// Windows and OS/2 bitmaps, also the Pocket PC "2bp" files.
int readBmp(Stream& stream, ReaderContext& context);
int readGif(Stream& stream, ReaderContext& context);
int readPcx(Stream& stream, ReaderContext& context);
int readTga(Stream& stream, ReaderContext& context);
int readPnm(Stream& stream, ReaderContext& context);
int readPsd(Stream& stream, ReaderContext& context);
int readIco(Stream& stream, ReaderContext& context);
int readTiff(Stream& stream, ReaderContext& context);

}  // namespace fotrix
