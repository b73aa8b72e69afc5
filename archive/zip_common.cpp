// Result texts, the last result of each side, and the small format helpers
// that both sides share.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include "archive/zip_internal.h"

namespace fotrix {

namespace {

struct ResultText {
    uint32_t code;
    const char* text;
};

// The texts are part of the interface (callers show them): keep them as they are.
constexpr ResultText resultTexts[] = {
    {ZipOk, "Success"},
    {ZipDuplicateHandle, "Culdn't duplicate handle"},
    {ZipCannotOpen, "Couldn't create/open file"},
    {ZipNoMemory, "Failed to allocate memory"},
    {ZipWriteError, "Error writing to file"},
    {ZipNotFound, "File not found in the zipfile"},
    {ZipMore, "Still more data to unzip"},
    {ZipCorrupt, "Zipfile is corrupt or not a zipfile"},
    {ZipReadError, "Error reading file"},
    {ZipBadCrc, "Member data is damaged: CRC-32 or size mismatch"},
    {ZipZip64, "ZIP64 archives are not supported"},
    {ZipUnsupportedMethod, "Member uses an unsupported compression method"},
    {ZipUnsafeName, "Unsafe name: target would be outside the base folder"},
    {ZipTooLarge, "Too large for a zip file without ZIP64 (4 GiB, 65535 members)"},
    {ZipReadOnly, "The file is read-only"},
    {ZipOverLimit, "Member would inflate beyond the extraction limit"},
    {ZipPassword, "Correct password required"},
    {ZipBadArguments, "Caller: faulty arguments"},
    {ZipNotMemoryArchive, "Caller: can only get memory of a memory zipfile"},
    {ZipMemorySize, "Caller: not enough space allocated for memory zipfile"},
    {ZipPreviousError, "Caller: there was a previous error"},
    {ZipEnded, "Caller: additions to the zip have already been ended"},
    {ZipSizeMismatch, "Zip-bug: the anticipated size turned out wrong"},
    {ZipPartlyUnzipped, "Caller: the file had already been partially unzipped"},
    {ZipWrongKind, "Caller: mixing creation and opening of zip"},
    {ZipNotInitialised, "Zip-bug: internal initialisation not completed"},
    {ZipSeekUnseekable, "Zip-bug: trying to seek the unseekable"},
    {ZipChangedMind, "Zip-bug: tried to change mind, but not allowed"},
    {ZipFlateError, "Zip-bug: an internal error during flation"},
};

thread_local uint32_t lastReading = ZipOk;
thread_local uint32_t lastCreating = ZipOk;

}  // namespace

uint32_t zipRecord(ZipSide side, uint32_t code)
{
    (side == ZipSide::Reading ? lastReading : lastCreating) = code;
    return code;
}

uint32_t zipLastResult(ZipSide side) { return side == ZipSide::Reading ? lastReading : lastCreating; }

size_t zipResultText(uint32_t code, char* buffer, size_t size)
{
    if (code == ZipLastReadingResult) code = lastReading;
    const char* text = "unknown zip result code";
    for (const ResultText& row : resultTexts)
        if (row.code == code) text = row.text;
    const size_t length = std::strlen(text);
    if (buffer && size > 0) {
        const size_t n = std::min(length, size - 1);
        std::memcpy(buffer, text, n);
        buffer[n] = '\0';
    }
    return length;
}

std::string zipResultText(uint32_t code)
{
    std::string text(zipResultText(code, nullptr, 0), '\0');
    zipResultText(code, text.data(), text.size() + 1);
    return text;
}

namespace zipformat {

uint32_t dosTimeFromTime(time_t moment)
{
    std::tm t{};
    if (!localtime_r(&moment, &t) || t.tm_year < 80) return (0 << 9 | 1 << 5 | 1) << 16;  // 1980-01-01
    if (t.tm_year > 207) t.tm_year = 207;  // 2107 is the last year DOS dates hold
    const uint32_t date = static_cast<uint32_t>((t.tm_year - 80) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
    const uint32_t time = static_cast<uint32_t>(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
    return date << 16 | time;
}

time_t timeFromDosTime(uint32_t dos)
{
    std::tm t{};
    t.tm_year = static_cast<int>((dos >> 25) & 0x7F) + 80;
    t.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
    t.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
    t.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
    t.tm_min = static_cast<int>((dos >> 5) & 0x3F);
    t.tm_sec = static_cast<int>((dos & 0x1F) * 2);
    t.tm_isdst = -1;
    return std::mktime(&t);
}

bool nameIsRelativeAndSafe(std::string_view name)
{
    if (name.empty() || name.find('\0') != std::string_view::npos) return false;
    if (name[0] == '/' || name[0] == '\\') return false;
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view part = name.substr(start, end - start);
        if (part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

bool nameIsAlreadyCompressed(std::string_view name)
{
    static constexpr std::string_view extensions[] = {".Z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
    for (std::string_view ext : extensions) {
        if (name.size() < ext.size()) continue;
        const std::string_view tail = name.substr(name.size() - ext.size());
        if (std::equal(tail.begin(), tail.end(), ext.begin(), ext.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return true;
    }
    return false;
}

bool writeAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace zipformat

bool zipIsReading(const ZipHandle* handle) { return !handle || handle->kind == ZipKind::Reading; }

}  // namespace fotrix
