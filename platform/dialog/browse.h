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

}  // namespace commdlg
