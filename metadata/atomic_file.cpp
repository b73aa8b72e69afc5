// Temporary files renamed over their targets.
#include "metadata/atomic_file.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fotrix {

std::string atomicTarget(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;  // not there yet: written as named
    std::string target = resolved;
    std::free(resolved);
    return target;
}

bool tempFileOpen(const std::string& target, TempFile& temp)
{
    std::string pattern = target + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    temp.path = name.data();
    temp.file = fdopen(fd, "wb");
    if (!temp.file) {
        close(fd);
        unlink(temp.path.c_str());
        return false;
    }
    return true;
}

bool tempFileCommit(TempFile& temp, const std::string& target)
{
    bool ok = temp.file && std::fflush(temp.file) == 0 && !std::ferror(temp.file);
    if (ok) ok = fsync(fileno(temp.file)) == 0;
    if (ok) {
        // mkstemp makes the file private; keep the permissions the target had,
        // or give a new file the usual ones.
        struct stat info;
        mode_t mode;
        if (stat(target.c_str(), &info) == 0) {
            mode = info.st_mode & 07777;
        } else {
            mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        ok = fchmod(fileno(temp.file), mode) == 0;
    }
    if (temp.file && std::fclose(temp.file) != 0) ok = false;
    temp.file = nullptr;
    if (ok) ok = std::rename(temp.path.c_str(), target.c_str()) == 0;
    if (!ok) unlink(temp.path.c_str());
    return ok;
}

void tempFileDiscard(TempFile& temp)
{
    if (temp.file) std::fclose(temp.file);
    temp.file = nullptr;
    if (!temp.path.empty()) unlink(temp.path.c_str());
}

}  // namespace fotrix
