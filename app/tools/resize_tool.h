#pragma once
// The Resize tool: its page (the size list, the user size with linked fields
// and keep proportions, the resolution, the preview) before the output pages.
#include "app/tools/batch_sheet.h"

namespace fotrix {

enum ResizeControl : int {
    IdcRzWidthField = 1001,
    IdcRzHeightField = 1002,
    IdcRzDpi = 1004,
    IdcRzList = 1030,
    IdcRzBox = 1031,
    IdcRzRatio = 1032,
    IdcRzWidthSpin = 1033,
    IdcRzHeightSpin = 1023,
    IdcRzDpiSpin = 1024,
    IdcRzWidthLabel = 1035,
    IdcRzHeightLabel = 1036,
    IdcRzText = 1092,
};

const ToolDefinition& ResizeTool();

}  // namespace fotrix
