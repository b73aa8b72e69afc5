// Fuzz target: a whole receiving session. The input is what a sender says,
// fed through a socket pair to the receiver, which writes into a folder of its
// own. Beyond not crashing, a session must leave the folder empty unless it
// reports a stored file, and then hold exactly that one file.
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/send/obex_transfer.h"

namespace {

namespace fs = std::filesystem;

// The receiver's folder, made at the first input and removed with what is
// left in it when the fuzzer exits.
struct SessionFolder {
    fs::path path = fs::temp_directory_path() / ("fuzz-obex-session-" + std::to_string(::getpid()));
    SessionFolder() { fs::create_directories(path); }
    ~SessionFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const fs::path& folder()
{
    static const SessionFolder made;
    return made.path;
}

std::size_t entryCount(const fs::path& path)
{
    std::size_t count = 0;
    for (auto it = fs::directory_iterator(path); it != fs::directory_iterator(); ++it) ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr std::size_t kMaxInput = 64 * 1024;  // fits the socket's buffer: the write never blocks
    if (size > kMaxInput) return 0;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return 0;
    for (std::size_t done = 0; done < size;) {
        ssize_t wrote = ::write(ends[1], data + done, size - done);
        if (wrote <= 0) break;
        done += static_cast<std::size_t>(wrote);
    }
    ::shutdown(ends[1], SHUT_WR);  // the sender has said all it will

    fotrix::obex::ReceiveOptions options;
    options.folder = folder();
    options.timeoutMs = 20;
    options.maxTotal = 1 << 20;
    fotrix::obex::TcpStream stream(ends[0]);
    fotrix::obex::TransferResult result = fotrix::obex::receiveOn(stream, options);
    stream.close();
    ::close(ends[1]);

    std::size_t left = entryCount(folder());
    if (result.ok ? left != 1 || !fs::is_regular_file(folder() / result.name) : left != 0) std::abort();
    for (const auto& entry : fs::directory_iterator(folder())) fs::remove(entry.path());
    return 0;
}
