// A WebP module as another build would have made it: the right name and entry
// symbol, another build's token. Programs must refuse it.
#include "imagelib/core/codec_module.h"

FOTRIX_CODEC_ENTRIES = {"another build", nullptr, nullptr, nullptr, nullptr};
