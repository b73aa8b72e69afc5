// The main window's properties commands, on the browser's selection.
#include "app/properties/properties_commands.h"

#include "app/browser/browser.h"
#include "app/properties/iptc_editor.h"
#include "app/properties/properties_sheet.h"
#include "app/shell/command_ids.h"

namespace fotrix {

namespace {

std::vector<std::string> selectedPaths()
{
    std::vector<std::string> paths;
    for (const SelectedFile& f : SelectedFiles(false)) paths.push_back(f.path);
    return paths;
}

}  // namespace

bool PropertiesCommandReady(int command)
{
    if (command != CmdProperties && command != CmdIptcEdit) return false;
    return SelectedCount() > 0;
}

void RunPropertiesCommand(HWND mainWindow, int command)
{
    std::vector<std::string> paths = selectedPaths();
    if (paths.empty()) return;
    if (command == CmdProperties) ShowPropertiesSheet(mainWindow, paths, 0);
    else if (command == CmdIptcEdit) ShowIptcEditor(mainWindow, paths);
}

}  // namespace fotrix
