#pragma once
#include <span>

#include "imagelib/formats.h"

namespace fotrix {

// The built-in rows in their order; a row's index is its position.
std::span<const FormatEntry> builtInFormats();

}  // namespace fotrix
