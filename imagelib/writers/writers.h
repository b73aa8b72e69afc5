#pragma once
// Entry points of the writers and the layouts each accepts. The format table
// (core/format_table.cpp) points its rows at them.
#include "imagelib/formats.h"

namespace fotrix {

struct WriterContext;

// Writers: 0 or a save result code (1, 5, 6, 7, 11, 16).
int writeBmp(WriterContext& context);
int writeTga(WriterContext& context);
int writeGif(WriterContext& context);
int writeJpeg(WriterContext& context);
int writePng(WriterContext& context);

// Accepted layouts of each writer. BMP and Targa take every layout and leave
// the list empty.
void acceptEveryLayout(AcceptedLayout* slots);
void gifWriterTypes(AcceptedLayout* slots);
void jpegWriterTypes(AcceptedLayout* slots);
void pngWriterTypes(AcceptedLayout* slots);

}  // namespace fotrix
