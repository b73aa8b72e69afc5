#include "app/album/core/working_folder.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>

namespace fotrix {

bool WorkingFolder::make(const std::string& temporaryRoot)
{
    remove();
    std::string pattern = temporaryRoot + "/Fotrix-XXXXXX";
    if (!mkdtemp(pattern.data())) return false;
    path_ = pattern;
    return true;
}

void WorkingFolder::remove()
{
    if (path_.empty()) return;
    if (DIR* dir = opendir(path_.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") unlink((path_ + "/" + name).c_str());
        }
        closedir(dir);
    }
    rmdir(path_.c_str());
    path_.clear();
}

}  // namespace fotrix
