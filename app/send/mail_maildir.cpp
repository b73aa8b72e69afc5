// Maildir delivery. Header texts have CR and LF removed, so a subject or a
// file name cannot add header lines; texts outside ASCII go as RFC 2047
// encoded words (subject) or RFC 2231 parameters (file names).
#include "app/send/mail_maildir.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

namespace fotrix::mail {
namespace {

namespace fs = std::filesystem;

constexpr size_t kBase64LineChars = 76;

std::string oneLine(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

bool plainAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n')) return false;
    return true;
}

std::string base64(const std::string& bytes, bool breakLines)
{
    static const char table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(bytes.size() / 3 * 4 + bytes.size() / 57 + 8);
    size_t lineChars = 0;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) value |= static_cast<unsigned char>(bytes[i + 2]);
        out += table[value >> 18 & 63];
        out += table[value >> 12 & 63];
        out += i + 1 < bytes.size() ? table[value >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? table[value & 63] : '=';
        lineChars += 4;
        if (breakLines && lineChars == kBase64LineChars) {
            out += '\n';
            lineChars = 0;
        }
    }
    if (breakLines && lineChars > 0) out += '\n';
    return out;
}

// RFC 2047 words of at most 45 bytes each (60 base64 characters, under the
// 75-character limit of a word), cut between UTF-8 characters.
std::string encodedWords(const std::string& text)
{
    std::string out;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.size(), start + 45);
        while (end < text.size() && end > start + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        out += (out.empty() ? "" : "\n ") + std::string("=?UTF-8?B?") + base64(text.substr(start, end - start), false) +
               "?=";
        start = end;
    }
    return out;
}

// Long texts go as encoded words too, which fold, so no header line grows
// past the 998 characters RFC 5322 allows; so do texts holding "=?", which a
// mail client would otherwise take for the start of an encoded word.
std::string headerText(const std::string& text)
{
    std::string line = oneLine(text);
    bool plain = plainAscii(line) && line.size() <= 900 && line.find("=?") == std::string::npos;
    return plain ? line : encodedWords(line);
}

// A MIME parameter: quoted when it is plain printable ASCII (and looks like no
// encoded word), else as an RFC 2231 extended value in UTF-8.
std::string parameter(const char* name, const std::string& value)
{
    std::string line = oneLine(value);
    bool quotable = line.find("=?") == std::string::npos;
    for (unsigned char c : line)
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') quotable = false;
    if (quotable) return std::string(name) + "=\"" + line + "\"";
    std::string out = std::string(name) + "*=UTF-8''";
    for (unsigned char c : line) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string contentType(const std::string& name)
{
    static const std::pair<const char*, const char*> kTypes[] = {
        {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".png", "image/png"},  {".gif", "image/gif"},
        {".bmp", "image/bmp"},  {".tif", "image/tiff"},  {".tiff", "image/tiff"}, {".tga", "image/x-tga"},
    };
    std::string extension = fs::path(name).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [suffix, type] : kTypes)
        if (extension == suffix) return type;
    return "application/octet-stream";
}

std::string hostName()
{
    char host[256] = "localhost";
    if (gethostname(host, sizeof host - 1) != 0) std::snprintf(host, sizeof host, "localhost");
    host[sizeof host - 1] = '\0';
    return host;
}

std::string userName()
{
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name) return entry->pw_name;
    return "fotrix";
}

// RFC 5322 date-time in local time, with names that do not follow the locale.
std::string dateText(std::time_t now)
{
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&now, &local);
    long offset = local.tm_gmtoff / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[local.tm_wday],
                  local.tm_mday, kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, offset < 0 ? '-' : '+', std::labs(offset) / 60, std::labs(offset) % 60);
    return text;
}

// The Maildir unique name: seconds, microseconds, process and a counter, and
// the host with "/" and ":" escaped as the Maildir convention asks.
std::string uniqueName()
{
    static std::atomic<unsigned> counter{0};
    timeval now{};
    gettimeofday(&now, nullptr);
    std::string host;
    for (char c : hostName()) host += c == '/' ? "\\057" : c == ':' ? "\\072" : std::string(1, c);
    char name[96];
    std::snprintf(name, sizeof name, "%lld.M%06ldP%dQ%u.", static_cast<long long>(now.tv_sec),
                  static_cast<long>(now.tv_usec), static_cast<int>(getpid()), ++counter);
    return name + host;
}

bool readAll(const fs::path& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeDurably(const fs::path& path, const std::string& text, int& error)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == text.size() && ::fsync(fd) == 0;
    if (!ok) error = errno ? errno : EIO;
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    return ok;
}

// The Maildir++ subfolder with its three folders and its marker file.
bool makeOutbox(const fs::path& outbox, int& error)
{
    for (const fs::path& folder : {outbox, outbox / "tmp", outbox / "new", outbox / "cur"}) {
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            error = errno;
            return false;
        }
    }
    std::FILE* marker = std::fopen((outbox / "maildirfolder").c_str(), "ab");
    if (marker) std::fclose(marker);
    return true;
}

}  // namespace

std::vector<std::string> parseRecipients(const std::string& text)
{
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

bool composeMessage(const Message& message, std::string& text, OutboxResult& result)
{
    const std::string unique = uniqueName();
    const std::string boundary = "=_fotrix_" + base64(unique, false) + "_=";
    std::string to;
    for (const auto& address : message.recipients) to += (to.empty() ? "" : ",\n ") + oneLine(address);
    std::string from = message.from.empty() ? userName() + "@" + hostName() : message.from;
    text = "From: " + oneLine(from) + "\n";
    if (!to.empty()) text += "To: " + to + "\n";
    text += "Subject: " + headerText(message.subject) + "\n";
    text += "Date: " + dateText(std::time(nullptr)) + "\n";
    text += "Message-ID: <" + std::to_string(getpid()) + "." + base64(unique, false) + "@" + hostName() + ">\n";
    text += "MIME-Version: 1.0\nX-Mailer: Fotrix Pocket\n";
    text += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\n";
    text += "--" + boundary + "\nContent-Type: text/plain; charset=UTF-8\n";
    text += "Content-Transfer-Encoding: base64\n\n" + base64(message.body, true);
    for (const auto& attachment : message.attachments) {
        std::string bytes;
        if (!readAll(attachment.file, bytes)) {
            result.failure = OutboxError::CannotRead;
            result.path = attachment.file;
            return false;
        }
        text += "--" + boundary + "\nContent-Type: " + contentType(attachment.name) + "; " +
                parameter("name", attachment.name) + "\n";
        text += "Content-Disposition: attachment; " + parameter("filename", attachment.name) + "\n";
        text += "Content-Transfer-Encoding: base64\n\n" + base64(bytes, true);
    }
    text += "--" + boundary + "--\n";
    return true;
}

OutboxResult writeToOutbox(const fs::path& maildir, const Message& message)
{
    OutboxResult result;
    std::error_code code;
    fs::file_status status = fs::status(maildir, code);
    if (!fs::exists(status)) {
        result.failure = OutboxError::NoFolder;
        result.path = maildir;
        return result;
    }
    if (!fs::is_directory(status)) {
        result.failure = OutboxError::NotAFolder;
        result.path = maildir;
        return result;
    }
    std::string text;
    if (!composeMessage(message, text, result)) return result;
    const fs::path outbox = maildir / ".outbox";
    const std::string name = uniqueName();
    const fs::path temporary = outbox / "tmp" / name;
    const fs::path delivered = outbox / "new" / name;
    int error = 0;
    bool written = makeOutbox(outbox, error) && writeDurably(temporary, text, error);
    if (written && std::rename(temporary.c_str(), delivered.c_str()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        fs::remove(temporary, code);
        result.failure = OutboxError::CannotWrite;
        result.path = outbox;
        result.error = error;
        return result;
    }
    result.delivered = delivered;
    return result;
}

}  // namespace fotrix::mail
