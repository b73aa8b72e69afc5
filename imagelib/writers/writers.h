#pragma once
// Entry points of the writers and the layouts each accepts. The format table
// (core/format_table.cpp) points its rows at them.
#include "imagelib/formats.h"

namespace fotrix {

}  // namespace fotrix
