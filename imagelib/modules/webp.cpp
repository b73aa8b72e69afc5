// The WebP module: reader and writer over libwebp.
#include "imagelib/core/codec_module.h"
#include "imagelib/readers/codec_readers.h"

FOTRIX_CODEC_ENTRIES = {FOTRIX_CODEC_TOKEN, fotrix::readWebp, fotrix::writeWebp, nullptr, nullptr};
