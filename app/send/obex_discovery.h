#pragma once
// Finding OBEX receivers. The infrared link of a handheld becomes TCP here, so
// "the devices in range" are the receivers that answer on this machine and
// the peers the user configured, each known by a name.
#include <cstdint>
#include <string>
#include <vector>

namespace fotrix::obex {

struct Device {
    std::string name;
    std::string host;
    std::uint16_t port = 0;
};

// Configured peers: "NAME=HOST[:PORT]" entries separated by ";" (blanks around
// them ignored). An entry without "=" is named by its host; one without a port
// uses `defaultPort`; an entry with an unusable port is left out.
std::vector<Device> parsePeers(const std::string& text, std::uint16_t defaultPort);

// The receiver on this machine (loopback at `port`), named after the host.
Device localDevice(std::uint16_t port);

// True when an OBEX receiver at the device accepts CONNECT within `timeoutMs`
// (the probe then says DISCONNECT, so the receiver goes on waiting).
bool answersObex(const Device& device, int timeoutMs);

// The candidates that answer, in their order; each is asked once.
std::vector<Device> discoverDevices(const std::vector<Device>& candidates, int timeoutMs);

}  // namespace fotrix::obex
