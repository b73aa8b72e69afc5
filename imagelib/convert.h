#pragma once
// Converting a picture file into another format row by row, so that the
// whole picture is never held: a conversion needs a megabyte or so instead
// of the picture's size. A writer that can be handed its rows (JPEG,
// imagelib/writers/pushed_writer.h) is handed each finished row on the
// reader's thread; any other writer takes them from a band of rows on a
// thread of its own, reading overlapping writing.
//
// Rows can flow when the reader hands them over top row first and leaves
// nothing to do after the last one (a palette, a colour model, a turn), the
// picture is true colour at its own size, and the writer takes rows top row
// first, one at a time, in the colours they have. Otherwise nothing is
// written and the caller loads the picture whole (loadBitmap, saveBitmap).
#include <string>

#include "imagelib/load.h"
#include "imagelib/save.h"
#include "imagelib/streaming/row_handoff.h"

namespace fotrix {

// convertByRows's answer when the picture cannot flow row by row.
constexpr int ConvertNeedsWholePicture = -2;

// Loads `input` with `load` and writes it to `output` with `save` as
// loadBitmap followed by saveBitmap would, file for file. Returns 0, the
// load's result (a failed load leaves no file), the save's result, or
// ConvertNeedsWholePicture. `info` may be null.
int convertByRows(const std::string& input, const std::string& output, const LoadParams& load,
                  const SaveParams& save, FileInfo* info);

// Loads `input` with `load` as loadBitmap would, while `consumer` takes each
// row on a thread of its own as soon as it is stored (under the same
// conditions as convertByRows, the consumer's own rows being top row first),
// so that the picture is never held whole. `described` gets the finished
// bitmap's fields and its comment and metadata, but no pixels. Returns 0,
// the load's result, the consumer's, or ConvertNeedsWholePicture when no row
// was handed over and the picture is to be loaded whole.
int loadByRows(const std::string& input, Bitmap& described, const LoadParams& load, FileInfo* info,
               const RowConsumer& consumer);
// The same with `sink` handed each row on the caller's thread.
int loadByRows(const std::string& input, Bitmap& described, const LoadParams& load, FileInfo* info, RowSink& sink);

}  // namespace fotrix
