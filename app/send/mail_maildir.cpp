// Maildir delivery: the file is written and flushed in tmp/ and renamed into
// new/, so a mail client never sees half a message. Header texts have CR and
// LF removed, so a subject or file name cannot add header lines.
#include "app/send/mail_maildir.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fotrix::mail {
namespace {

namespace fs = std::filesystem;

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string base64(const std::string& bytes) {
    static const char table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 2]);
        out += table[value >> 18 & 63];
        out += table[value >> 12 & 63];
        out += i + 1 < bytes.size() ? table[value >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? table[value & 63] : '=';
        if (out.size() % 78 == 76) out += "\r\n";
    }
    return out + "\r\n";
}

// Header words outside ASCII go as RFC 2047 base64 words.
std::string headerText(const std::string& text) {
    std::string line = oneLine(text);
    for (unsigned char c : line)
        if (c >= 0x80 || c == '"') {
            std::string encoded = base64(line);
            encoded.erase(encoded.find_last_not_of("\r\n") + 1);
            return "=?UTF-8?B?" + encoded + "?=";
        }
    return line;
}

bool readAll(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
    return in.good() || in.eof();
}

}  // namespace

std::vector<std::string> parseRecipients(const std::string& text) {
    std::vector<std::string> out;
    std::string current;
    for (char c : text + ' ') {
        if (c == ' ' || c == ';' || c == '\t' || c == '\r' || c == '\n') {
            if (!current.empty()) out.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return out;
}

fs::path writeToOutbox(const fs::path& maildir, const Message& message, std::string& error) {
    fs::path outbox = maildir / ".outbox";
    std::error_code made;
    for (const char* sub : {"tmp", "new", "cur"}) fs::create_directories(outbox / sub, made);
    if (made) {
        error = "The mail folder " + maildir.string() + " cannot be written.";
        return {};
    }
    std::string boundary = "fotrix-" + std::to_string(::getpid()) + "-" +
                           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string text;
    std::string to;
    for (const auto& address : message.recipients) to += (to.empty() ? "" : ", ") + oneLine(address);
    text += "To: " + to + "\r\nSubject: " + headerText(message.subject) + "\r\nMIME-Version: 1.0\r\n";
    text += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    text += "--" + boundary + "\r\nContent-Type: text/plain; charset=UTF-8\r\n";
    text += "Content-Transfer-Encoding: base64\r\n\r\n" + base64(message.body);
    for (const auto& attachment : message.attachments) {
        std::string bytes;
        if (!readAll(attachment.file, bytes)) {
            error = "The attachment " + attachment.file.string() + " cannot be read.";
            return {};
        }
        std::string name = headerText(attachment.name);
        text += "--" + boundary + "\r\nContent-Type: application/octet-stream; name=\"" + name + "\"\r\n";
        text += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n";
        text += "Content-Transfer-Encoding: base64\r\n\r\n" + base64(bytes);
    }
    text += "--" + boundary + "--\r\n";
    std::string unique = boundary + ".fotrix";
    fs::path temporary = outbox / "tmp" / unique;
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                   std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
    if (file) written = std::fclose(file) == 0 && written;
    fs::path delivered = outbox / "new" / unique;
    if (!written || std::rename(temporary.c_str(), delivered.c_str()) != 0) {
        fs::remove(temporary, made);
        error = "The message cannot be written into " + outbox.string() + ".";
        return {};
    }
    return delivered;
}

}  // namespace fotrix::mail
