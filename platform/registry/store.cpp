// Hive files: where they live, loading, damage handling, the lock between
// processes, and atomic saves.
#include "platform/registry/store.h"

#include "fileio/atomic_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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
    bool untouchable = false;  // the file could not be read: defaults this run, never written over
    std::string folder;        // the folder the tree was loaded from
};

// No hive is this big; a larger file is someone else's, not a damaged hive.
constexpr off_t kMaxHiveBytes = 64 << 20;

enum class HiveRead { Ok, Unreadable, TooLarge };

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

HiveRead readHive(const std::string& path, std::string& out, std::string& why)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return why = std::strerror(errno), HiveRead::Unreadable;
    struct stat st {};
    HiveRead result = HiveRead::Ok;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) result = HiveRead::Unreadable, why = "not a regular file";
    else if (st.st_size > kMaxHiveBytes) result = HiveRead::TooLarge;
    out.clear();
    char buf[65536];
    while (result == HiveRead::Ok) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) result = HiveRead::Unreadable, why = std::strerror(errno);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
        if (out.size() > static_cast<size_t>(kMaxHiveBytes)) result = HiveRead::TooLarge;  // grew while read
    }
    close(fd);
    if (result == HiveRead::TooLarge) why = "over " + std::to_string(kMaxHiveBytes >> 20) + " MiB";
    return result;
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

// Keeps a copy of a damaged hive file under a unique name (a second link to
// it, or a copy where links are not possible) and says so on the debug
// console, once: the hive is then saved with its good lines.
void keepAside(const std::string& path, const std::string& text, const std::string& why)
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    std::string target = path + ".damaged-" + stamp;
    for (int n = 1; identify(target).exists && n < 1000; ++n)
        target = path + ".damaged-" + stamp + "-" + std::to_string(n);
    // A hive kept as a link to elsewhere gives the file it names its second link.
    const bool kept = linkat(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
                      fotrix::replaceFileContents(target, text.data(), text.size()) == fotrix::ReplaceStatus::Ok;
    if (kept) lastDamage = target;
    std::string line = "registry: " + path + " is damaged (" + why + "); " +
                       (kept ? "kept as " + target : std::string("no copy could be kept")) +
                       "; its good lines are kept\n";
    OutputDebugString(line.c_str());
}

// A hive file that is there but cannot be used is not damaged: it is left as
// it is, and this run goes on with the defaults.
void reportUnusable(const std::string& path, HiveRead read, const std::string& why)
{
    const char* what = read == HiveRead::TooLarge ? "is too large" : "cannot be read";
    std::string line = "registry: " + path + " " + what + " (" + why +
                       "); using the defaults for this run and leaving the file as it is\n";
    OutputDebugString(line.c_str());
}

bool saveAtomically(int hive);

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
    h.untouchable = false;
    if (!id.exists) return;
    std::string text, why;
    if (const HiveRead read = readHive(path, text, why); read != HiveRead::Ok) {
        h.untouchable = true;
        reportUnusable(path, read, why);
        return;
    }
    if (regParse(text, hiveRootName(hive), h.root, why)) return;
    if (haveLock) {
        keepAside(path, text, why);
        saveAtomically(hive);
    } else {
        // Keeping the file aside and saving need the lock: take it and look
        // again, as a writer may have replaced the file meanwhile.
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

bool saveAtomically(int hive)
{
    HiveState& h = hives[hive];
    const std::string path = h.folder + "/" + fileName(hive);
    const std::string text = regFormat(h.root, hiveRootName(hive));
    fotrix::ReplaceOptions options;
    options.mode = 0600;  // settings are private
    options.useMode = true;
    options.staleAfterSeconds = -1;  // under the lock file every other writer's temporary is a dead one's
    if (fotrix::replaceFileContents(path, text.data(), text.size(), options) != fotrix::ReplaceStatus::Ok) return false;
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
    LONG result = hives[hive].untouchable ? static_cast<LONG>(ERROR_ACCESS_DENIED) : change(hives[hive].root, changed);
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
