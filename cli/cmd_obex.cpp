// fotrix-cli send-obex / receive-obex: one file over OBEX on TCP, on the same
// code as the program's send and receive commands.
#include <atomic>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/send/obex_transfer.h"
#include "cli/commands.h"

namespace cli {
namespace {

constexpr int ExitTransferFailure = 1;

bool parsePort(std::string_view text, std::uint16_t& port) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

// "--timeout MS": how long a peer may keep a transfer waiting.
bool parseTimeout(std::string_view text, int& timeoutMs) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0) return false;
    timeoutMs = value;
    return true;
}

}  // namespace

int commandSendObex(Arguments args) {
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--timeout")) return usageError("send-obex");
    fotrix::obex::SendOptions options;
    if (args.size() == 4 && !parseTimeout(args[3], options.timeoutMs))
        return usageError("send-obex", "--timeout takes a number of milliseconds");
    if (!fotrix::obex::splitHostPort(std::string(args[1]), options.host, options.port))
        return usageError("send-obex", "HOST[:PORT] is not a host with a port of 1..65535");
    auto result = fotrix::obex::sendFile(std::string(args[0]), options);
    if (!result.ok) {
        std::fprintf(stderr, "error: %s\n", result.message.c_str());
        return ExitTransferFailure;
    }
    std::printf("sent %s\n", result.name.c_str());
    return 0;
}

int commandReceiveObex(Arguments args) {
    if (args.empty()) return usageError("receive-obex");
    fotrix::obex::ReceiveOptions options;
    options.folder = std::string(args[0]);
    std::uint16_t port = fotrix::obex::kDefaultPort;
    bool once = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--once") once = true;
        else if (args[i] == "--port" && i + 1 < args.size() && parsePort(args[i + 1], port)) ++i;
        else if (args[i] == "--timeout" && i + 1 < args.size() && parseTimeout(args[i + 1], options.timeoutMs)) ++i;
        else return usageError("receive-obex", std::string(args[i]));
    }
    std::error_code folderError;
    if (!std::filesystem::is_directory(options.folder, folderError)) {
        std::fprintf(stderr, "error: %s is not a folder\n", options.folder.c_str());
        return ExitTransferFailure;
    }
    int error = 0;
    fotrix::obex::TcpListener listener(port, error);
    if (!listener.open()) {
        std::fprintf(stderr, "error: cannot listen on port %u (errno %d)\n", port, error);
        return ExitTransferFailure;
    }
    // The port goes first so that a script that asked for port 0 learns the real one.
    std::printf("listening on port %u\n", listener.port());
    std::fflush(stdout);
    std::atomic<bool> cancel{false};
    do {
        auto result = fotrix::obex::receiveFile(listener, options, cancel);
        if (!result.ok) return ExitTransferFailure;
        std::printf("received %s\n", result.name.c_str());
        std::fflush(stdout);
    } while (!once);
    return 0;
}

}  // namespace cli
