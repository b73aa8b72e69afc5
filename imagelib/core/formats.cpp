// The run-time format registry and its queries.
#include "imagelib/formats.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

#include "imagelib/registry/format_table.h"

namespace fotrix {

namespace {

constexpr int RegistryCapacity = 60;

struct Registry {
    FormatEntry entries[RegistryCapacity];
    int count = 0;
};

std::mutex libraryMutex;
Registry* registry = nullptr;
int referenceCount = 0;

void buildRegistry()
{
    registry = new Registry;
    for (const FormatEntry& row : builtInFormats()) {
        FormatEntry& entry = registry->entries[registry->count++];
        entry = row;
        if (row.readFunction) entry.flags |= CanRead;
        if (row.writeFunction) entry.flags |= CanWrite;
    }
}

bool validIndex(int index) { return registry && index >= 0 && index < registry->count; }

bool listsExtension(const FormatEntry& entry, const std::string& extension)
{
    for (const char* listed : entry.extensions) {
        if (!listed) break;
        if (extension == listed) return true;
    }
    return false;
}

// Copies at most `size` bytes, stopping at the text's end; the rest stays zero.
void copyCut(char* target, size_t size, const char* text)
{
    std::memset(target, 0, size);
    if (text) std::memcpy(target, text, strnlen(text, size));
}

}  // namespace

void libraryInit()
{
    std::lock_guard lock(libraryMutex);
    if (referenceCount++ == 0) buildRegistry();
}

void libraryExit()
{
    std::lock_guard lock(libraryMutex);
    if (referenceCount == 0) return;
    if (--referenceCount == 0) {
        delete registry;
        registry = nullptr;
    }
}

int formatCount() { return registry ? registry->count : 0; }

const FormatEntry* formatEntry(int index) { return validIndex(index) ? &registry->entries[index] : nullptr; }

void formatAttachReader(int index, ReadFunction read)
{
    if (!validIndex(index) || !read) return;
    registry->entries[index].readFunction = read;
    registry->entries[index].flags |= CanRead;
}

int formatAddRow(const FormatEntry& row)
{
    if (!registry || !row.shortName) return -1;
    if (const int existing = formatFindByName(row.shortName); existing >= 0) return existing;
    if (registry->count == RegistryCapacity) return -1;
    FormatEntry& entry = registry->entries[registry->count];
    entry = row;
    entry.readFunction = nullptr;
    entry.flags &= ~(CanRead | CanWrite);
    if (row.writeFunction) entry.flags |= CanWrite;
    return registry->count++;
}

int formatFindByName(const char* shortName)
{
    if (!shortName) return -1;
    for (int i = 0; i < formatCount(); ++i)
        if (std::strcmp(registry->entries[i].shortName, shortName) == 0) return i;
    return -1;
}

const char* formatShortName(int index) { return validIndex(index) ? registry->entries[index].shortName : nullptr; }

const char* formatFirstExtension(int index)
{
    return validIndex(index) ? registry->entries[index].extensions[0] : nullptr;
}

int formatGetInfo(int index, FormatInfo& info)
{
    if (!validIndex(index)) return -1;
    const FormatEntry& entry = registry->entries[index];
    info = FormatInfo{};
    copyCut(info.name, sizeof info.name, entry.shortName);
    info.index = static_cast<uint16_t>(index);
    info.status = static_cast<uint16_t>(((entry.flags & CanRead) ? 1 : 0) | ((entry.flags & CanWrite) ? 2 : 0));
    copyCut(info.description, sizeof info.description - 1, entry.description);
    for (int i = 0; i < FormatExtensionSlots && entry.extensions[i]; ++i)
        copyCut(info.extensions[i], sizeof info.extensions[i] - 1, entry.extensions[i]);
    if (entry.writerTypesFunction) entry.writerTypesFunction(info.writerTypes);
    return 0;
}

std::string fileExtension(const std::string& fileName)
{
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = fileName.substr(dot + 1, 128);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

int extensionIsKnown(const std::string& fileName)
{
    const std::string extension = fileExtension(fileName);
    if (extension.empty()) return 0;
    for (int i = 0; i < formatCount(); ++i)
        if (listsExtension(registry->entries[i], extension)) return 1;
    return 0;
}

int extensionBelongsTo(const std::string& fileName, int index)
{
    const std::string extension = fileExtension(fileName);
    return validIndex(index) && !extension.empty() && listsExtension(registry->entries[index], extension) ? 1 : 0;
}

const char* compressionName(int code)
{
    static const char* const names[] = {"Uncompressed",  "Rle",           "LZW",
                                        "JPEG",          "ZIP",           "Sgi Rle",
                                        "CCITT Rle",     "CCITT Group 3", "CCITT Group 3-2D",
                                        "CCITT Group 4", "Wavelet"};
    if (code == 255) return nullptr;
    if (code >= 1 && code <= 10) return names[code];
    return names[0];
}

void compressionNameCopy(int code, const char* fallback, char* buffer, size_t length)
{
    if (length == 0) return;
    const char* name = compressionName(code);
    if (!name) name = fallback ? fallback : "";
    std::strncpy(buffer, name, length - 1);
    buffer[length - 1] = '\0';
}

const char* colourModelName(int code)
{
    static const char* const names[] = {"RGB",     "RGB",     "CMY",          "CMYK", "YCbCr",
                                        "YUV16",   "CIE Lab", "CIE Log2(L) (u',v')", "CIE Log2(L)"};
    return (code >= 2 && code <= 8) ? names[code] : names[0];
}

}  // namespace fotrix
