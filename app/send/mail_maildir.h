#pragma once
// E-mail messages written into a Maildir account's outbox as RFC 5322 MIME
// text with base64 attachments.
#include <filesystem>
#include <string>
#include <vector>

namespace fotrix::mail {

struct Attachment {
    std::filesystem::path file;  // what is attached
    std::string name;            // the name the receiver sees
};

struct Message {
    std::vector<std::string> recipients;
    std::string subject;
    std::string body;
    std::vector<Attachment> attachments;
};

// Addresses separated by blanks or ";", empty parts dropped.
std::vector<std::string> parseRecipients(const std::string& text);

// Writes the message into `maildir`/.outbox through tmp/ then new/; returns
// the path in new/, or an empty path with `error` set.
std::filesystem::path writeToOutbox(const std::filesystem::path& maildir, const Message& message,
                                    std::string& error);

}  // namespace fotrix::mail
