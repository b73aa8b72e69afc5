// Discovery by asking each candidate for an OBEX session.
#include "app/send/obex_discovery.h"

#include <unistd.h>

#include <cstdio>

#include "app/send/obex_packets.h"
#include "app/send/obex_socket.h"

namespace fotrix::obex {
namespace {

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Reads one reply packet; its opcode, or 0 when none came.
std::uint8_t replyOpcode(TcpStream& stream, int timeoutMs) {
    std::uint8_t head[kPacketHead];
    if (stream.readExact(head, timeoutMs)) return 0;
    std::size_t length = packetLength(head);
    if (length < kPacketHead || length > kSenderMaxPacket) return 0;
    Bytes rest(length - kPacketHead);
    return stream.readExact(rest, timeoutMs) ? 0 : head[0];
}

}  // namespace

std::vector<Device> parsePeers(const std::string& text, std::uint16_t defaultPort) {
    std::vector<Device> peers;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string entry = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (entry.empty()) continue;
        std::size_t equals = entry.find('=');
        Device device;
        std::string address = trimmed(equals == std::string::npos ? entry : entry.substr(equals + 1));
        device.port = defaultPort;
        if (!splitHostPort(address, device.host, device.port)) continue;
        device.name = equals == std::string::npos ? device.host : trimmed(entry.substr(0, equals));
        if (device.name.empty()) device.name = device.host;
        peers.push_back(device);
    }
    return peers;
}

Device localDevice(std::uint16_t port) {
    char host[256] = "";
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == 0) std::snprintf(host, sizeof host, "localhost");
    return Device{host, "127.0.0.1", port};
}

bool answersObex(const Device& device, int timeoutMs) {
    int error = 0;
    TcpStream stream = connectTo(device.host, device.port, timeoutMs, error);
    if (!stream.open()) return false;
    if (stream.writeAll(connectRequest(), timeoutMs) || replyOpcode(stream, timeoutMs) != RespSuccess) return false;
    if (stream.writeAll(disconnectRequest(), timeoutMs) == 0) replyOpcode(stream, timeoutMs);
    return true;
}

std::vector<Device> discoverDevices(const std::vector<Device>& candidates, int timeoutMs) {
    std::vector<Device> found;
    for (const Device& device : candidates)
        if (answersObex(device, timeoutMs)) found.push_back(device);
    return found;
}

}  // namespace fotrix::obex
