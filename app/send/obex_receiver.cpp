// The receiving side. The incoming file is written to a hidden temporary in
// the target folder and linked under its final name only when complete, so a
// broken transfer leaves nothing and an existing file is never overwritten:
// a name already taken becomes "name-1.ext", "name-2.ext", ...
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "app/send/obex_names.h"
#include "app/send/obex_packets.h"
#include "app/send/obex_transfer.h"

namespace fotrix::obex {
namespace {

namespace fs = std::filesystem;

class IncomingFile {
public:
    ~IncomingFile() { discard(); }

    bool begin(const fs::path& folder, const std::string& name) {
        folder_ = folder;
        name_ = name;
        temporary_ = (folder / ".fotrix-obex-XXXXXX").string();
        fd_ = ::mkstemp(temporary_.data());
        if (fd_ < 0) temporary_.clear();
        else ::fchmod(fd_, 0644);  // a received picture is an ordinary file, not a private one
        return fd_ >= 0;
    }
    bool started() const { return fd_ >= 0; }
    std::uint64_t size() const { return size_; }
    const std::string& name() const { return name_; }

    bool append(std::span<const std::uint8_t> data) {
        for (std::size_t done = 0; done < data.size();) {
            ssize_t wrote = ::write(fd_, data.data() + done, data.size() - done);
            if (wrote < 0 && errno != EINTR) return false;
            if (wrote > 0) done += static_cast<std::size_t>(wrote);
        }
        size_ += data.size();
        return true;
    }

    // Flushes the file and links it under the first free variant of its name.
    bool finish() {
        if (::fsync(fd_) != 0 || ::close(fd_) != 0) return false;
        fd_ = -1;
        for (int attempt = 0; attempt < 1000; ++attempt) {
            std::string candidate = variant(attempt);
            if (::link(temporary_.c_str(), (folder_ / candidate).c_str()) == 0) {
                name_ = candidate;
                ::unlink(temporary_.c_str());
                temporary_.clear();
                return true;
            }
            if (errno != EEXIST) break;
        }
        return false;
    }

    void discard() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!temporary_.empty()) ::unlink(temporary_.c_str());
        temporary_.clear();
    }

private:
    std::string variant(int attempt) const {
        if (attempt == 0) return name_;
        fs::path path(name_);
        return path.stem().string() + "-" + std::to_string(attempt) + path.extension().string();
    }

    fs::path folder_;
    std::string name_;
    std::string temporary_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

class Session {
public:
    Session(TcpStream& stream, const ReceiveOptions& options) : stream_(stream), options_(options) {}

    TransferResult run() {
        for (;;) {
            Bytes packet;
            if (int error = readPacket(packet)) return brokenWith(error);
            if (packet.empty()) return refuse(RespRequestTooLarge, "The sender's packet is too large.");
            std::optional<TransferResult> end = answer(packet);
            if (end) return *end;
        }
    }

private:
    // An empty packet when the announced length is out of bounds.
    int readPacket(Bytes& packet) {
        std::uint8_t head[kPacketHead];
        if (int error = stream_.readExact(head, options_.timeoutMs)) return error;
        std::size_t length = packetLength(head);
        if (length < kPacketHead || length > kReceiverPacketLimit) return 0;
        packet.assign(head, head + kPacketHead);
        packet.resize(length);
        return stream_.readExact(std::span(packet).subspan(kPacketHead), options_.timeoutMs);
    }

    std::optional<TransferResult> answer(const Bytes& packet) {
        switch (packet[0]) {
        case OpConnect: return reply(connectReply());
        case OpDisconnect: {
            // Answered Success either way; a session without a file (a discovery
            // probe) is no transfer, and gets no second reply.
            reply(response(RespSuccess));
            awaitPeerClose();
            if (stored_) return result_;
            file_.discard();
            TransferResult result;
            result.message = "The sender ended before sending a file.";
            return result;
        }
        case OpPut:
        case OpPutFinal: return put(packet, packet[0] == OpPutFinal);
        default: return reply(response(RespBadRequest));
        }
    }

    // After the DISCONNECT reply the sender closes; closing after it leaves
    // the TCP wait state on the sender's side, not on the receiver's port.
    void awaitPeerClose() {
        constexpr int kCloseWaitMs = 200;
        std::uint8_t extra;
        stream_.readExact(std::span(&extra, 1), kCloseWaitMs);
    }

    std::optional<TransferResult> reply(const Bytes& bytes) {
        if (int error = stream_.writeAll(bytes, options_.timeoutMs)) return brokenWith(error);
        return std::nullopt;
    }

    std::optional<TransferResult> put(const Bytes& packet, bool final) {
        // One file a session: the caller is told of the stored file, and a
        // second one is refused rather than stored unreported.
        if (stored_) {
            stream_.writeAll(response(RespForbidden), options_.timeoutMs);
            return result_;
        }
        PutParse parse = parsePut(packet);
        if (!parse.ok) return refuse(RespBadRequest, "The sender's packet is malformed.");
        const PutContents& contents = parse.contents;
        if (contents.name && !file_.started())
            if (auto refusal = begin(*contents.name)) return refusal;
        if (contents.totalSize) declared_ = contents.totalSize;
        if (declared_ && *declared_ > options_.maxTotal)
            return refuse(RespRequestTooLarge, "The file is larger than allowed.");
        if (!contents.body.empty() || contents.endOfBody)
            if (auto refusal = append(contents.body)) return refusal;
        if (final || contents.endOfBody) return complete();
        return reply(response(RespContinue));
    }

    std::optional<TransferResult> begin(const std::u16string& sent) {
        if (sent.size() > kMaxNameUnits) return refuse(RespBadRequest, "The file name is too long.");
        auto name = sanitisedName(sent);
        if (!name) return refuse(RespForbidden, "The file name is not usable.");
        if (!file_.begin(options_.folder, *name))
            return refuse(RespInternalError, "The file cannot be created.");
        if (options_.progress && options_.progress(*name, -1)) return refuse(RespForbidden, "Cancelled.");
        return std::nullopt;
    }

    std::optional<TransferResult> append(std::span<const std::uint8_t> body) {
        if (!file_.started()) return refuse(RespLengthRequired, "Body data came before a file name.");
        std::uint64_t after = file_.size() + body.size();
        if (after > options_.maxTotal || (declared_ && after > *declared_))
            return refuse(RespRequestTooLarge, "The sender sent more than the file's size.");
        if (!file_.append(body)) return refuse(RespInternalError, "The file cannot be written.");
        int percent = declared_ && *declared_ ? static_cast<int>(after * 100 / *declared_) : 0;
        if (options_.progress && options_.progress(file_.name(), percent))
            return refuse(RespForbidden, "Cancelled.");
        return std::nullopt;
    }

    std::optional<TransferResult> complete() {
        if (!file_.started()) return refuse(RespBadRequest, "The sender ended before sending a file.");
        if (declared_ && file_.size() != *declared_)
            return refuse(RespBadRequest, "The file is shorter than the sender announced.");
        if (!file_.finish()) return refuse(RespInternalError, "The file cannot be stored.");
        stored_ = true;
        result_.ok = true;
        result_.name = file_.name();
        if (auto broken = reply(response(RespSuccess))) return result_;  // stored all the same
        return std::nullopt;
    }

    // Answers `code` and ends the session. A file stored before the refused
    // packet stays received and is reported: it is in the folder.
    TransferResult refuse(std::uint8_t code, const std::string& message) {
        file_.discard();
        stream_.writeAll(response(code), options_.timeoutMs);
        if (stored_) return result_;
        TransferResult result;
        result.reply = code;
        result.message = message;
        return result;
    }

    // The connection ended or stalled: a stored file counts, a partial one is removed.
    TransferResult brokenWith(int error) {
        if (stored_) return result_;
        file_.discard();
        TransferResult result;
        result.error = error;
        result.message = error == ETIMEDOUT ? "The sender stopped answering." : sendFailedMessage(error);
        return result;
    }

    TcpStream& stream_;
    const ReceiveOptions& options_;
    IncomingFile file_;
    std::optional<std::uint32_t> declared_;
    bool stored_ = false;
    TransferResult result_;
};

}  // namespace

TransferResult receiveOn(TcpStream& stream, const ReceiveOptions& options) {
    return Session(stream, options).run();
}

TransferResult receiveFile(TcpListener& listener, const ReceiveOptions& options,
                           const std::atomic<bool>& cancel) {
    constexpr int kPollMs = 200;  // how soon a cancel is seen
    while (!cancel.load()) {
        TcpStream stream = listener.accept(kPollMs);
        if (!stream.open()) continue;
        TransferResult result = receiveOn(stream, options);
        if (result.ok) return result;
        if (options.sessionFailed) options.sessionFailed(result);
    }
    TransferResult cancelled;
    cancelled.error = ECANCELED;
    cancelled.message = "Cancelled.";
    return cancelled;
}

}  // namespace fotrix::obex
