// New folder, rename folder and delete folder, on the folder selected in the
// tree; the tree follows each change that succeeded.
#include "app/browser/file_commands.h"

#include "app/browser/browser_internal.h"
#include "app/browser/file_messages.h"
#include "app/browser/file_names.h"
#include "app/browser/folder_tree.h"
#include "app/browser/name_dialogs.h"
#include "app/browser/thumbnail_worker.h"

#include <sys/stat.h>

#include <vector>

namespace fotrix {

namespace {

HTREEITEM selectedTreeItem()
{
    if (!gApp.treeWindow) return nullptr;
    return reinterpret_cast<HTREEITEM>(SendMessage(gApp.treeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// A directory itself, not a link to one.
bool isRealDirectory(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> entryNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(data.cFileName);
    while (FindNextFile(find, &data));
    FindClose(find);
    return names;
}

// A name typed for a folder entry: refused with a message unless it stays inside the folder.
bool acceptName(const std::string& name)
{
    if (IsPlainName(name)) return true;
    ShowFileFailure(name, ERROR_INVALID_NAME);
    return false;
}

}  // namespace

bool DeleteFolderTree(const std::string& folder)
{
    for (const std::string& name : entryNames(folder)) {
        const std::string path = folder + name;
        const bool deleted = isRealDirectory(path) ? DeleteFolderTree(path + "/") : DeleteFile(path.c_str()) != 0;
        if (!deleted) return false;
    }
    return RemoveDirectory(folder.substr(0, folder.size() - 1).c_str()) != 0;
}

void NewFolderCommand(HWND mainWindow)
{
    HTREEITEM parentItem = selectedTreeItem();
    if (!parentItem) return;
    const std::string parent = TreeItemPath(parentItem);
    std::string name = ProposeNewFolderName(parent);
    if (!AskForName(mainWindow, NameDialog::NewFolder, parent, &name) || !acceptName(name)) return;
    if (!CreateDirectory((parent + name).c_str(), nullptr)) {
        ShowFileFailure(name, GetLastError());
        return;
    }
    InsertFolder(parentItem, name);
}

void RenameFolderCommand(HWND mainWindow)
{
    HTREEITEM item = selectedTreeItem();
    if (!item) return;
    const std::string path = TreeItemPath(item);
    if (path.size() < 4) return;  // the root and one-letter names
    std::string parent, oldName;
    SplitFilePath(path.substr(0, path.size() - 1), &parent, &oldName);
    std::string name = oldName;
    if (!AskForName(mainWindow, NameDialog::RenameFolder, parent, &name) || name == oldName || !acceptName(name))
        return;
    StopThumbnailWorker();
    if (!MoveFile((parent + oldName).c_str(), (parent + name).c_str())) {
        ShowFileFailure(name, GetLastError());
        StartThumbnailWorker();
        return;
    }
    RenameFolder(item, name);
    if (gApp.listWindow) FillFileList(gApp.listWindow, parent + name + "/");
}

void DeleteFolderCommand(HWND)
{
    HTREEITEM item = selectedTreeItem();
    if (!item) return;
    const std::string path = TreeItemPath(item);
    if (path.size() < 2 || !AskOkCancel(kIdsDeleteFolder)) return;
    StopThumbnailWorker();
    if (DeleteFolderTree(path)) {
        RemoveFolder(item);
        return;
    }
    const DWORD error = GetLastError();
    ShowFileFailure(path, error);
    StartThumbnailWorker();
}

}  // namespace fotrix
