// The JPEG XL module: the reader over libjxl.
#include "imagelib/core/codec_module.h"
#include "imagelib/readers/codec_readers.h"

FOTRIX_CODEC_ENTRIES = {FOTRIX_CODEC_TOKEN, fotrix::readJxl, nullptr, nullptr, nullptr};
