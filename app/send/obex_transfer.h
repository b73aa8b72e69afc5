#pragma once
// Sending one file to an OBEX receiver and receiving files from a sender,
// over TCP. Everything a peer sends is bounded: packet size, name length,
// total size and the time it may keep us waiting.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "app/send/obex_packets.h"
#include "app/send/obex_socket.h"

namespace fotrix::obex {

// Packets a receiver accepts: the sender's 1024-byte body blocks need 1030
// bytes, so the limit is the sender's own maximum, not the 1024 we announce.
constexpr std::size_t kReceiverPacketLimit = kSenderMaxPacket;
constexpr int kDefaultTimeoutMs = 10000;
constexpr int kConnectRetryMs = 200;

struct TransferResult {
    bool ok = false;
    int error = 0;            // errno value of a socket failure, 0 otherwise
    std::uint8_t reply = 0;   // the OBEX response that ended a refused transfer
    std::string name;         // the file name stored (receiving)
    std::string message;      // what went wrong, for the user
};

struct SendOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = kDefaultPort;
    int timeoutMs = kDefaultTimeoutMs;
    int connectAttempts = 1;  // tried kConnectRetryMs apart while refused
    // Called before each packet with the percentage sent; true cancels.
    std::function<bool(int percent)> progress;
};

TransferResult sendFile(const std::filesystem::path& file, const SendOptions& options);

struct ReceiveOptions {
    std::filesystem::path folder;
    int timeoutMs = kDefaultTimeoutMs;
    std::uint64_t maxTotal = std::uint64_t(1) << 31;  // bytes of one file
    // Called with the stored name once known, then with the percentage; true cancels.
    std::function<bool(const std::string& name, int percent)> progress;
    // Called by receiveFile after a connection that stored nothing, before it waits on.
    std::function<void(const TransferResult& failed)> sessionFailed;
};

// Serves one connection until the peer disconnects or a file has been stored
// and the peer goes away. A refused or broken transfer leaves no file behind.
TransferResult receiveOn(TcpStream& stream, const ReceiveOptions& options);

// Waits for senders on `listener` until one file was received or `cancel`
// becomes true; failed connections are answered and the wait goes on.
TransferResult receiveFile(TcpListener& listener, const ReceiveOptions& options,
                           const std::atomic<bool>& cancel);

// "send failed. Error: %d"
std::string sendFailedMessage(int error);

}  // namespace fotrix::obex
