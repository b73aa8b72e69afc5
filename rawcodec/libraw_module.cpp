// The camera raw module: sensor data decoded through LibRaw.
#include "imagelib/core/codec_module.h"
#include "rawcodec/raw_internal.h"

FOTRIX_CODEC_ENTRIES = {FOTRIX_CODEC_TOKEN, nullptr, nullptr, nullptr, fotrix::raw::decodeSensor};
