#pragma once
// The format table: the 28 formats the library knows, and the run-time
// registry built from it by libraryInit.
#include <cstdint>
#include <string>

namespace fotrix {

struct Stream;
struct ReaderContext;
struct WriterContext;

using ReadFunction = int (*)(Stream& stream, ReaderContext& context);
using WriteFunction = int (*)(WriterContext& context);

// One layout a writer accepts: a BitmapType mask, a colour limit (65535: no
// limit) and an optional extension text.
struct AcceptedLayout {
    uint16_t typeMask = 65535;
    uint16_t colourLimit = 65535;
    char extension[8] = {};
};
constexpr int AcceptedLayoutSlots = 10;
using WriterTypesFunction = void (*)(AcceptedLayout* slots);

enum FormatFlags : uint32_t {
    ProbeBySignature = 1,
    CanRead = 256,
    CanWrite = 512,
};

constexpr int FormatExtensionSlots = 12;

struct FormatEntry {
    uint32_t flags = 0;
    const char* shortName = nullptr;
    const char* description = nullptr;
    ReadFunction readFunction = nullptr;
    WriteFunction writeFunction = nullptr;
    WriterTypesFunction writerTypesFunction = nullptr;
    const char* extensions[FormatExtensionSlots] = {};
};

struct FormatInfo {
    char name[8];  // short name, not NUL-terminated at length 8
    uint16_t index;
    uint16_t status;  // 1 can read, 2 can write
    char description[64];
    char extensions[FormatExtensionSlots + 1][8];
    AcceptedLayout writerTypes[AcceptedLayoutSlots];
};

// Indexes of the built-in rows that the library refers to by number.
enum FormatIndex : int {
    FormatJpeg = 0, FormatTga = 1, FormatBmp = 2, FormatGif = 3, FormatPng = 4, Format2bp = 5,
    FormatTiff = 6, FormatPcx = 7, FormatPbm = 8, FormatPgm = 9, FormatPpm = 10, FormatPnm = 11,
    FormatIco = 12, FormatPsd = 13, FormatFirstRaw = 14, FormatLastRaw = 27,
};

// Reference-counted start and end of the library, under one process-wide mutex.
void libraryInit();
void libraryExit();

int formatCount();
int formatFindByName(const char* shortName);
const char* formatShortName(int index);
const char* formatFirstExtension(int index);
const FormatEntry* formatEntry(int index);
// Gives a registered row its reader (a decoder from a module above the library,
// such as the camera-raw decoder) and marks it CanRead. Does nothing before
// libraryInit or for an index out of range.
void formatAttachReader(int index, ReadFunction read);
// Adds a row after the built-in ones (the registry has room for 60) and
// returns its index; a row of the same short name already registered keeps
// its index. The row joins without a reader: formatAttachReader gives it one.
// -1 before libraryInit, without a short name, or when the registry is full.
int formatAddRow(const FormatEntry& row);
// 0, or -1 when the index is out of range.
int formatGetInfo(int index, FormatInfo& info);

// The lower-cased text after the last "." of a file name ("" when none; at most 128 characters).
std::string fileExtension(const std::string& fileName);
int extensionIsKnown(const std::string& fileName);
int extensionBelongsTo(const std::string& fileName, int index);

// Display names of ImageHeader codes. compressionName gives null for 255.
const char* compressionName(int code);
// Copies the compression name, or `fallback` when there is none, always NUL-terminated.
void compressionNameCopy(int code, const char* fallback, char* buffer, size_t length);
const char* colourModelName(int code);

}  // namespace fotrix
