#pragma once
// TCP streams for OBEX: every read and write waits at most a given time, so a
// stalled peer ends a transfer instead of hanging it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fotrix::obex {

constexpr std::uint16_t kDefaultPort = 650;

class TcpStream {
public:
    TcpStream() = default;
    explicit TcpStream(int fd) : fd_(fd) {}
    TcpStream(TcpStream&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    TcpStream& operator=(TcpStream&& other) noexcept;
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;
    ~TcpStream();

    bool open() const { return fd_ >= 0; }
    // 0 on success, else an errno value (ETIMEDOUT after `timeoutMs`, ECONNRESET at end of stream).
    int readExact(std::span<std::uint8_t> into, int timeoutMs);
    int writeAll(std::span<const std::uint8_t> bytes, int timeoutMs);
    void close();

private:
    int fd_ = -1;
};

// Connects to host:port within `timeoutMs`; `error` gets the errno value on failure.
TcpStream connectTo(const std::string& host, std::uint16_t port, int timeoutMs, int& error);

class TcpListener {
public:
    // Listens on every address at `port` (0 picks a free one); `error` as above.
    TcpListener(std::uint16_t port, int& error);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    bool open() const { return fd_ >= 0; }
    std::uint16_t port() const { return port_; }
    // Waits up to `timeoutMs` for a connection; an unopened stream when none came.
    TcpStream accept(int timeoutMs);

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

// Splits "HOST[:PORT]"; false when the port is not a number in 1..65535.
bool splitHostPort(const std::string& text, std::string& host, std::uint16_t& port);

}  // namespace fotrix::obex
