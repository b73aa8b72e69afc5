#include "app/send/mail_send.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

extern char** environ;

namespace fotrix::mail {

namespace {

namespace fs = std::filesystem;

// Moves a submitted message into the Maildir++ folder ".sent" as seen ("S").
fs::path fileAsSent(const fs::path& maildir, const fs::path& delivered)
{
    const fs::path sent = maildir / ".sent";
    for (const fs::path& folder : {sent, sent / "tmp", sent / "new", sent / "cur"})
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    if (std::FILE* marker = std::fopen((sent / "maildirfolder").c_str(), "ab")) std::fclose(marker);
    fs::path target = sent / "cur" / (delivered.filename().string() + ":2,S");
    return std::rename(delivered.c_str(), target.c_str()) == 0 ? target : fs::path();
}

}  // namespace

int runSubmitCommand(const std::string& command, const fs::path& input, int timeoutMs)
{
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t child = -1;
    int started = posix_spawn(&child, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (done < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SendResult mailSend(const Message& message, const Account& account)
{
    SendResult result;
    Message stamped = message;
    if (stamped.from.empty()) stamped.from = account.from;
    result.outbox = writeToOutbox(account.maildir, stamped);
    if (!result.outbox.ok() || account.submit.empty()) return result;
    result.submitRan = true;
    result.submitStatus = runSubmitCommand(account.submit, result.outbox.delivered, kSubmitTimeoutMs);
    if (result.submitStatus == 0) result.sent = fileAsSent(account.maildir, result.outbox.delivered);
    return result;
}

}  // namespace fotrix::mail
