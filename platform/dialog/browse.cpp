// Folder listings and path helpers of the file and folder choosers.
#include "platform/dialog/browse.h"
#include "platform/dialog/commdlg.h"
#include "platform/controls/listbox.h"
#include "platform/dialog/dialog_internal.h"
#include "platform/files/files.h"

#include <algorithm>

namespace commdlg {

namespace {

DWORD lastError = 0;

bool matchesAny(const std::vector<std::string>& patterns, const char* name)
{
    if (patterns.empty()) return true;
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) { return WildcardMatch(p.c_str(), name); });
}

}  // namespace

std::vector<FolderEntry> listFolder(const std::string& folder, const std::vector<std::string>& patterns, bool withFiles)
{
    std::vector<FolderEntry> folders, files;
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((withSlash(folder) + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return {};
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back({data.cFileName, true});
        else if (withFiles && matchesAny(patterns, data.cFileName)) files.push_back({data.cFileName, false});
    } while (FindNextFile(find, &data));
    FindClose(find);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

std::string withSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string parentFolder(const std::string& folder)
{
    std::string f = withSlash(folder);
    if (f == "/") return f;
    size_t cut = f.find_last_of('/', f.size() - 2);
    return cut == std::string::npos ? std::string("/") : f.substr(0, cut + 1);
}

bool folderExists(const std::string& path)
{
    DWORD a = GetFileAttributes(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileExists(const std::string& path)
{
    DWORD a = GetFileAttributes(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> splitPatterns(const std::string& patterns)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string part = patterns.substr(start, end - start);
        size_t a = part.find_first_not_of(' '), b = part.find_last_not_of(' ');
        if (a != std::string::npos) out.push_back(part.substr(a, b - a + 1));
        start = end + 1;
    }
    return out;
}

std::string startFolder(const std::string& wanted)
{
    if (!wanted.empty() && folderExists(wanted)) return withSlash(wanted);
    char documents[MAX_PATH] = "";
    if (SHGetSpecialFolderPath(nullptr, documents, CSIDL_PERSONAL, FALSE) && folderExists(documents))
        return withSlash(documents);
    return "/";
}

void setError(DWORD code) { lastError = code; }

void showFolder(HWND dlg, FolderView& view, const std::vector<std::string>& patterns, bool withFiles)
{
    view.entries = listFolder(view.folder, patterns, withFiles);
    HWND list = GetDlgItem(dlg, IdList);
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    for (const FolderEntry& e : view.entries) {
        const std::string label = e.folder ? e.name + "/" : e.name;
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    SetDlgItemText(dlg, IdFolder, view.folder.c_str());
    EnableWindow(GetDlgItem(dlg, IdUp), view.folder != "/");
}

void enterFolder(HWND dlg, FolderView& view, const std::string& folder, const std::vector<std::string>& patterns,
                 bool withFiles)
{
    if (!folderExists(folder)) return;
    view.folder = withSlash(folder);
    showFolder(dlg, view, patterns, withFiles);
}

const FolderEntry* selectedEntry(HWND dlg, const FolderView* view)
{
    const LRESULT i = SendDlgItemMessage(dlg, IdList, LB_GETCURSEL, 0, 0);
    if (i < 0 || i >= static_cast<LRESULT>(view->entries.size())) return nullptr;
    return &view->entries[static_cast<size_t>(i)];
}

}  // namespace commdlg

DWORD CommDlgExtendedError() { return commdlg::lastError; }
