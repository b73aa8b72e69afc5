#pragma once
// The Adjust tool: its page (six values on one slider, spin and field, auto
// levels and auto contrast, before-and-after previews) before the output pages.
#include "app/tools/batch_sheet.h"

namespace fotrix {

enum AdjustControl : int {
    IdcAdjParameters = 1145,
    IdcAdjSlider = 1048,
    IdcAdjSpin = 1223,
    IdcAdjValue = 1224,
    IdcAutoLevels = 1152,
    IdcAutoContrast = 1153,
    IdcAdjBefore = 1050,
    IdcAdjBeforeView = 1051,
    IdcAdjAfter = 1045,
    IdcAdjAfterView = 1046,
    IdcAdjFileName = 1049,
};

const ToolDefinition& AdjustTool();

}  // namespace fotrix
