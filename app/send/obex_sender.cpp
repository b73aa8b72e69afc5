// The sending side: CONNECT, the first PUT with the name and size, body PUTs
// of 1024 bytes (fewer when the receiver announced a smaller packet), the
// shorter (possibly empty) last PUT, then DISCONNECT.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "app/send/obex_names.h"
#include "app/send/obex_packets.h"
#include "app/send/obex_transfer.h"

namespace fotrix::obex {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

TransferResult failed(int error) {
    TransferResult result;
    result.error = error;
    result.message = sendFailedMessage(error);
    return result;
}

TransferResult refused(std::uint8_t reply) {
    TransferResult result;
    result.reply = reply;
    result.message = "The receiver refused the file (OBEX reply " + std::to_string(reply) + ").";
    return result;
}

// Sends one packet and reads the reply: its opcode into `reply`, the whole
// packet into `whole` when given.
int exchange(TcpStream& stream, const Bytes& packet, int timeoutMs, std::uint8_t& reply, Bytes* whole = nullptr) {
    if (int error = stream.writeAll(packet, timeoutMs)) return error;
    std::uint8_t head[kPacketHead];
    if (int error = stream.readExact(head, timeoutMs)) return error;
    reply = head[0];
    std::size_t length = packetLength(head);
    if (length < kPacketHead || length > 256) return EPROTO;
    Bytes rest(length - kPacketHead);
    if (int error = stream.readExact(rest, timeoutMs)) return error;
    if (whole) {
        whole->assign(head, head + kPacketHead);
        whole->insert(whole->end(), rest.begin(), rest.end());
    }
    return 0;
}

// The largest packet the peer takes, from its CONNECT reply (opcode, length,
// version, flags, maximum); the smallest any peer takes when the reply does not say.
std::uint16_t peerMaxPacket(const Bytes& connectReply) {
    if (connectReply.size() < 7) return kSmallestMaxPacket;
    return static_cast<std::uint16_t>(connectReply[5] << 8 | connectReply[6]);
}

int percentOf(std::uint64_t done, std::uint64_t total) {
    return total ? static_cast<int>(done * 100 / total) : 100;
}

}  // namespace

std::string sendFailedMessage(int error) { return "send failed. Error: " + std::to_string(error); }

TransferResult sendFile(const std::filesystem::path& file, const SendOptions& options) {
    std::unique_ptr<std::FILE, FileCloser> input(std::fopen(file.c_str(), "rb"));
    std::error_code sizeError;
    std::uint64_t total = std::filesystem::file_size(file, sizeError);
    if (!input || sizeError) return failed(errno ? errno : ENOENT);
    if (total > 0xFFFFFFFFu) return failed(EFBIG);

    int error = 0;
    TcpStream stream;
    for (int attempt = 1; !stream.open(); ++attempt) {
        if (options.progress && options.progress(0)) return failed(ECANCELED);
        stream = connectTo(options.host, options.port, options.timeoutMs, error);
        if (stream.open()) break;
        if (attempt >= options.connectAttempts) return failed(error);
        std::this_thread::sleep_for(std::chrono::milliseconds(kConnectRetryMs));
    }
    std::uint8_t reply = 0;
    Bytes connected;
    if ((error = exchange(stream, connectRequest(), options.timeoutMs, reply, &connected))) return failed(error);
    if (reply != RespSuccess) return refused(reply);
    auto name = utf16FromUtf8(file.filename().string());
    auto first = firstPut(name, static_cast<std::uint32_t>(total));
    if ((error = exchange(stream, first, options.timeoutMs, reply))) return failed(error);
    if (reply != RespContinue) return refused(reply);

    std::vector<std::uint8_t> block(bodyBlockFor(peerMaxPacket(connected)));
    for (std::uint64_t sent = 0;;) {
        if (options.progress && options.progress(percentOf(sent, total))) return failed(ECANCELED);
        std::size_t got = std::fread(block.data(), 1, block.size(), input.get());
        if (got < block.size() && std::ferror(input.get())) return failed(EIO);
        bool last = got < block.size();
        auto packet = bodyPut(std::span(block.data(), got), last);
        if ((error = exchange(stream, packet, options.timeoutMs, reply))) return failed(error);
        if (reply != (last ? RespSuccess : RespContinue)) return refused(reply);
        sent += got;
        if (last) break;
    }
    if (options.progress) options.progress(100);
    // The file is stored once the last PUT succeeded; a lost DISCONNECT reply changes nothing.
    exchange(stream, disconnectRequest(), options.timeoutMs, reply);
    TransferResult result;
    result.ok = true;
    result.name = file.filename().string();
    return result;
}

}  // namespace fotrix::obex
