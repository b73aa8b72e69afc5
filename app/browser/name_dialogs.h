#pragma once
// The small dialogs of the file commands that show a folder and ask for one
// name: new folder, rename folder, rename file, add favorite. Each has a
// template named after its language section ("CDlgNewFolder", "DlgRenFolder",
// "DlgRename", "DlgAddFavorites").
#include "platform/windows.h"

#include <string>

namespace fotrix {

enum class NameDialog : int { NewFolder, RenameFolder, RenameFile, AddFavorite };

// Control ids inside these dialogs.
enum : int {
    IdcNameFolderLabel = 1301,
    IdcNameFolder = 1302,
    IdcNameOldLabel = 1303,
    IdcNameOld = 1304,
    IdcNameNewLabel = 1305,
    IdcNameEdit = 1306,
};

// Shows dialog `kind` with `folder` and the proposed `name` (selected in the
// edit field). True on OK, with the text entered in *name.
bool AskForName(HWND owner, NameDialog kind, const std::string& folder, std::string* name);

// Registers the templates of the browser's dialogs (these and the organize
// favorites dialog) with the platform's dialog table. The program's resource
// registration calls it once; the dialogs fall back to their compiled-in
// templates when it has not run.
void RegisterBrowserDialogs();

// A template of the browser's dialogs by its section name, registered or not.
const DialogTemplate* BrowserDialogTemplate(const char* name);

}  // namespace fotrix
