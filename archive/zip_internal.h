#pragma once
// Internals shared by the archive layer's files: the ZIP record layouts
// (PKWARE APPNOTE 4.3), little-endian helpers, the handle record and the
// per-side last results.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/zip.h"
#include "imagelib/bytes.h"

namespace fotrix {

namespace zipformat {

// Signatures and fixed sizes (APPNOTE 4.3.7, 4.3.9, 4.3.12, 4.3.16).
constexpr uint32_t LocalSignature = 0x04034b50;
constexpr uint32_t CentralSignature = 0x02014b50;
constexpr uint32_t EndSignature = 0x06054b50;
constexpr uint32_t DescriptorSignature = 0x08074b50;
constexpr uint32_t Zip64EndSignature = 0x06064b50;
constexpr uint32_t Zip64LocatorSignature = 0x07064b50;
constexpr size_t LocalSize = 30;
constexpr size_t CentralSize = 46;
constexpr size_t EndSize = 22;
constexpr size_t Zip64LocatorSize = 20;
constexpr size_t MaxComment = 0xFFFF;
constexpr uint16_t Zip64ExtraId = 0x0001;

// General purpose flags (APPNOTE 4.4.4).
constexpr uint16_t FlagEncrypted = 1 << 0;
constexpr uint16_t FlagDescriptor = 1 << 3;
constexpr uint16_t FlagStrongEncryption = 1 << 6;
constexpr uint16_t FlagUtf8 = 1 << 11;

constexpr uint16_t MethodStored = 0;
constexpr uint16_t MethodDeflated = 8;

inline void put16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

// MS-DOS date (high 16 bits) and time (low 16 bits) of a moment, in local
// time, and back. Dates before 1980 become 1980-01-01.
uint32_t dosTimeFromTime(time_t moment);
time_t timeFromDosTime(uint32_t dos);

// Whether a member name is a plain relative path: not empty, no NUL, no
// leading "/" or "\", no drive letter, no "." or ".." component ("\" counts
// as a separator too, as archives made on Windows use it).
bool nameIsRelativeAndSafe(std::string_view name);

// Whether a member name ends in one of the already-compressed extensions.
bool nameIsAlreadyCompressed(std::string_view name);

// Writes all of `size` bytes, retrying short writes and interruptions.
bool writeAll(int fd, const uint8_t* data, size_t size);

}  // namespace zipformat

struct ZipWriter;
struct ZipReader;

enum class ZipKind : uint32_t { Reading = 1, Creating = 2 };

struct ZipWriterDelete {
    void operator()(ZipWriter* writer) const;  // zip_write.cpp, where ZipWriter is complete
};

struct ZipHandle {
    ZipKind kind;
    std::unique_ptr<ZipWriter, ZipWriterDelete> writer;  // kind Creating
    std::unique_ptr<ZipReader> reader;                    // kind Reading
};

// Records `code` as the side's last result and returns it.
uint32_t zipRecord(ZipSide side, uint32_t code);

// The reader of a handle after the null and kind checks (recorded as the
// reading side's result), or null.
ZipReader* zipReaderOf(ZipHandle* handle, uint32_t& code);

// One member as the central directory describes it (reading side).
struct ZipMember {
    std::string name;
    uint64_t localOffset = 0;  // from the start of the archive's data
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t crc = 0;
    uint32_t dosTime = 0;
    uint32_t externalAttributes = 0;
    uint16_t method = 0;
    uint16_t flags = 0;
    uint8_t madeBy = 0;  // host system (high byte of "version made by")
};

// Where the archive's bytes come from: a file read with pread, or memory.
struct ZipSourceBytes {
    int fd = -1;
    const uint8_t* memory = nullptr;
    uint64_t size = 0;
    // Reads exactly `count` bytes at `offset`; false when they are not there.
    bool readAt(uint64_t offset, void* out, size_t count) const;
};

struct ZipReader {
    ZipSourceBytes bytes;
    bool ownsFd = false;
    uint64_t dataEnd = 0;  // where member data must end: the central directory's start
    std::vector<ZipMember> members;
    std::string baseDir;  // absolute, lexically normal, ending in "/"; empty: current folder
    ZipExtractLimits limits;
    uint64_t extractedTotal = 0;  // bytes extracted so far, for limits.maxTotalSize
    ~ZipReader();
};

// Reading side entry points implemented in zip_read.cpp and used by zip_extract.cpp.
uint32_t zipReadDirectory(ZipReader& reader);
void zipEntryFromMember(const ZipMember& member, int index, ZipEntry& entry);
bool zipMemberIsFolder(const ZipMember& member);

}  // namespace fotrix
