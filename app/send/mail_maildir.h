#pragma once
// E-mail messages written into a Maildir account's outbox as MIME text
// (RFC 5322, RFC 2045) with base64 attachments.
#include <filesystem>
#include <string>
#include <vector>

namespace fotrix::mail {

struct Attachment {
    std::filesystem::path file;  // what is attached
    std::string name;            // the name the receiver sees
};

struct Message {
    std::string from;  // the sender's address; empty: the user at this host
    std::vector<std::string> recipients;
    std::string subject;
    std::string body;
    std::vector<Attachment> attachments;
};

// Addresses separated by blanks or ";", empty parts dropped.
std::vector<std::string> parseRecipients(const std::string& text);

// Why a message could not be written.
enum class OutboxError {
    None,
    NoFolder,        // the account's Maildir does not exist
    NotAFolder,      // it is a file, not a folder
    CannotWrite,     // the outbox cannot be made or written (errno in `error`)
    CannotRead,      // an attachment cannot be read (`path` names it)
};

struct OutboxResult {
    std::filesystem::path delivered;  // the message's file in .outbox/new
    OutboxError failure = OutboxError::None;
    std::filesystem::path path;       // the folder or file the failure concerns
    int error = 0;                    // errno of a failed write
    bool ok() const { return failure == OutboxError::None; }
};

// The whole message as stored: header lines, then the text part and one
// base64 part per attachment, lines ending in LF as Maildir keeps them.
// Fails only when an attachment cannot be read.
bool composeMessage(const Message& message, std::string& text, OutboxResult& result);

// Writes the message into the Maildir++ folder `maildir`/.outbox (made when
// missing, `maildir` itself must exist): in tmp/ first, flushed to disk, then
// renamed into new/ so that a mail client never sees half a message.
OutboxResult writeToOutbox(const std::filesystem::path& maildir, const Message& message);

}  // namespace fotrix::mail
