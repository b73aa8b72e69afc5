#pragma once
// Writes a Bitmap as a PAM (P7) file in picture order, 8 bits a sample (16 for
// deep samples): GRAYSCALE, RGB, RGB_ALPHA or CMYK.
#include <string>

#include "imagelib/bitmap.h"

namespace cli {

// 0, or the library's code 5 (cannot create) / 6 (write error).
int writePam(const fotrix::Bitmap& bitmap, const std::string& fileName);

}  // namespace cli
