#pragma once
// What the file and folder choosers share: listing a folder, moving up,
// splitting paths, and the last error of the common dialogs. Private to platform/.
#include "platform/base/types.h"

#include <string>
#include <vector>

namespace commdlg {

struct FolderEntry {
    std::string name;
    bool folder;
};

// The sub-folders of `folder` (always) and the files matching one of the
// patterns (when `withFiles`), each in name order, hidden ones left out.
std::vector<FolderEntry> listFolder(const std::string& folder, const std::vector<std::string>& patterns, bool withFiles);
std::string parentFolder(const std::string& folder);  // "/a/b/" gives "/a/"; "/" stays
std::string withSlash(std::string folder);
bool folderExists(const std::string& path);
bool fileExists(const std::string& path);
// "a;b;c" into its parts (blanks around each dropped).
std::vector<std::string> splitPatterns(const std::string& patterns);
// The folder to start in: `wanted` when it exists, else "My Documents".
std::string startFolder(const std::string& wanted);

void setError(DWORD code);

// Item numbers of the parts the file and folder choosers share.
enum : int { IdFolder = 1100, IdUp = 1101, IdList = 1102 };

// The folder a chooser shows and what it lists there.
struct FolderView {
    std::string folder;
    std::vector<FolderEntry> entries;
};
// Lists the view's folder into the chooser's list (folders with a trailing
// "/", files as they are), shows its path above and enables Up below the root.
void showFolder(HWND dlg, FolderView& view, const std::vector<std::string>& patterns, bool withFiles);
// Moves the view into `folder` when it exists, and shows it.
void enterFolder(HWND dlg, FolderView& view, const std::string& folder, const std::vector<std::string>& patterns,
                 bool withFiles);
// The entry chosen in the list, or null.
const FolderEntry* selectedEntry(HWND dlg, const FolderView* view);

}  // namespace commdlg
