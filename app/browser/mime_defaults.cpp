#include "app/browser/mime_defaults.h"

#include "platform/registry/registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fotrix {

namespace {

constexpr const char* kGroup = "[Default Applications]";
constexpr const char* kBackupKey = "Fotrix.mime.bak";

struct MimeRow {
    const char* extension;
    const char* mime;
};
// The types of the program's desktop entry (its MimeType= line).
constexpr MimeRow kMimeTypes[] = {
    {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".jpe", "image/jpeg"}, {".jif", "image/jpeg"},
    {".jfif", "image/jpeg"}, {".png", "image/png"}, {".gif", "image/gif"}, {".bmp", "image/bmp"},
    {".tif", "image/tiff"}, {".tiff", "image/tiff"}, {".tga", "image/x-tga"}, {".pcx", "image/x-pcx"},
    {".pnm", "image/x-portable-anymap"}, {".pbm", "image/x-portable-bitmap"}, {".pgm", "image/x-portable-graymap"},
    {".ppm", "image/x-portable-pixmap"}, {".psd", "image/vnd.adobe.photoshop"}, {".ico", "image/x-icon"},
    {".cr2", "image/x-canon-cr2"}, {".crw", "image/x-canon-crw"}, {".nef", "image/x-nikon-nef"},
    {".orf", "image/x-olympus-orf"}, {".pef", "image/x-pentax-pef"}, {".srf", "image/x-sony-srf"},
    {".arw", "image/x-sony-arw"}, {".mrw", "image/x-minolta-mrw"}, {".raf", "image/x-fuji-raf"},
    {".rw2", "image/x-panasonic-raw"}, {".dng", "image/x-adobe-dng"}, {".dcr", "image/x-kodak-dcr"},
    {".x3f", "image/x-sigma-x3f"},
    {".webp", "image/webp"}, {".avif", "image/avif"}, {".heic", "image/heic"}, {".heif", "image/heif"},
    {".hif", "image/heif"}, {".jxl", "image/jxl"},
};

std::vector<std::string> readLines(const std::string& path, bool* found)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    *found = in.good();
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

bool isGroupLine(const std::string& line) { return !trimmed(line).empty() && trimmed(line)[0] == '['; }

// The key of a "key=value" line, or empty.
std::string keyOf(const std::string& line)
{
    const size_t equals = line.find('=');
    return equals == std::string::npos || isGroupLine(line) ? std::string() : trimmed(line.substr(0, equals));
}

// The group's lines [begin, end): begin is the header's index, or npos.
void findGroup(const std::vector<std::string>& lines, size_t* begin, size_t* end)
{
    *begin = *end = std::string::npos;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (*begin == std::string::npos) {
            if (trimmed(lines[i]) == kGroup) *begin = i;
        } else if (isGroupLine(lines[i])) {
            *end = i;
            return;
        }
    }
    if (*begin != std::string::npos) *end = lines.size();
}

bool writeWhole(const std::string& path, const std::vector<std::string>& lines)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    const std::string temporary = path + ".fotrix-" + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    bool ok = true;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temporary.c_str());
    return ok;
}

std::string firstEntry(const std::string& value) { return trimmed(value.substr(0, value.find(';'))); }

bool readBackup(const std::string& mime, std::string* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, kBackupKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[4096];
    DWORD type = REG_NONE, size = sizeof buffer;
    const LONG result = RegQueryValueEx(key, mime.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return false;
    value->assign(buffer, strnlen(buffer, size));
    return true;
}

bool writeBackup(const std::string& mime, const std::string& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, kBackupKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                       nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueEx(key, mime.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                      static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void deleteBackup(const std::string& mime)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, kBackupKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteValue(key, mime.c_str());
    RegCloseKey(key);
}

}  // namespace

std::string MimeAppsListPath()
{
    if (const char* dir = std::getenv("FOTRIX_CONFIG_DIR"); dir && *dir) return std::string(dir) + "/mimeapps.list";
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::string(xdg) + "/mimeapps.list";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config/mimeapps.list";
}

std::string MimeTypeOfExtension(const std::string& extension)
{
    for (const MimeRow& row : kMimeTypes)
        if (strcasecmp(row.extension, extension.c_str()) == 0) return row.mime;
    return {};
}

bool ReadMimeDefault(const std::string& mime, std::string* value)
{
    bool found = false;
    const std::vector<std::string> lines = readLines(MimeAppsListPath(), &found);
    size_t begin, end;
    findGroup(lines, &begin, &end);
    if (begin == std::string::npos) return false;
    for (size_t i = begin + 1; i < end; ++i)
        if (keyOf(lines[i]) == mime) {
            *value = trimmed(lines[i].substr(lines[i].find('=') + 1));
            return true;
        }
    return false;
}

bool WriteMimeDefault(const std::string& mime, const std::string* value)
{
    const std::string path = MimeAppsListPath();
    bool found = false;
    std::vector<std::string> lines = readLines(path, &found);
    size_t begin, end;
    findGroup(lines, &begin, &end);
    if (begin == std::string::npos) {
        if (!value) return true;
        if (!lines.empty() && !trimmed(lines.back()).empty()) lines.emplace_back();
        lines.emplace_back(kGroup);
        begin = lines.size() - 1;
        end = lines.size();
    }
    for (size_t i = end; i-- > begin + 1;)
        if (keyOf(lines[i]) == mime) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i)), --end;
    if (value) {
        size_t at = end;
        while (at > begin + 1 && trimmed(lines[at - 1]).empty()) --at;  // before the blank lines that end the group
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), mime + "=" + *value);
    }
    return writeWhole(path, lines);
}

bool AssociateMimeDefault(const std::string& extension)
{
    const std::string mime = MimeTypeOfExtension(extension);
    if (mime.empty()) return false;
    std::string current;
    const bool had = ReadMimeDefault(mime, &current) && !current.empty();
    if (had && firstEntry(current) == kDesktopEntry) return true;
    if (!had) deleteBackup(mime);
    else if (!writeBackup(mime, current)) return false;  // the old choice could not be kept: leave it
    const std::string value = std::string(kDesktopEntry) + ";" + (had ? current : std::string());
    return WriteMimeDefault(mime, &value);
}

void UnassociateMimeDefault(const std::string& extension)
{
    const std::string mime = MimeTypeOfExtension(extension);
    std::string current, kept;
    if (mime.empty() || !ReadMimeDefault(mime, &current)) return;
    if (firstEntry(current) == kDesktopEntry) {
        const bool restored = readBackup(mime, &kept) && !kept.empty();
        if (!WriteMimeDefault(mime, restored ? &kept : nullptr)) return;
    }
    deleteBackup(mime);
}

}  // namespace fotrix
