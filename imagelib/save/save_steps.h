#pragma once
// The steps around a writer, for saves whose writer is not run by
// saveBitmap: a writer handed its rows one at a time while they load
// (imagelib/streaming/save_sink.h).
#include <string>

#include "imagelib/save.h"

namespace fotrix {

// Checks `bitmap` against the writer of `params.format` (its accepted
// layouts), applies the extension rule and describes the bitmap in
// `context`. Returns 0 or a result code; nothing is opened yet.
int prepareSave(WriterContext& context, const std::string& fileName, const Bitmap& bitmap, const SaveParams& params,
                std::string* finalName);

// Ends a save whose writer returned `result`: ends the row service, closes
// the file, and puts it in place when everything succeeded, else removes
// it. Returns the save's result.
int endSave(WriterContext& context, int result);

}  // namespace fotrix
