// Fuzz target: texts that reach the message header (recipients typed by the
// user, a subject from a language file, an attachment's file name). The
// header must keep its shape whatever they hold: every line a field or a
// folded continuation, no CR, no line over 998 characters, the encoded words
// we make within their 75 characters.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/send/mail_maildir.h"

namespace {

// Checks the message's header and each part's header, found by the lines
// that open a part ("--" and the boundary).
void checkHeaders(std::string_view text)
{
    bool inHeader = true;
    bool addresses = false;  // in the To field, whose addresses go as typed
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (line.find('\r') != std::string_view::npos || line.size() > 998) std::abort();
        if (inHeader && line.empty()) {
            inHeader = false;
        } else if (inHeader) {
            size_t colon = line.find(": ");
            bool folded = line[0] == ' ';
            bool field = colon != std::string_view::npos && colon > 0 &&
                         line.substr(0, colon).find(' ') == std::string_view::npos;
            if (!folded && !field) std::abort();
            if (field) addresses = line.substr(0, colon) == "To";
            for (size_t word = addresses ? std::string_view::npos : line.find("=?UTF-8?B?");
                 word != std::string_view::npos; word = line.find("=?UTF-8?B?", word + 1)) {
                size_t close = line.find("?=", word + 10);
                if (close == std::string_view::npos || close + 2 - word > 75) std::abort();
            }
        } else if (line.substr(0, 11) == "--=_fotrix_" && line.substr(line.size() - 2) != "--") {
            inHeader = true;
        }
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Three texts separated by zero bytes: recipients, subject, file name.
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    for (size_t i = 0, at = 0; i < 3 && at <= input.size(); ++i) {
        size_t end = std::min(input.find('\0', at), input.size());
        parts[i] = input.substr(at, end - at);
        at = end + 1;
    }
    fotrix::mail::Message message;
    // The recipients field holds 259 characters and a file name 255 bytes.
    message.recipients = fotrix::mail::parseRecipients(parts[0].substr(0, 259));
    message.subject = parts[1];
    message.body = parts[1];
    message.attachments = {{"/dev/null", parts[2].substr(0, 255)}};
    std::string text;
    fotrix::mail::OutboxResult result;
    if (fotrix::mail::composeMessage(message, text, result)) checkHeaders(text);
    return 0;
}
