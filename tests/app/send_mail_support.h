#pragma once
// Reading a message back from a Maildir++ folder with Python's mailbox and
// email packages (send_mail_check.py), for the e-mail tests.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace mailtest {

// 0 when the one message in `maildir`'s `folder` ("outbox", "sent") has these
// recipients (joined by ", "), subject and body, and attachments of these
// names whose bytes equal the files given; the script's complaint goes to stderr.
int checkMessage(const std::filesystem::path& maildir, const std::string& folder, const std::string& to,
                 const std::string& subject, const std::string& body,
                 const std::vector<std::pair<std::string, std::filesystem::path>>& attachments);

// The number of entries in a folder (0 when it does not exist).
size_t filesIn(const std::filesystem::path& folder);

}  // namespace mailtest
