// The program's own folder, the temporary folder and "My Documents".
#include "platform/files/files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int copyPath(const std::string& value, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0 || value.size() + 1 > static_cast<size_t>(capacity)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return static_cast<int>(value.size());
}

std::string withSlash(std::string p)
{
    if (p.empty() || p.back() != '/') p += '/';
    return p;
}

bool isFolder(const std::string& p)
{
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// XDG_PICTURES_DIR from the environment or from ~/.config/user-dirs.dirs.
std::string picturesFolder(const std::string& home)
{
    if (const char* env = std::getenv("XDG_PICTURES_DIR"); env && *env && isFolder(env)) return env;
    std::ifstream dirs(home + "/.config/user-dirs.dirs");
    std::string line;
    while (std::getline(dirs, line)) {
        const std::string key = "XDG_PICTURES_DIR=\"";
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"') continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
        if (isFolder(value)) return value;
    }
    return "";
}

}  // namespace

DWORD GetModuleFileName(HMODULE, char* buffer, DWORD capacity)
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    path[n] = 0;
    return static_cast<DWORD>(copyPath(path, buffer, static_cast<int>(capacity)));
}

int GetProgramFolder(char* buffer, int capacity)
{
    char path[4096];
    if (!GetModuleFileName(nullptr, path, sizeof path)) return 0;
    std::string p = path;
    return copyPath(p.substr(0, p.rfind('/') + 1), buffer, capacity);
}

DWORD GetTempPath(DWORD capacity, char* buffer)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    std::string folder = withSlash(base) + "fotrix-pocket-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return static_cast<DWORD>(copyPath(withSlash(folder), buffer, static_cast<int>(capacity)));
}

BOOL SHGetSpecialFolderPath(HWND, char* buffer, int folder, BOOL)
{
    if (folder != CSIDL_PERSONAL && folder != CSIDL_MYPICTURES) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const char* home = std::getenv("HOME");
    std::string h = home && *home ? home : "/";
    std::string pictures = picturesFolder(h);
    return copyPath(withSlash(pictures.empty() ? h : pictures), buffer, MAX_PATH) > 0 ? TRUE : FALSE;
}
