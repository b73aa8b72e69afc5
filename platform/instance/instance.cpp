// The single-instance channel. One request per connection:
//   request  "FXI1", kind, payload length (three 32-bit little-endian words), payload
//   reply    payload length (32-bit), payload
// Kinds: FIND (class and title, each a presence byte and a zero-ended string)
// answers a window token; FRONT (token) brings that window forward; COPY
// (token, dwData, bytes) delivers WM_COPYDATA and answers its result; POST and
// SEND (token, message, wParam, lParam) carry plain-number messages.
#include "platform/instance/instance.h"
#include "platform/window/hooks.h"
#include "platform/window/window.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

struct RemoteWindow {
    uint64_t token;
};

namespace {

enum : uint32_t { KindFind = 1, KindFront = 2, KindCopy = 3, KindPost = 4, KindSend = 5 };
constexpr uint32_t kMagic = 0x31495846;           // "FXI1"
constexpr uint32_t kMaxPayload = 1u << 20;        // a command line never comes near this
constexpr int kIoTimeoutMs = 2000;

std::string channelName;
int listenFd = -1;
bool isServer = false;
std::mutex remoteLock;
std::unordered_set<HWND>& remotes()
{
    static std::unordered_set<HWND> set;
    return set;
}

std::string socketPathFor(const std::string& name)
{
    std::string dir;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        dir = runtime;
    } else {
        dir = "/tmp/fotrix-pocket-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
    }
    return dir + "/fotrix-pocket-" + name + ".sock";
}

bool validName(const char* name)
{
    if (!name || !*name || std::strlen(name) > 40) return false;
    for (const char* p = name; *p; ++p)
        if (!(std::isalnum(static_cast<unsigned char>(*p)) || *p == '-' || *p == '_' || *p == '.')) return false;
    return true;
}

bool fillAddress(const std::string& path, sockaddr_un& addr)
{
    if (path.size() >= sizeof(addr.sun_path)) return false;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool waitFd(int fd, short events)
{
    pollfd p{fd, events, 0};
    return poll(&p, 1, kIoTimeoutMs) == 1 && (p.revents & events);
}

bool writeAll(int fd, const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        if (!waitFd(fd, POLLOUT)) return false;
        ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool readAll(int fd, void* data, size_t size)
{
    auto* p = static_cast<uint8_t*>(data);
    while (size > 0) {
        if (!waitFd(fd, POLLIN)) return false;
        ssize_t n = recv(fd, p, size, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put64(std::vector<uint8_t>& out, uint64_t v)
{
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Bounds-checked reader over a received payload.
struct Reader {
    const std::vector<uint8_t>& data;
    size_t pos = 0;
    bool ok = true;
    uint64_t take(int bytes)
    {
        if (!ok || data.size() - pos < static_cast<size_t>(bytes)) {
            ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(data[pos + i]) << (8 * i);
        pos += static_cast<size_t>(bytes);
        return v;
    }
    // A presence byte and a zero-ended string; null when absent.
    bool text(std::string& out, bool& present)
    {
        present = take(1) != 0;
        if (!ok) return false;
        if (!present) return true;
        const void* end = std::memchr(data.data() + pos, 0, data.size() - pos);
        if (!end) return ok = false;
        size_t len = static_cast<const uint8_t*>(end) - (data.data() + pos);
        out.assign(reinterpret_cast<const char*>(data.data() + pos), len);
        pos += len + 1;
        return true;
    }
};

int connectTo(const std::string& path)
{
    sockaddr_un addr;
    if (!fillAddress(path, addr)) return -1;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Client side: one request, one reply.
bool request(uint32_t kind, const std::vector<uint8_t>& payload, std::vector<uint8_t>& reply)
{
    if (channelName.empty() || isServer) return false;
    int fd = connectTo(socketPathFor(channelName));
    if (fd < 0) return false;
    std::vector<uint8_t> head;
    put32(head, kMagic);
    put32(head, kind);
    put32(head, static_cast<uint32_t>(payload.size()));
    uint32_t size = 0;
    bool ok = writeAll(fd, head.data(), head.size()) && writeAll(fd, payload.data(), payload.size()) &&
              readAll(fd, &size, sizeof size) && size <= kMaxPayload;
    if (ok) {
        reply.resize(size);
        ok = readAll(fd, reply.data(), size);
    }
    close(fd);
    return ok;
}

HWND windowOfToken(uint64_t token)
{
    auto hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(token));
    return IsWindow(hwnd) && !GetParent(hwnd) ? hwnd : nullptr;
}

std::vector<uint8_t> answer(uint32_t kind, const std::vector<uint8_t>& payload)
{
    Reader in{payload};
    std::vector<uint8_t> out;
    if (kind == KindFind) {
        std::string cls, title;
        bool hasCls = false, hasTitle = false;
        in.text(cls, hasCls);
        in.text(title, hasTitle);
        HWND found = in.ok ? FindWindow(hasCls ? cls.c_str() : nullptr, hasTitle ? title.c_str() : nullptr) : nullptr;
        put64(out, reinterpret_cast<uintptr_t>(found));
        return out;
    }
    HWND target = windowOfToken(in.take(8));
    if (kind == KindFront) {
        put32(out, target && in.ok ? SetForegroundWindow(target) : 0);
    } else if (kind == KindCopy) {
        uint64_t dwData = in.take(8);
        LRESULT r = 0;
        if (target && in.ok) {
            std::vector<uint8_t> bytes(payload.begin() + static_cast<long>(in.pos), payload.end());
            COPYDATASTRUCT cds{static_cast<ULONG_PTR>(dwData), static_cast<DWORD>(bytes.size()), bytes.empty() ? nullptr : bytes.data()};
            r = SendMessage(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
        }
        put64(out, static_cast<uint64_t>(r));
    } else if (kind == KindPost || kind == KindSend) {
        UINT message = static_cast<UINT>(in.take(4));
        WPARAM w = static_cast<WPARAM>(in.take(8));
        LPARAM l = static_cast<LPARAM>(in.take(8));
        uint64_t r = 0;
        if (target && in.ok)
            r = kind == KindPost ? static_cast<uint64_t>(PostMessage(target, message, w, l))
                                 : static_cast<uint64_t>(SendMessage(target, message, w, l));
        put64(out, r);
    }
    return out;
}

void serveOne(int fd)
{
    uint32_t head[3];
    if (!readAll(fd, head, sizeof head) || head[0] != kMagic || head[2] > kMaxPayload) return;
    std::vector<uint8_t> payload(head[2]);
    if (!readAll(fd, payload.data(), payload.size())) return;
    std::vector<uint8_t> reply = answer(head[1], payload);
    uint32_t size = static_cast<uint32_t>(reply.size());
    if (writeAll(fd, &size, sizeof size)) writeAll(fd, reply.data(), reply.size());
}

// Handles of the other instance's windows live as long as this process.
HWND makeRemote(uint64_t token)
{
    static std::vector<std::unique_ptr<RemoteWindow>> records;
    std::lock_guard<std::mutex> guard(remoteLock);
    for (const auto& r : records)
        if (r->token == token) return reinterpret_cast<HWND>(r.get());
    records.push_back(std::make_unique<RemoteWindow>(RemoteWindow{token}));
    auto hwnd = reinterpret_cast<HWND>(records.back().get());
    remotes().insert(hwnd);
    return hwnd;
}

uint64_t tokenOf(HWND hwnd) { return reinterpret_cast<RemoteWindow*>(hwnd)->token; }

}  // namespace

int InstanceSocketPath(const char* name, char* buffer, int capacity)
{
    if (!validName(name) || !buffer || capacity <= 0) return 0;
    std::string path = socketPathFor(name);
    std::snprintf(buffer, static_cast<size_t>(capacity), "%s", path.c_str());
    return static_cast<int>(path.size());
}

int InstanceClaim(const char* name)
{
    if (!validName(name)) return InstanceError;
    InstanceRelease();
    channelName = name;
    std::string path = socketPathFor(name);
    sockaddr_un addr;
    if (!fillAddress(path, addr)) return InstanceError;
    // The lock file makes "is anyone there? then take over" one step, so two
    // instances started together cannot both become the first.
    std::string lockPath = path + ".lock";
    int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0 || flock(lockFd, LOCK_EX) != 0) {
        if (lockFd >= 0) close(lockFd);
        return InstanceError;
    }
    int result = InstanceError;
    int probe = connectTo(path);
    if (probe >= 0) {
        close(probe);
        result = InstanceOtherRunning;
    } else {
        unlink(path.c_str());  // left by an instance that crashed
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && listen(fd, 8) == 0) {
            chmod(path.c_str(), 0600);
            listenFd = fd;
            isServer = true;
            result = InstanceFirst;
        } else if (fd >= 0) {
            close(fd);
        }
    }
    flock(lockFd, LOCK_UN);
    close(lockFd);
    return result;
}

void InstanceRelease()
{
    if (listenFd >= 0) {
        close(listenFd);
        unlink(socketPathFor(channelName).c_str());
    }
    listenFd = -1;
    isServer = false;
    channelName.clear();
}

bool instancePoll()
{
    if (listenFd < 0) return false;
    bool any = false;
    for (;;) {
        int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) break;
        serveOne(fd);
        close(fd);
        any = true;
    }
    return any;
}

HWND instanceFindRemoteWindow(const char* className, const char* title)
{
    std::vector<uint8_t> payload, reply;
    payload.push_back(className ? 1 : 0);
    if (className) payload.insert(payload.end(), className, className + std::strlen(className) + 1);
    payload.push_back(title ? 1 : 0);
    if (title) payload.insert(payload.end(), title, title + std::strlen(title) + 1);
    if (!request(KindFind, payload, reply) || reply.size() != 8) return nullptr;
    Reader in{reply};
    uint64_t token = in.take(8);
    return token ? makeRemote(token) : nullptr;
}

bool instanceIsRemoteWindow(HWND hwnd)
{
    if (!hwnd) return false;
    auto raw = reinterpret_cast<uintptr_t>(hwnd) & ~static_cast<uintptr_t>(1);
    std::lock_guard<std::mutex> guard(remoteLock);
    return remotes().count(reinterpret_cast<HWND>(raw)) != 0;
}

BOOL instanceForegroundRemote(HWND hwnd)
{
    hwnd = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(hwnd) & ~static_cast<uintptr_t>(1));
    std::vector<uint8_t> payload, reply;
    put64(payload, tokenOf(hwnd));
    if (!request(KindFront, payload, reply) || reply.size() != 4) return FALSE;
    return reply[0] ? TRUE : FALSE;
}

LRESULT instanceSendRemote(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::vector<uint8_t> payload, reply;
    put64(payload, tokenOf(hwnd));
    uint32_t kind = KindSend;
    if (message == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!cds || cds->cbData > kMaxPayload - 16 || (cds->cbData && !cds->lpData)) return 0;
        kind = KindCopy;
        put64(payload, cds->dwData);
        const auto* bytes = static_cast<const uint8_t*>(cds->lpData);
        payload.insert(payload.end(), bytes, bytes + cds->cbData);
    } else {
        put32(payload, message);
        put64(payload, wParam);
        put64(payload, static_cast<uint64_t>(lParam));
    }
    if (!request(kind, payload, reply) || reply.size() != 8) return 0;
    Reader in{reply};
    return static_cast<LRESULT>(in.take(8));
}

BOOL instancePostRemote(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::vector<uint8_t> payload, reply;
    put64(payload, tokenOf(hwnd));
    put32(payload, message);
    put64(payload, wParam);
    put64(payload, static_cast<uint64_t>(lParam));
    if (!request(KindPost, payload, reply) || reply.size() != 8) return FALSE;
    return reply[0] ? TRUE : FALSE;
}

namespace {

// The window functions hand windows of another process to the channel. This is
// set as the program starts, not by PlatformInit, because a second instance
// may look for the first one's window before it opens a screen of its own.
const RemoteWindows kRemoteWindows{instanceFindRemoteWindow, instanceIsRemoteWindow, instanceSendRemote,
                                   instancePostRemote, instanceForegroundRemote, instancePoll};
[[maybe_unused]] const bool kRemoteWindowsSet = (setRemoteWindows(&kRemoteWindows), true);

}  // namespace
