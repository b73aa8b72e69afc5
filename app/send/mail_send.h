#pragma once
// Sending one message through an account: written into its outbox and, when
// the account has a submission command, handed to it.
#include "app/send/mail_accounts.h"
#include "app/send/mail_maildir.h"

namespace fotrix::mail {

// How long a submission command may run before it is stopped.
constexpr int kSubmitTimeoutMs = 60000;

struct SendResult {
    OutboxResult outbox;     // writing the message; nothing else happens when it failed
    bool submitRan = false;  // the account has a command and it was started
    int submitStatus = 0;    // its exit status; -1 when it could not start, was stopped or killed
    std::filesystem::path sent;  // where the message went after a successful submission
    bool ok() const { return outbox.ok() && (!submitRan || submitStatus == 0); }
};

// Writes `message` into `account`'s outbox. With a submission command the
// message file is the command's standard input (run by /bin/sh); when it
// exits with 0 the message moves to the account's ".sent" folder, marked
// seen, else it stays queued in the outbox.
SendResult mailSend(const Message& message, const Account& account);

// Runs `command` with the file `input` as its standard input; its exit
// status, or -1 when it could not be started, ended by a signal or ran past
// `timeoutMs` (it is then killed).
int runSubmitCommand(const std::string& command, const std::filesystem::path& input, int timeoutMs);

}  // namespace fotrix::mail
