// Deleting the selected files (with the questions) and renaming one file;
// the list follows at once, and again when the change notifications arrive
// (which then find nothing left to do).
#include "app/browser/file_commands.h"

#include "app/browser/browser_internal.h"
#include "app/browser/file_messages.h"
#include "app/browser/file_names.h"
#include "app/browser/file_scan.h"
#include "app/browser/file_texts.h"
#include "app/browser/name_dialogs.h"
#include "app/browser/thumbnail_worker.h"
#include "platform/controls/listview.h"

namespace fotrix {

namespace {

// Deletes one file, asking first when it is read-only; false when it stays.
bool deleteOne(const std::string& path, bool* cancelled)
{
    const DWORD attributes = GetFileAttributes(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        if (!AskOkCancel(kIdsDelReadOnly)) {
            *cancelled = true;
            return false;
        }
        SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    return DeleteFile(path.c_str()) != 0;
}

int indexOfEntry(const std::string& path)
{
    for (int i = 0; i < fileCount(); ++i)
        if (gApp.files[static_cast<size_t>(i)].path == path) return i;
    return -1;
}

}  // namespace

void DeleteFilesCommand()
{
    const std::vector<SelectedFile> selected = SelectedFiles(true);
    if (selected.empty() || !AskOkCancel(kIdsDeleteFile)) return;
    std::string failed;
    DWORD failure = ERROR_SUCCESS;
    for (auto file = selected.rbegin(); file != selected.rend(); ++file) {
        bool cancelled = false;
        if (deleteOne(file->path, &cancelled)) {
            RemoveFile(file->path);
        } else if (!cancelled && failed.empty()) {
            failed = file->path;
            failure = GetLastError();
        }
    }
    if (!failed.empty()) ShowFileFailure(failed, failure);
}

void RenameFileCommand(HWND mainWindow)
{
    if (SelectedCount() != 1) return;
    const std::vector<SelectedFile> selected = SelectedFiles(true);
    if (selected.size() != 1) return;
    const std::string oldPath = selected[0].path;
    std::string folder, oldName;
    SplitFilePath(oldPath, &folder, &oldName);
    std::string name = oldName;
    if (!AskForName(mainWindow, NameDialog::RenameFile, folder, &name) || name == oldName) return;
    if (!IsPlainName(name)) {
        ShowFileFailure(name, ERROR_INVALID_NAME);
        return;
    }
    if (!MoveFile(oldPath.c_str(), (folder + name).c_str())) {
        ShowFileFailure(name, GetLastError());
        return;
    }
    const int index = indexOfEntry(oldPath);
    if (index < 0) return;
    FileEntry& entry = gApp.files[static_cast<size_t>(index)];
    if (!IsListedFile(name, entry.attributes)) {
        RemoveFile(oldPath);  // no longer a picture the list shows
        return;
    }
    StopThumbnailWorker();
    entry.path = folder + name;
    StartThumbnailWorker();
    if (gApp.mode == ModeList)
        ListView_SetItemText(gApp.listWindow, index, 0, DisplayName(entry.path, gApp.showExt != 0).c_str());
    ListView_RedrawItems(gApp.listWindow, index, index);
}

}  // namespace fotrix
