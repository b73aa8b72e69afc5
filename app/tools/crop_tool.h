#pragma once
// The Crop tool: its page (the rectangle drawn on a preview or typed) before
// the output pages; it crops the current file, Next reaches the others.
#include "app/tools/batch_sheet.h"

namespace fotrix {

enum CropControl : int {
    IdcCropLeft = 1001,
    IdcCropTop = 1002,
    IdcCropWidth = 1003,
    IdcCropHeight = 1004,
    IdcCropLeftSpin = 1017,
    IdcCropTopSpin = 1021,
    IdcCropWidthSpin = 1022,
    IdcCropHeightSpin = 1023,
    IdcCropPreview = 1026,
    IdcCropView = 1027,
    IdcCropTLeft = 1085,
    IdcCropTTop = 1086,
    IdcTWidth = 1087,
    IdcTHeight = 1088,
};

const ToolDefinition& CropTool();

}  // namespace fotrix
