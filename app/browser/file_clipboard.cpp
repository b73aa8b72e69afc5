// The program's own file clipboard: the files taken at Cut or Copy, pasted
// into the folder shown. Paste never overwrites (an existing name gets the
// next copy name) and a move removes the original only once the copy is
// whole (MoveFile renames, or across devices copies and then deletes).
#include "app/browser/file_commands.h"

#include "app/browser/browser_internal.h"
#include "app/browser/file_messages.h"
#include "app/browser/file_names.h"
#include "app/browser/shell_calls.h"

#include <vector>

namespace fotrix {

namespace {

struct FileClipboard {
    std::vector<SelectedFile> files;
    bool move = false;
};
FileClipboard clipboard;

void takeSelection(bool move)
{
    clipboard.files = SelectedFiles(false);
    clipboard.move = move;
    UpdateMenuState();
}

// Pastes one file; false with the error when it failed.
bool pasteOne(const std::string& source, DWORD* error)
{
    std::string sourceFolder, name;
    SplitFilePath(source, &sourceFolder, &name);
    // A file cut and pasted into its own folder is already where it should be.
    if (clipboard.move && sourceFolder == gApp.currentFolder) return true;
    const std::string target = MakeCopyName(gApp.currentFolder, name);
    const BOOL done = clipboard.move ? MoveFile(source.c_str(), target.c_str())
                                     : CopyFile(source.c_str(), target.c_str(), TRUE);
    if (!done) {
        *error = GetLastError();
        return false;
    }
    std::string folder, targetName;
    SplitFilePath(target, &folder, &targetName);
    RefreshFile(folder, targetName);
    return true;
}

}  // namespace

bool FileClipboardHasFiles() { return !clipboard.files.empty(); }

void FreeFileClipboard()
{
    clipboard.files.clear();
    clipboard.files.shrink_to_fit();
    clipboard.move = false;
}

void CutCommand() { takeSelection(true); }
void CopyCommand() { takeSelection(false); }

void PasteCommand()
{
    if (gApp.currentFolder.empty()) return;
    std::string failed;
    DWORD failure = ERROR_SUCCESS;
    for (const SelectedFile& file : clipboard.files) {
        DWORD error = ERROR_SUCCESS;
        // After a cut, a second paste finds its sources gone: nothing to say.
        if (pasteOne(file.path, &error) || error == ERROR_FILE_NOT_FOUND) continue;
        if (failed.empty()) failed = file.path, failure = error;
    }
    if (!failed.empty()) ShowFileFailure(failed, failure);
}

}  // namespace fotrix
