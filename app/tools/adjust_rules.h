#pragma once
// The Adjust tool's values and rules: the six values with the ranges the
// page keeps them in, how the slider and spin positions map to them, what
// counts as neutral, and the sequence that adjusts one picture.
#include <string>

#include "imagelib/bitmap.h"

namespace fotrix {

// The order of the parameter list on the page.
enum AdjustParameter : int {
    AdjustBrightness = 0,
    AdjustContrast = 1,
    AdjustGamma = 2,
    AdjustRed = 3,
    AdjustGreen = 4,
    AdjustBlue = 5,
};
constexpr int kAdjustParameterCount = 6;

struct AdjustValues {
    int brightness = 0;
    int contrast = 0;
    double gamma = 1.0;
    int red = 0, green = 0, blue = 0;
    bool autoLevels = false;
    bool autoContrast = false;
};

// Slider and spin range of a parameter (gamma in tenths).
struct AdjustRange {
    int lower;
    int upper;
};
AdjustRange adjustRange(int parameter);

// The position that shows the parameter's value (gamma times 10).
int adjustPosition(const AdjustValues& values, int parameter);
// Stores a slider or spin position (for gamma, position times 0.1).
void setAdjustPosition(AdjustValues& values, int parameter, int position);
// Stores a typed value: integers clamped to -100..100, gamma raised to 0.1
// when below it. Text that is not a number stores 0 (gamma: 0.1).
void setAdjustTyped(AdjustValues& values, int parameter, const std::string& text);
// The edit field's text: the signed integer, gamma as "%.2f".
std::string adjustFieldText(const AdjustValues& values, int parameter);

// Brightness, contrast and gamma leave the picture alone (gamma 0.99..1.01).
bool toneIsNeutral(const AdjustValues& values);

// Auto levels, auto contrast, the tone pass unless neutral, the colour
// balance unless all offsets are 0 or the tone pass failed. 0, or the
// failing step's result code.
int adjustPicture(Bitmap& bitmap, const AdjustValues& values);

}  // namespace fotrix
