// Hive files: where they live, loading, damage handling, the lock between
// processes, and atomic saves.
#include "platform/registry/store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    int64_t mtimeNs = 0;
    bool exists = false;
    bool operator==(const FileIdentity& o) const
    {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size && mtimeNs == o.mtimeNs;
    }
};

struct HiveState {
    RegNode root;
    FileIdentity identity;
    bool loaded = false;
    std::string folder;  // the folder the tree was loaded from
};

HiveState hives[2];
std::string lastDamage;

const char* fileName(int hive) { return hive == HiveClasses ? "classes.reg" : "user.reg"; }

FileIdentity identify(const std::string& path)
{
    FileIdentity id;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return id;
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

bool readWhole(const std::string& path, std::string& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        out.append(buf, n);
        if (out.size() > (64u << 20)) break;  // no hive is this big: treat as damaged
    }
    bool ok = !std::ferror(f) && out.size() <= (64u << 20);
    std::fclose(f);
    return ok;
}

bool makeFolder(const std::string& folder)
{
    std::string partial;
    for (size_t i = 0; i < folder.size(); ++i) {
        partial += folder[i];
        if ((folder[i] == '/' && i > 0) || i + 1 == folder.size()) {
            if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

// Moves a damaged hive file aside under a unique name and says so on the debug console.
void keepAside(const std::string& path, const std::string& why)
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    std::string target = path + ".damaged-" + stamp;
    for (int n = 1; identify(target).exists && n < 1000; ++n)
        target = path + ".damaged-" + stamp + "-" + std::to_string(n);
    if (std::rename(path.c_str(), target.c_str()) == 0) lastDamage = target;
    std::string line = "registry: " + path + " is damaged (" + why + "); kept as " + target + "\n";
    OutputDebugString(line.c_str());
}

// Reads the hive file into the state when it changed since the last read.
void refresh(int hive, bool haveLock)
{
    HiveState& h = hives[hive];
    std::string folder = registryFolder();
    std::string path = folder + "/" + fileName(hive);
    FileIdentity id = identify(path);
    if (h.loaded && h.folder == folder && id == h.identity) return;
    h.root = RegNode{};
    h.folder = folder;
    h.identity = id;
    h.loaded = true;
    if (!id.exists) return;
    std::string text, error;
    if (!readWhole(path, text)) error = "cannot be read";
    else if (regParse(text, hiveRootName(hive), h.root, error)) return;
    h.root = RegNode{};
    if (haveLock) {
        keepAside(path, error);
        h.identity = identify(path);
    } else {
        // Moving the file aside needs the lock: take it and look again, as a
        // writer may have replaced the file meanwhile.
        h.loaded = false;
        int lockFd = open((folder + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd < 0) return;
        while (flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
        }
        refresh(hive, true);
        flock(lockFd, LOCK_UN);
        close(lockFd);
    }
}

bool syncFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    fsync(fd);
    close(fd);
    return true;
}

// Temporary files left by a writer that died mid-save. Called under the lock
// file, when no other writer can be between its write and its rename.
void removeStaleTemporaries(const std::string& folder, const std::string& name)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::string prefix = name + ".tmp-";
    while (dirent* e = readdir(dir))
        if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) == 0) unlink((folder + "/" + e->d_name).c_str());
    closedir(dir);
}

bool saveAtomically(int hive)
{
    HiveState& h = hives[hive];
    std::string folder = h.folder;
    std::string path = folder + "/" + fileName(hive);
    removeStaleTemporaries(folder, fileName(hive));
    std::string temp = path + ".tmp-" + std::to_string(getpid());
    std::string text = regFormat(h.root, hiveRootName(hive));
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == text.size() && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    syncFolder(folder);
    h.identity = identify(path);
    return true;
}

}  // namespace

const char* hiveRootName(int hive) { return hive == HiveClasses ? "HKEY_CLASSES_ROOT" : "HKEY_CURRENT_USER"; }

std::recursive_mutex& registryLock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::string registryFolder()
{
    if (const char* dir = std::getenv("FOTRIX_CONFIG_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::string(xdg) + "/fotrix-pocket";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config/fotrix-pocket";
}

const std::string& registryLastDamage() { return lastDamage; }

RegNode* hiveForRead(int hive)
{
    refresh(hive, false);
    return &hives[hive].root;
}

LONG hiveChange(int hive, const std::function<LONG(RegNode& root, bool& changed)>& change)
{
    std::string folder = registryFolder();
    if (!makeFolder(folder)) return ERROR_CANTWRITE;
    std::string lockPath = folder + "/registry.lock";
    int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) return ERROR_CANTWRITE;
    while (flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    refresh(hive, true);
    bool changed = false;
    LONG result = change(hives[hive].root, changed);
    if (result == ERROR_SUCCESS && changed && !saveAtomically(hive)) {
        // Keep memory equal to the file: forget the change that could not be saved.
        hives[hive].loaded = false;
        refresh(hive, true);
        result = ERROR_CANTWRITE;
    }
    flock(lockFd, LOCK_UN);
    close(lockFd);
    return result;
}

void registryForget()
{
    for (HiveState& h : hives) h = HiveState{};
    lastDamage.clear();
}
