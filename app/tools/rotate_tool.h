#pragma once
// The Rotate tool: its page (five operations, the lossless box, Apply and
// Apply to all, the preview) before the output-format and output-folder pages.
#include "app/tools/batch_sheet.h"

namespace fotrix {

// Control numbers of the Rotate page (the Resize page shares the preview's).
enum RotateControl : int {
    IdcRzLossless = 1057,
    IdcRotN90 = 1059,
    IdcRot90 = 1060,
    IdcRot180 = 1061,
    IdcRotHFlip = 1062,
    IdcRotVFlip = 1063,
    IdcToolPreview = 1042,
    IdcToolPreviewView = 1043,
    IdcToolWidth = 1039,
    IdcToolHeight = 1040,
};

const ToolDefinition& RotateTool();

// The Previous and Next buttons of the tools' own pages, enabled as the
// current index allows; `previousId`/`nextId` are the page's buttons.
void UpdateStepButtons(HWND page, const BatchRun& run);
// Handles a tap on Previous (delta -1) or Next (+1).
void StepFromPage(HWND page, int delta);

}  // namespace fotrix
