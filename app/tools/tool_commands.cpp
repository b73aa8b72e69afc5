// The Tools menu's commands as the main window runs them: one row a command
// with the check that enables it and the tool it opens.
#include "app/tools/tool_commands.h"

#include "app/browser/browser.h"
#include "app/shell/app_state.h"
#include "app/shell/command_ids.h"
#include "app/tools/adjust_tool.h"
#include "app/tools/convert_tool.h"
#include "app/tools/crop_tool.h"
#include "app/tools/misc_tool.h"
#include "app/tools/resize_tool.h"
#include "app/tools/rotate_tool.h"

#include <iterator>

namespace fotrix {

namespace {

bool always() { return true; }
bool filesSelected() { return !SelectedToolFiles().files.empty(); }

// The tools whose sheet runs straight over the selection.
template <const ToolDefinition& (*tool)()>
void runOnSelection(HWND mainWindow)
{
    ToolSelection selection = SelectedToolFiles();
    RunToolSheet(mainWindow, tool(), std::move(selection.files), selection.current);
}

struct ToolCommand {
    int command;
    bool (*ready)();
    void (*run)(HWND mainWindow);
};

const ToolCommand kToolCommands[] = {
    {CmdConvert, filesSelected, RunConvertTool},
    {CmdBatchRename, filesSelected, RunBatchRename},
    {CmdCapture, always, RunCaptureSheet},
    {CmdFind, always, RunFileSearch},
    {CmdRotate, filesSelected, runOnSelection<RotateTool>},
    {CmdResize, filesSelected, runOnSelection<ResizeTool>},
    {CmdAdjust, filesSelected, runOnSelection<AdjustTool>},
    {CmdCrop, filesSelected, runOnSelection<CropTool>},
    {CmdSharpenSoften, filesSelected, runOnSelection<MiscTool>},
};

const ToolCommand* find(int command)
{
    for (const ToolCommand& row : kToolCommands)
        if (row.command == command) return &row;
    return nullptr;
}

}  // namespace

ToolSelection SelectedToolFiles()
{
    ToolSelection selection;
    HWND list = gApp.listWindow;
    int focused = list && IsWindow(list) ? ListView_GetNextItem(list, -1, LVNI_FOCUSED) : -1;
    for (const SelectedFile& file : SelectedFiles(false)) {
        DWORD attributes = GetFileAttributes(file.path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (file.index == focused) selection.current = static_cast<int>(selection.files.size());
        selection.files.push_back(file.path);
    }
    return selection;
}

bool ToolCommandReady(int command)
{
    const ToolCommand* row = find(command);
    return row && row->ready();
}

void RunToolCommand(HWND mainWindow, int command)
{
    if (const ToolCommand* row = find(command)) row->run(mainWindow);
}

}  // namespace fotrix
