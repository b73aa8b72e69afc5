#pragma once
// The live adjustment dialog of the view (dialog 146): brightness, contrast
// and gamma chosen with one slider, applied to the shown picture at every
// move; and the JPEG quality question asked before an adjusted picture is
// written as JPEG.
#include "platform/windows.h"

namespace fotrix {

struct AdjustValues {
    int brightness = 0;   // -100 .. 100
    int contrast = 0;     // -100 .. 100
    double gamma = 1.0;   // 0.01 .. 3.00
};

// Control ids of the adjustment dialog.
enum AdjustDialogIds : int {
    IdcUndo = 3,
    IdcAdjustParameter = 1128,
    IdcAdjustSlider = 1129,
    IdcAdjustValue = 1130,
};
// Control ids of the quality question: four radio buttons for 25, 50, 75 and 100.
enum JpegQualityIds : int { IdcQualityFirst = 1131 };

// Shows the dialog over `view`, whose preview copy (when it has one) is
// adjusted live. True and the values on OK; false on cancel.
bool AskAdjustValues(HWND owner, HWND view, AdjustValues* values);
// The JPEG quality chosen (25, 50, 75 or 100), or 0 when cancelled.
int AskJpegQuality(HWND owner);
// The slider of a parameter (0 brightness, 1 contrast, 2 gamma): its range and
// the position showing `values`, the value text, and the values after a move.
void SliderRange(int parameter, int* low, int* high);
int SliderPosition(int parameter, const AdjustValues& values);
void SetFromSlider(int parameter, int position, AdjustValues* values);
void FormatParameter(int parameter, const AdjustValues& values, char* text, int size);
// Writes the table of the three values applied to `copy` (the unchanged
// pixels, 3 bytes each) into `pixels`.
void ApplyAdjustTable(const AdjustValues& values, const uint8_t* copy, uint8_t* pixels, size_t bytes);

}  // namespace fotrix
