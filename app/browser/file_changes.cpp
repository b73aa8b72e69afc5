// Keeping the list in step with the file system: files made, deleted or
// rewritten in the folder shown (by this program or any other) come in as
// change notifications and add, remove or refresh one entry each.
#include "app/browser/browser_internal.h"

#include "app/browser/file_scan.h"
#include "app/browser/file_sort.h"
#include "app/browser/shell_calls.h"
#include "app/browser/thumbnail_worker.h"
#include "app/viewer/main_view.h"
#include "platform/controls/listview.h"
#include "platform/files/files.h"
#include "platform/shell/changenotify.h"

namespace fotrix {

namespace {

// The folder shown, or with the recursive scan any folder below it.
bool folderIsShown(const std::string& folder)
{
    const std::string& current = gApp.currentFolder;
    if (current.empty()) return false;
    if (folder == current) return true;
    return gApp.recursive && folder.size() > current.size() &&
           ComparePathsNoCase(folder.substr(0, current.size()), current) == 0;
}

bool findData(const std::string& path, WIN32_FIND_DATA* data)
{
    HANDLE find = FindFirstFile(path.c_str(), data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

int indexOfPath(const std::string& path, bool ignoreCase)
{
    for (int i = 0; i < fileCount(); ++i) {
        const std::string& candidate = gApp.files[static_cast<size_t>(i)].path;
        if (ignoreCase ? ComparePathsNoCase(candidate, path) == 0 : candidate == path) return i;
    }
    return -1;
}

void splitPath(const std::string& path, std::string* folder, std::string* name)
{
    const size_t slash = path.find_last_of('/');
    *folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

void refreshPath(const std::string& path)
{
    std::string folder, name;
    splitPath(path, &folder, &name);
    RefreshFile(folder, name);
}

}  // namespace

void WatchCurrentFolder()
{
    if (!gApp.mainWindow || gApp.currentFolder.empty()) return;
    SHCHANGENOTIFYENTRY entry{};
    entry.dwEventMask = SHCNE_CREATE | SHCNE_DELETE | SHCNE_UPDATEITEM | SHCNE_RENAMEITEM;
    entry.pszWatchDir = gApp.currentFolder.c_str();
    entry.fRecursive = gApp.recursive ? TRUE : FALSE;
    SHChangeNotifyRegister(gApp.mainWindow, &entry);
}

void AddFile(const std::string& folder, const std::string& name)
{
    if (!folderIsShown(folder) || !gApp.listWindow) return;
    WIN32_FIND_DATA data{};
    if (!findData(folder + name, &data) || !IsListedFile(name, data.dwFileAttributes)) return;
    StopThumbnailWorker();
    gApp.files.push_back(MakeFileEntry(folder, data));
    InsertListItem(gApp.listWindow, fileCount() - 1);
    StartThumbnailWorker();
}

void RemoveFile(const std::string& path)
{
    StopThumbnailWorker();
    const int index = indexOfPath(path, false);
    HWND list = gApp.listWindow;
    if (index >= 0 && list) {
        FreeEntry(gApp.files[static_cast<size_t>(index)]);
        gApp.files.erase(gApp.files.begin() + index);
        {
            ProgramSelection own;
            ListView_DeleteItem(list, index);
        }
        const bool wasCurrent = index == gApp.currentIndex;
        if (gApp.currentIndex > index) --gApp.currentIndex;
        const int next = index < fileCount() ? index : fileCount() - 1;
        SelectOnly(next);
        if (wasCurrent) {
            gApp.currentIndex = -1;
            if (next >= 0) LoadIntoView(next, 0, false);
            else ClearView();
            UpdateMenuState();
        }
    }
    StartThumbnailWorker();
}

void RefreshFile(const std::string& folder, const std::string& name)
{
    if (!folderIsShown(folder)) return;
    const int index = indexOfPath(folder + name, true);
    if (index < 0) {
        AddFile(folder, name);
        return;
    }
    WIN32_FIND_DATA data{};
    if (!findData(gApp.files[static_cast<size_t>(index)].path, &data)) return;
    StopThumbnailWorker();
    FileEntry& entry = gApp.files[static_cast<size_t>(index)];
    FreeEntry(entry);
    entry.info = FileInfo{};
    entry.attributes = data.dwFileAttributes;
    entry.lastWriteTime = data.ftLastWriteTime;
    entry.size = data.nFileSizeLow;
    entry.thumbnailWidth = entry.thumbnailHeight = 0;
    if (entry.state != EntryAlbum) entry.state = EntryNoThumbnail;
    entry.dateTakenRead = false;  // the file changed: its date taken may have too
    RefreshItem(index);
    StartThumbnailWorker();
}

void OnFileChange(HWND, WPARAM, LPARAM lParam)
{
    FILECHANGENOTIFY* notify = reinterpret_cast<FILECHANGENOTIFY*>(lParam);
    if (!notify) return;
    const FILECHANGEINFO& change = notify->fci;
    const char* first = reinterpret_cast<const char*>(change.dwItem1);
    const char* second = reinterpret_cast<const char*>(change.dwItem2);
    if (first) {
        switch (change.wEventId) {
        case SHCNE_CREATE:
        case SHCNE_UPDATEITEM: refreshPath(first); break;
        case SHCNE_DELETE: RemoveFile(first); break;
        case SHCNE_RENAMEITEM:
            RemoveFile(first);
            if (second) refreshPath(second);
            break;
        default: break;
        }
    }
    SHChangeNotifyFree(notify);
}

}  // namespace fotrix
