#include "fileio/stale_temporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <vector>

namespace fotrix {

namespace {

std::vector<std::string> namesWithPrefix(int folderFd, const std::string& prefix)
{
    std::vector<std::string> names;
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return names;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

}  // namespace

void removeStaleTemporaries(int folderFd, const std::string& prefix, int ageSeconds)
{
    const time_t now = std::time(nullptr);
    for (const std::string& name : namesWithPrefix(folderFd, prefix)) {
        struct stat st {};
        if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (now - st.st_mtime > ageSeconds) ::unlinkat(folderFd, name.c_str(), 0);
    }
}

}  // namespace fotrix
