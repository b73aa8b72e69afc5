// File change notifications over inotify. One reader thread per process reads
// the events of every watched folder, turns them into FILECHANGENOTIFY records
// and posts them to the registered windows.
//
// - A rename inside what a window watches is one SHCNE_RENAMEITEM (or
//   SHCNE_RENAMEFOLDER) with both paths; a move in from outside is a creation,
//   a move out a deletion.
// - CopyFile's in-flight temporary files are never reported; putting one in
//   place reports the creation of the target.
// - When the watched folder itself goes (deleted or moved away) the window is
//   told SHCNE_RMDIR with its path, and the registration watches nothing more.
// - Every record made is tracked until SHChangeNotifyFree, so a double free or
//   a stray pointer is ignored, and records never delivered (the window went)
//   are freed at once or at shutdown.
#include "platform/shell/changenotify.h"

#include "platform/files/attributes.h"
#include "platform/window/window.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <set>
#include <string>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF |
                                IN_MOVE_SELF | IN_ONLYDIR;
// How long the second half of a rename may lag behind the first before the
// first counts as a move out of the watched folders.
constexpr int kRenamePairMs = 20;

struct Registration {
    DWORD mask;
    bool recursive;
    std::string root;
};

struct Watch {
    std::string path;
    std::set<HWND> windows;
};

struct Post {
    HWND hwnd;
    FILECHANGENOTIFY* notify;
};

// The first half of a rename, waiting for its second half.
struct PendingMove {
    uint32_t cookie;
    int wd;
    std::string path;
    bool directory;
    bool temporary;
};

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (name.empty()) return folder;
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool isBelowOrSame(const std::string& path, const std::string& folder)
{
    if (path == folder) return true;
    std::string prefix = folder == "/" ? "/" : folder + "/";
    return path.compare(0, prefix.size(), prefix) == 0;
}

bool isCopyTemporary(const std::string& name) { return name.find(kCopyTemporaryInfix) != std::string::npos; }

class Notifier {
public:
    bool registerWindow(HWND hwnd, const SHCHANGENOTIFYENTRY& entry);
    void deregister(HWND hwnd);
    void release(FILECHANGENOTIFY* notify);
    void shutdown();
    int outstandingCount();

private:
    bool start();
    void run();
    void readEvents(std::vector<Post>& posts);
    void handle(const inotify_event& event, std::vector<Post>& posts);
    void handleRename(const PendingMove& from, int toWd, const std::string& toPath, std::vector<Post>& posts);
    void flushPendingMove(std::vector<Post>& posts);
    void rootVanished(const Watch& watch, std::vector<Post>& posts);
    void notify(HWND hwnd, LONG event, const std::string& path, const std::string& path2, bool directory, std::vector<Post>& posts);
    void notifyAll(const std::set<HWND>& windows, LONG event, const std::string& path, bool directory, std::vector<Post>& posts);
    void watchTree(const std::string& path, HWND hwnd, bool recursive);
    void forgetTree(const std::string& path, HWND hwnd);
    void forgetWindow(HWND hwnd);
    void renameWatches(const std::string& from, const std::string& to);
    void deliver(std::vector<Post>& posts);
    bool isRecursive(HWND hwnd) const
    {
        auto found = registrations_.find(hwnd);
        return found != registrations_.end() && found->second.recursive;
    }

    std::mutex lock_;
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    std::thread reader_;
    std::map<HWND, Registration> registrations_;
    std::map<int, Watch> watches_;
    std::set<FILECHANGENOTIFY*> outstanding_;
    std::optional<PendingMove> pending_;  // reader thread only
};

Notifier notifier;

bool Notifier::start()
{
    if (fd_ >= 0) return true;
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return false;
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        close(fd_);
        fd_ = -1;
        return false;
    }
    reader_ = std::thread([this] { run(); });
    return true;
}

bool Notifier::registerWindow(HWND hwnd, const SHCHANGENOTIFYENTRY& entry)
{
    std::string root = withoutTrailingSlash(entry.pszWatchDir);
    std::lock_guard<std::mutex> guard(lock_);
    if (!start()) return false;
    forgetWindow(hwnd);
    int wd = inotify_add_watch(fd_, root.c_str(), kWatchMask);
    if (wd < 0) return false;
    registrations_[hwnd] = Registration{entry.dwEventMask, entry.fRecursive != FALSE, root};
    watches_[wd].path = root;
    watches_[wd].windows.insert(hwnd);
    if (entry.fRecursive) watchTree(root, hwnd, true);
    return true;
}

// Adds `hwnd` to the watch of `path` and, when recursive, of every folder below.
void Notifier::watchTree(const std::string& path, HWND hwnd, bool recursive)
{
    int wd = inotify_add_watch(fd_, path.c_str(), kWatchMask);
    if (wd < 0) return;
    Watch& watch = watches_[wd];
    watch.path = path;
    watch.windows.insert(hwnd);
    if (!recursive) return;
    DIR* dir = opendir(path.c_str());
    if (!dir) return;
    std::vector<std::string> folders;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        std::string child = joinPath(path, entry->d_name);
        struct stat st;
        // Symbolic links to folders are not followed, so a loop cannot recurse for ever.
        if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) folders.push_back(child);
    }
    closedir(dir);
    for (const std::string& folder : folders) watchTree(folder, hwnd, true);
}

// Takes `hwnd` off the watches of `path` and below; a watch nobody needs goes.
void Notifier::forgetTree(const std::string& path, HWND hwnd)
{
    for (auto it = watches_.begin(); it != watches_.end();) {
        if (isBelowOrSame(it->second.path, path)) it->second.windows.erase(hwnd);
        if (it->second.windows.empty()) {
            inotify_rm_watch(fd_, it->first);
            it = watches_.erase(it);
        } else {
            ++it;
        }
    }
}

void Notifier::forgetWindow(HWND hwnd)
{
    if (registrations_.erase(hwnd) == 0) return;
    forgetTree("/", hwnd);
}

void Notifier::renameWatches(const std::string& from, const std::string& to)
{
    for (auto& [wd, watch] : watches_)
        if (isBelowOrSame(watch.path, from)) watch.path = to + watch.path.substr(from.size());
}

void Notifier::deregister(HWND hwnd)
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        forgetWindow(hwnd);
    }
    MSG msg;
    while (PeekMessage(&msg, hwnd, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_REMOVE))
        release(reinterpret_cast<FILECHANGENOTIFY*>(msg.lParam));
}

void Notifier::release(FILECHANGENOTIFY* notify)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (outstanding_.erase(notify)) std::free(notify);
}

int Notifier::outstandingCount()
{
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(outstanding_.size());
}

void Notifier::shutdown()
{
    if (reader_.joinable()) {
        char stop = 1;
        ssize_t ignored = write(wake_[1], &stop, 1);
        (void)ignored;
        reader_.join();
    }
    std::lock_guard<std::mutex> guard(lock_);
    for (int fd : {fd_, wake_[0], wake_[1]})
        if (fd >= 0) close(fd);
    fd_ = wake_[0] = wake_[1] = -1;
    registrations_.clear();
    watches_.clear();
    pending_.reset();
    for (FILECHANGENOTIFY* notify : outstanding_) std::free(notify);
    outstanding_.clear();
}

void Notifier::run()
{
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        int ready = poll(fds, 2, pending_ ? kRenamePairMs : -1);
        if (ready < 0 && errno != EINTR) return;
        if (fds[1].revents) return;
        std::vector<Post> posts;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (ready == 0) flushPendingMove(posts);
            else if (fds[0].revents) readEvents(posts);
        }
        deliver(posts);
    }
}

void Notifier::readEvents(std::vector<Post>& posts)
{
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) return;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            handle(*event, posts);
            at += sizeof(inotify_event) + event->len;
        }
    }
}

void Notifier::handle(const inotify_event& event, std::vector<Post>& posts)
{
    if (event.mask & IN_Q_OVERFLOW) {
        // Changes were lost: every window should read its folder again.
        flushPendingMove(posts);
        for (const auto& [hwnd, registration] : registrations_) notify(hwnd, SHCNE_UPDATEDIR, registration.root, "", true, posts);
        return;
    }
    // A rename's first half not followed by its second is settled first: that
    // may drop watches, among them the one of this event (a folder moved out
    // reports its own IN_MOVE_SELF next).
    if (pending_ && !((event.mask & IN_MOVED_TO) && event.cookie == pending_->cookie)) flushPendingMove(posts);
    auto found = watches_.find(event.wd);
    if (event.mask & IN_IGNORED) {
        if (found != watches_.end()) watches_.erase(found);
        return;
    }
    if (found == watches_.end()) return;
    const Watch& watch = found->second;
    std::string name = event.len ? event.name : "";
    std::string path = joinPath(watch.path, name);
    bool directory = (event.mask & IN_ISDIR) != 0;

    if (event.mask & IN_MOVED_TO) {
        if (pending_) {
            PendingMove from = *pending_;
            pending_.reset();
            handleRename(from, event.wd, path, posts);
        } else if (!isCopyTemporary(name)) {
            // Moved in from a folder nobody watches: a new item here.
            notifyAll(watch.windows, directory ? SHCNE_MKDIR : SHCNE_CREATE, path, directory, posts);
            if (directory)
                for (HWND hwnd : std::set<HWND>(watch.windows))
                    if (isRecursive(hwnd)) watchTree(path, hwnd, true);
        }
        return;
    }
    if (event.mask & IN_MOVED_FROM) {
        pending_ = PendingMove{event.cookie, event.wd, path, directory, isCopyTemporary(name)};
        return;
    }
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        rootVanished(watch, posts);
        return;
    }
    if (isCopyTemporary(name)) return;
    std::set<HWND> windows = watch.windows;
    if (event.mask & IN_CREATE) {
        notifyAll(windows, directory ? SHCNE_MKDIR : SHCNE_CREATE, path, directory, posts);
        if (directory)
            for (HWND hwnd : windows)
                if (isRecursive(hwnd)) watchTree(path, hwnd, true);
    } else if (event.mask & IN_DELETE) {
        notifyAll(windows, directory ? SHCNE_RMDIR : SHCNE_DELETE, path, directory, posts);
    } else if (event.mask & IN_CLOSE_WRITE) {
        notifyAll(windows, SHCNE_UPDATEITEM, path, false, posts);
    } else if (event.mask & IN_ATTRIB) {
        if (!name.empty()) notifyAll(windows, SHCNE_ATTRIBUTES, path, directory, posts);
    }
}

void Notifier::handleRename(const PendingMove& from, int toWd, const std::string& toPath, std::vector<Post>& posts)
{
    auto fromWatch = watches_.find(from.wd), toWatch = watches_.find(toWd);
    std::set<HWND> before = fromWatch != watches_.end() ? fromWatch->second.windows : std::set<HWND>();
    std::set<HWND> after = toWatch != watches_.end() ? toWatch->second.windows : std::set<HWND>();
    if (from.temporary) {
        // CopyFile putting its finished copy in place.
        notifyAll(after, SHCNE_CREATE, toPath, false, posts);
        return;
    }
    if (from.directory) renameWatches(from.path, toPath);
    for (HWND hwnd : before) {
        if (after.count(hwnd)) {
            notify(hwnd, from.directory ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, from.path, toPath, from.directory, posts);
        } else {
            notify(hwnd, from.directory ? SHCNE_RMDIR : SHCNE_DELETE, from.path, "", from.directory, posts);
            if (from.directory) forgetTree(toPath, hwnd);
        }
    }
    for (HWND hwnd : after) {
        if (before.count(hwnd)) continue;
        notify(hwnd, from.directory ? SHCNE_MKDIR : SHCNE_CREATE, toPath, "", from.directory, posts);
        if (from.directory && isRecursive(hwnd)) watchTree(toPath, hwnd, true);
    }
}

// The first half of a rename had no second half: the item left the watched folders.
void Notifier::flushPendingMove(std::vector<Post>& posts)
{
    if (!pending_) return;
    PendingMove from = *pending_;
    pending_.reset();
    if (from.temporary) return;
    auto watch = watches_.find(from.wd);
    if (watch == watches_.end()) return;
    std::set<HWND> windows = watch->second.windows;
    notifyAll(windows, from.directory ? SHCNE_RMDIR : SHCNE_DELETE, from.path, from.directory, posts);
    if (from.directory)
        for (HWND hwnd : windows) forgetTree(from.path, hwnd);
}

// A watched folder was deleted or moved away. Folders below a window's root are
// reported by their parent; the root itself has nobody else to report it.
void Notifier::rootVanished(const Watch& watch, std::vector<Post>& posts)
{
    std::string path = watch.path;
    std::set<HWND> windows = watch.windows;
    for (HWND hwnd : windows) {
        auto registration = registrations_.find(hwnd);
        if (registration == registrations_.end() || registration->second.root != path) continue;
        notify(hwnd, SHCNE_RMDIR, path, "", true, posts);
        forgetTree("/", hwnd);  // the registration stays, watching nothing
    }
}

void Notifier::notifyAll(const std::set<HWND>& windows, LONG event, const std::string& path, bool directory, std::vector<Post>& posts)
{
    for (HWND hwnd : windows) notify(hwnd, event, path, "", directory, posts);
}

// Makes one record, with its paths in the same allocation, when the window asked for the event.
void Notifier::notify(HWND hwnd, LONG event, const std::string& path, const std::string& path2, bool directory,
                      std::vector<Post>& posts)
{
    auto registration = registrations_.find(hwnd);
    if (registration == registrations_.end() || !(registration->second.mask & static_cast<DWORD>(event))) return;
    size_t size = sizeof(FILECHANGENOTIFY) + path.size() + 1 + (path2.empty() ? 0 : path2.size() + 1);
    auto* notify = static_cast<FILECHANGENOTIFY*>(std::calloc(1, size));
    if (!notify) return;
    char* text = reinterpret_cast<char*>(notify + 1);
    std::memcpy(text, path.c_str(), path.size() + 1);
    FILECHANGEINFO& info = notify->fci;
    info.cbSize = sizeof(FILECHANGEINFO);
    info.wEventId = event;
    info.uFlags = SHCNF_PATH;
    info.dwItem1 = reinterpret_cast<DWORD_PTR>(text);
    if (!path2.empty()) {
        char* second = text + path.size() + 1;
        std::memcpy(second, path2.c_str(), path2.size() + 1);
        info.dwItem2 = reinterpret_cast<DWORD_PTR>(second);
    }
    const std::string& current = path2.empty() ? path : path2;
    struct stat st;
    if (lstat(current.c_str(), &st) == 0) {
        std::string name = current.substr(current.find_last_of('/') + 1);
        info.dwAttributes = attributesOf(name, st);
        info.ftModified = fileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        info.nFileSize = static_cast<DWORD>(st.st_size);
    } else {
        info.dwAttributes = directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    }
    notify->dwRefCount = 1;
    outstanding_.insert(notify);
    posts.push_back({hwnd, notify});
}

// Posts outside the lock. A window that is gone loses its registration and
// its records are freed.
void Notifier::deliver(std::vector<Post>& posts)
{
    for (const Post& post : posts) {
        if (PostMessage(post.hwnd, WM_FILECHANGEINFO, 0, reinterpret_cast<LPARAM>(post.notify))) continue;
        release(post.notify);
        std::lock_guard<std::mutex> guard(lock_);
        forgetWindow(post.hwnd);
    }
}

}  // namespace

BOOL SHChangeNotifyRegister(HWND hwnd, const SHCHANGENOTIFYENTRY* entry)
{
    if (!hwnd || !IsWindow(hwnd) || !entry || !entry->pszWatchDir || !entry->pszWatchDir[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!notifier.registerWindow(hwnd, *entry)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

BOOL SHChangeNotifyDeregister(HWND hwnd)
{
    notifier.deregister(hwnd);
    return TRUE;
}

void SHChangeNotifyFree(FILECHANGENOTIFY* notify)
{
    if (notify) notifier.release(notify);
}

void shellNotifyShutdown() { notifier.shutdown(); }
int shellNotifyOutstanding() { return notifier.outstandingCount(); }
