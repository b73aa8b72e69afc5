// The AVIF module: the reader over libavif.
#include "imagelib/core/codec_module.h"
#include "imagelib/readers/codec_readers.h"

FOTRIX_CODEC_ENTRIES = {FOTRIX_CODEC_TOKEN, fotrix::readAvif, nullptr, nullptr, nullptr};
