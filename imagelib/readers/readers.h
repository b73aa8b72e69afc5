#pragma once
// Entry points of the readers, one per format family. The format table
// (core/format_table.cpp) points its rows at them.
#include "imagelib/reader.h"

namespace fotrix {


}  // namespace fotrix
