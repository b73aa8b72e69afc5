// Time-limited TCP reads, writes, connects and accepts over poll().
#include "app/send/obex_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fotrix::obex {
namespace {

// Waits until `fd` is ready for `events`: 0, ETIMEDOUT or the errno of poll.
int waitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    for (;;) {
        int ready = ::poll(&entry, 1, timeoutMs);
        if (ready > 0) return 0;
        if (ready == 0) return ETIMEDOUT;
        if (errno != EINTR) return errno;
    }
}

int connectOne(const addrinfo* address, int timeoutMs, int& fd) {
    fd = ::socket(address->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    if (::connect(fd, address->ai_addr, address->ai_addrlen) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    if (int waited = waitFor(fd, POLLOUT, timeoutMs)) return waited;
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
    return error;
}

}  // namespace

TcpStream& TcpStream::operator=(TcpStream&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

TcpStream::~TcpStream() { close(); }

void TcpStream::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int TcpStream::readExact(std::span<std::uint8_t> into, int timeoutMs) {
    std::size_t done = 0;
    while (done < into.size()) {
        if (int waited = waitFor(fd_, POLLIN, timeoutMs)) return waited;
        ssize_t got = ::recv(fd_, into.data() + done, into.size() - done, 0);
        if (got == 0) return ECONNRESET;
        if (got < 0 && errno != EINTR && errno != EAGAIN) return errno;
        if (got > 0) done += static_cast<std::size_t>(got);
    }
    return 0;
}

int TcpStream::writeAll(std::span<const std::uint8_t> bytes, int timeoutMs) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (int waited = waitFor(fd_, POLLOUT, timeoutMs)) return waited;
        ssize_t sent = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno != EINTR && errno != EAGAIN) return errno;
        if (sent > 0) done += static_cast<std::size_t>(sent);
    }
    return 0;
}

TcpStream connectTo(const std::string& host, std::uint16_t port, int timeoutMs, int& error) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        error = EHOSTUNREACH;
        return {};
    }
    error = ECONNREFUSED;
    for (const addrinfo* address = found; address; address = address->ai_next) {
        int fd = -1;
        error = connectOne(address, timeoutMs, fd);
        if (error == 0) {
            ::freeaddrinfo(found);
            return TcpStream(fd);
        }
        if (fd >= 0) ::close(fd);
    }
    ::freeaddrinfo(found);
    return {};
}

TcpListener::TcpListener(std::uint16_t port, int& error) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int yes = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t size = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(fd_, 2) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        error = errno;
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        return;
    }
    error = 0;
    port_ = ntohs(address.sin_port);
}

TcpListener::~TcpListener() {
    if (fd_ >= 0) ::close(fd_);
}

TcpStream TcpListener::accept(int timeoutMs) {
    if (waitFor(fd_, POLLIN, timeoutMs) != 0) return {};
    int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    return fd >= 0 ? TcpStream(fd) : TcpStream();
}

bool splitHostPort(const std::string& text, std::string& host, std::uint16_t& port) {
    auto colon = text.rfind(':');
    host = text.substr(0, colon);
    if (colon == std::string::npos) return !host.empty();
    unsigned value = 0;
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || value == 0 || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
    return !host.empty();
}

}  // namespace fotrix::obex
