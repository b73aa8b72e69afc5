// Convert: writes the selected pictures in another format, depth and place,
// with the information page in front of the shared output pages.
#include "app/tools/convert_tool.h"

#include "app/tools/batch_sheet.h"

namespace fotrix {

namespace {

ToolDefinition convertTool()
{
    ToolDefinition tool;
    tool.name = "convert";
    tool.infoPage = true;
    tool.successMessage = &kIdsConvertOk;
    return tool;
}

}  // namespace

void RunConvertTool(HWND mainWindow)
{
    ToolSelection selection = SelectedToolFiles();
    static const ToolDefinition tool = convertTool();
    RunToolSheet(mainWindow, tool, std::move(selection.files), selection.current);
}

}  // namespace fotrix
