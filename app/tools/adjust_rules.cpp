// The Adjust tool's values and the sequence that adjusts one picture.
#include "app/tools/adjust_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "imagelib/adjust.h"
#include "imagelib/colours.h"

namespace fotrix {

namespace {

constexpr double kLowestGamma = 0.1;

int* integerField(AdjustValues& values, int parameter)
{
    switch (parameter) {
    case AdjustBrightness: return &values.brightness;
    case AdjustContrast: return &values.contrast;
    case AdjustRed: return &values.red;
    case AdjustGreen: return &values.green;
    case AdjustBlue: return &values.blue;
    default: return nullptr;
    }
}

int integerValue(const AdjustValues& values, int parameter)
{
    return *integerField(const_cast<AdjustValues&>(values), parameter);
}

// The three offsets in the byte order of the picture's pixels: the colour
// balance works on byte positions, so a blue-first picture takes them reversed.
void balanceOffsets(const Bitmap& bitmap, const AdjustValues& values, int offsets[3])
{
    bool blueFirst = bitmap.type == Bgr || bitmap.type == Bgra;
    offsets[0] = blueFirst ? values.blue : values.red;
    offsets[1] = values.green;
    offsets[2] = blueFirst ? values.red : values.blue;
}

}  // namespace

AdjustRange adjustRange(int parameter)
{
    if (parameter == AdjustGamma) return {10, 200};
    return {-100, 100};
}

int adjustPosition(const AdjustValues& values, int parameter)
{
    if (parameter == AdjustGamma) return static_cast<int>(std::lround(values.gamma * 10));
    return integerValue(values, parameter);
}

void setAdjustPosition(AdjustValues& values, int parameter, int position)
{
    AdjustRange range = adjustRange(parameter);
    position = std::clamp(position, range.lower, range.upper);
    if (parameter == AdjustGamma) values.gamma = position * 0.1;
    else if (int* field = integerField(values, parameter)) *field = position;
}

void setAdjustTyped(AdjustValues& values, int parameter, const std::string& text)
{
    if (parameter == AdjustGamma) {
        double gamma = std::strtod(text.c_str(), nullptr);
        values.gamma = std::isfinite(gamma) ? std::max(gamma, kLowestGamma) : kLowestGamma;
        return;
    }
    int* field = integerField(values, parameter);
    if (!field) return;
    long typed = std::strtol(text.c_str(), nullptr, 10);
    *field = static_cast<int>(std::clamp(typed, -100L, 100L));
}

std::string adjustFieldText(const AdjustValues& values, int parameter)
{
    char text[32];
    if (parameter == AdjustGamma) std::snprintf(text, sizeof text, "%.2f", values.gamma);
    else std::snprintf(text, sizeof text, "%d", integerValue(values, parameter));
    return text;
}

bool toneIsNeutral(const AdjustValues& values)
{
    return values.brightness == 0 && values.contrast == 0 && values.gamma >= 0.99 && values.gamma <= 1.01;
}

int adjustPicture(Bitmap& bitmap, const AdjustValues& values)
{
    if (values.autoLevels)
        if (int result = bitmapAutoLevels(bitmap, nullptr, nullptr)) return result;
    if (values.autoContrast)
        if (int result = bitmapAutoContrast(bitmap, nullptr, nullptr)) return result;
    if (!toneIsNeutral(values))
        if (int result = bitmapAdjust(bitmap, nullptr, nullptr, values.brightness, values.contrast, values.gamma))
            return result;
    if (values.red || values.green || values.blue) {
        // A grey picture has one byte a pixel, which would take the red offset
        // alone; offsets that tint it need the picture in colour first.
        const bool tints = values.red != values.green || values.green != values.blue;
        if (bitmap.type == Grey && tints)
            if (int result = bitmapConvertColours(bitmap, nullptr, ColourRgb, DitherNone)) return result;
        int offsets[3];
        balanceOffsets(bitmap, values, offsets);
        return bitmapColourBalance(bitmap, nullptr, nullptr, offsets[0], offsets[1], offsets[2]);
    }
    return 0;
}

}  // namespace fotrix
