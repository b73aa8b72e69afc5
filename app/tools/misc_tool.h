#pragma once
// The sharpen/soften tool: noise reduction (a check box), sharpening and
// smoothing (two strength sliders) with before-and-after previews, before
// the output pages.
#include "app/tools/batch_sheet.h"
#include "app/tools/misc_rules.h"

namespace fotrix {

enum MiscControl : int {
    IdcMiscNoise = 1152,
    IdcMiscSharpen = 1048,
    IdcMiscSmooth = 1049,
    IdcMiscTSharpen = 1053,
    IdcMiscTSmooth = 1054,
    IdcMiscSharpenValue = 1055,
    IdcMiscSmoothValue = 1056,
    IdcMiscBefore = 1050,
    IdcMiscBeforeView = 1051,
    IdcMiscAfter = 1045,
    IdcMiscAfterView = 1046,
};

const ToolDefinition& MiscTool();

}  // namespace fotrix
