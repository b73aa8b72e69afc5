// The HEIF/HEIC module: the reader over libheif.
#include "imagelib/core/codec_module.h"
#include "imagelib/readers/codec_readers.h"

FOTRIX_CODEC_ENTRIES = {FOTRIX_CODEC_TOKEN, fotrix::readHeif, nullptr, nullptr, nullptr};
