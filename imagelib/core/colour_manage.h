#pragma once
// Colour management after a load (ConvertToSrgb): pictures with an embedded
// ICC profile are converted to sRGB, CMYK pictures through their profile.
#include <cstddef>
#include <cstdint>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"

namespace fotrix {

// The options a load runs with when the caller asked for ConvertToSrgb: the
// profile is needed (ReadMetadata) and CMYK samples must stay ink amounts
// until the profile has seen them (KeepCmyk).
uint32_t colourManagedOptions(uint32_t options);

// Converts a loaded picture as the caller's `options` asked: through its
// profile when it has one (the profile block is then dropped, the pixels no
// longer being in its space), CMYK that the caller did not keep to RGB by the
// plain formula otherwise, and without the metadata the caller did not ask
// for. 0, or 1 when memory runs out.
int colourManageToSrgb(Bitmap& bitmap, uint32_t options, uint16_t channelOrder);

// Through Little CMS (icc_lcms.cpp, in the lcms2 module; without the module
// nothing is converted).
// True when the picture is now in sRGB: `bitmap` may change its type (Cmyk
// becomes `rgbType`).
bool iccConvertToSrgb(Bitmap& bitmap, const uint8_t* profile, size_t size, uint16_t rgbType);

}  // namespace fotrix
