// Folder listings with wildcard patterns, and storage card enumeration.
#include "platform/files/files.h"
#include "platform/files/files_internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

struct FindRec {
    std::vector<WIN32_FIND_DATA> entries;
    size_t next = 0;
};

namespace {

std::mutex findsLock;
std::unordered_set<FindRec*> finds;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool matchFrom(const char* p, const char* n)
{
    for (; *p; ++p, ++n) {
        if (*p == '*') {
            while (p[1] == '*') ++p;
            if (!p[1]) return true;
            for (const char* rest = n; *rest; ++rest)
                if (matchFrom(p + 1, rest)) return true;
            return matchFrom(p + 1, n + std::strlen(n));
        }
        if (!*n) return false;
        if (*p != '?' && lower(*p) != lower(*n)) return false;
    }
    return *n == 0;
}

HANDLE publish(FindRec* rec)
{
    std::lock_guard<std::mutex> guard(findsLock);
    finds.insert(rec);
    return reinterpret_cast<HANDLE>(rec);
}

FindRec* lookup(HANDLE h)
{
    std::lock_guard<std::mutex> guard(findsLock);
    auto* rec = reinterpret_cast<FindRec*>(h);
    return finds.count(rec) ? rec : nullptr;
}

bool takeNext(FindRec* rec, WIN32_FIND_DATA* data)
{
    if (rec->next >= rec->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return false;
    }
    *data = rec->entries[rec->next++];
    return true;
}

void addCardsIn(const std::string& root, std::vector<WIN32_FIND_DATA>& out)
{
    DIR* dir = opendir(root.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (dirent* e = readdir(dir))
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string path = root + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || path.size() >= MAX_PATH) continue;
        WIN32_FIND_DATA d{};
        fillFindData(path, name, st, d);
        std::snprintf(d.cFileName, sizeof d.cFileName, "%s", path.c_str());
        out.push_back(d);
    }
}

}  // namespace

bool WildcardMatch(const char* pattern, const char* name)
{
    if (!pattern || !name) return false;
    if (std::strcmp(pattern, "*.*") == 0) return true;
    return matchFrom(pattern, name);
}

HANDLE FindFirstFile(const char* pattern, WIN32_FIND_DATA* data)
{
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string full(pattern);
    size_t slash = full.rfind('/');
    std::string folder = slash == std::string::npos ? "." : full.substr(0, slash == 0 ? 1 : slash);
    std::string mask = slash == std::string::npos ? full : full.substr(slash + 1);
    if (mask.empty()) mask.assign(1, '*');
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto* rec = new FindRec;
    std::vector<std::string> names;
    while (dirent* e = readdir(dir)) {
        if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
        if (WildcardMatch(mask.c_str(), e->d_name)) names.push_back(e->d_name);
    }
    closedir(dir);
    // A stable order (by name) keeps listings the same from run to run.
    std::sort(names.begin(), names.end());
    std::string prefix = folder == "/" ? "/" : folder + "/";
    for (const std::string& name : names) {
        struct stat st;
        if (name.size() >= MAX_PATH || stat((prefix + name).c_str(), &st) != 0) continue;  // vanished or a dangling link
        WIN32_FIND_DATA d{};
        fillFindData(prefix + name, name, st, d);
        rec->entries.push_back(d);
    }
    if (rec->entries.empty()) {
        delete rec;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    takeNext(rec, data);
    return publish(rec);
}

BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data)
{
    FindRec* rec = lookup(find);
    if (!rec || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return takeNext(rec, data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE find)
{
    FindRec* rec = lookup(find);
    if (!rec) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> guard(findsLock);
        finds.erase(rec);
    }
    delete rec;
    return TRUE;
}

HANDLE FindFirstFlashCard(WIN32_FIND_DATA* data)
{
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<std::string> roots;
    if (const char* env = std::getenv("FOTRIX_STORAGE_ROOTS")) {
        std::string list = env;
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find(':', start);
            if (end == std::string::npos) end = list.size();
            if (end > start) roots.push_back(list.substr(start, end - start));
            start = end + 1;
        }
    } else {
        const char* user = std::getenv("USER");
        if (user && *user && !std::strchr(user, '/')) {
            roots.push_back(std::string("/media/") + user);
            roots.push_back(std::string("/run/media/") + user);
        }
    }
    auto* rec = new FindRec;
    for (const std::string& root : roots) addCardsIn(root, rec->entries);
    if (rec->entries.empty()) {
        delete rec;
        SetLastError(ERROR_NO_MORE_FILES);
        return INVALID_HANDLE_VALUE;
    }
    takeNext(rec, data);
    return publish(rec);
}

BOOL FindNextFlashCard(HANDLE find, WIN32_FIND_DATA* data) { return FindNextFile(find, data); }
