#pragma once
// The zip archive layer: creating archives member by member and reading them
// back, over zlib's deflate and inflate. Members are stored (method 0) or
// deflated (method 8); the archives are plain PKWARE ZIP files that Info-ZIP,
// 7-Zip and Python's zipfile read, and that we read from them.
//
// Every operation returns one of the result codes below and records it as the
// last result of its side (reading or creating), per thread. Handles are
// opaque: a kind tag (reading or creating) and the open archive's state.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>

namespace fotrix {

// Result codes. The first group and their texts are the archive layer's
// classic ones; ZipBadCrc and the codes after it name failures that the
// classic list folds into "corrupt" or does not know.
enum ZipResult : uint32_t {
    ZipOk = 0,
    ZipDuplicateHandle = 0x100,
    ZipCannotOpen = 0x200,       // couldn't create or open a file (archive, source or target)
    ZipNoMemory = 0x300,
    ZipWriteError = 0x400,
    ZipNotFound = 0x500,         // no member of that name
    ZipMore = 0x600,             // a memory target is smaller than the member
    ZipCorrupt = 0x700,          // not a zip file, damaged directory or local header
    ZipReadError = 0x800,
    ZipBadCrc = 0x900,           // member data does not match its CRC-32 or size
    ZipZip64 = 0xA00,            // ZIP64 archive or member (not supported)
    ZipUnsupportedMethod = 0xB00,
    ZipUnsafeName = 0xC00,       // target would land outside the base folder
    ZipTooLarge = 0xD00,         // a member or the archive outgrows the 32-bit ZIP limits
    ZipPassword = 0x1000,        // passwords and encrypted members are not supported
    ZipBadArguments = 0x10000,   // includes a null handle
    ZipNotMemoryArchive = 0x20000,
    ZipMemorySize = 0x30000,
    ZipPreviousError = 0x40000,  // an earlier write failure left the archive unusable
    ZipEnded = 0x50000,
    ZipSizeMismatch = 0x60000,   // a source changed size while it was being added
    ZipPartlyUnzipped = 0x70000,
    ZipWrongKind = 0x80000,      // a reading handle given to the creating side or the reverse
    ZipNotInitialised = 0x1000000,
    ZipSeekUnseekable = 0x2000000,
    ZipChangedMind = 0x4000000,
    ZipFlateError = 0x5000000,   // zlib reported an internal failure
};

// zipResultText(ZipLastReadingResult, ...) reports the reading side's last result.
constexpr uint32_t ZipLastReadingResult = 1;

// Copies the text of a result code into `buffer` (NUL-terminated, cut to fit
// `size`; nothing is written when size is 0) and returns the text's full
// length. Unknown codes read "unknown zip result code".
size_t zipResultText(uint32_t code, char* buffer, size_t size);
std::string zipResultText(uint32_t code);

enum class ZipSide { Reading, Creating };
// The last result of a side on the calling thread.
uint32_t zipLastResult(ZipSide side);

struct ZipHandle;  // opaque: kind tag and archive state

// ---- Creating ------------------------------------------------------------

// Creates (truncates) the archive file. A password is not supported: a
// non-empty one fails with ZipPassword. Returns null on failure (see
// zipLastResult(ZipSide::Creating)).
ZipHandle* zipCreate(const char* path, const char* password = nullptr);
// Writes the archive to an open descriptor, which stays the caller's. When it
// cannot seek (a pipe), members whose sizes are not known before they are
// written carry data descriptors.
ZipHandle* zipCreateOnHandle(int fd, const char* password = nullptr);

enum class ZipSourceKind { Handle = 1, File = 2, Memory = 3, Folder = 4 };

// What zipAdd takes a member from; build one with the helpers below.
struct ZipSource {
    ZipSourceKind kind = ZipSourceKind::File;
    const char* path = nullptr;  // File; Folder (optional: its time is used)
    int fd = -1;                 // Handle: read from its position to its end, left open
    const void* data = nullptr;  // Memory
    size_t size = 0;             // Memory
    bool store = false;          // keep the member uncompressed whatever its name
};
inline ZipSource zipSourceFile(const char* path) { return {ZipSourceKind::File, path}; }
inline ZipSource zipSourceFolder(const char* path = nullptr) { return {ZipSourceKind::Folder, path}; }
inline ZipSource zipSourceHandle(int fd) { return {ZipSourceKind::Handle, nullptr, fd}; }
inline ZipSource zipSourceMemory(const void* data, size_t size)
{
    return {ZipSourceKind::Memory, nullptr, -1, data, size};
}

// Adds a member. Folders get a name ending in "/" and no data; members whose
// names end in an already-compressed extension (.Z .zip .zoo .arc .lzh .arj
// .gz .tgz, any case) are stored, all others deflated. Names are relative
// paths with "/" separators: empty names, a leading "/", a drive letter or a
// ".." component fail with ZipBadArguments. A member that fails is taken out
// of the archive again where the output can seek; otherwise the archive is
// unusable and later calls answer ZipPreviousError.
uint32_t zipAdd(ZipHandle* handle, const char* memberName, const ZipSource& source);
inline uint32_t zipAdd(ZipHandle* handle, const char* memberName, const char* sourcePath)
{
    return zipAdd(handle, memberName, zipSourceFile(sourcePath));
}

// Finishes a created archive (central directory and end record), closes the
// file and frees the handle. A reading handle fails with ZipWrongKind and
// stays open.
uint32_t zipClose(ZipHandle* handle);

// ---- Reading -------------------------------------------------------------

// Opens an archive for reading; reads and checks its central directory.
// A non-empty password fails with ZipPassword. Returns null on failure (see
// zipLastResult(ZipSide::Reading)).
ZipHandle* zipOpen(const char* path, const char* password = nullptr);
// Reads an archive held in memory, which must outlive the handle.
ZipHandle* zipOpenMemory(const void* data, size_t size);

// The folder that relative extraction targets are put in; every target must
// stay inside it.
uint32_t zipSetBaseDir(ZipHandle* handle, const char* folder);

// Description of a member, as the central directory gives it.
struct ZipEntry {
    int index = -1;
    std::string name;            // as stored ("/" separators; folders end in "/")
    uint64_t size = 0;           // uncompressed
    uint64_t compressedSize = 0;
    uint16_t method = 0;         // 0 stored, 8 deflated
    uint32_t crc = 0;
    time_t modified = 0;         // from the DOS date and time, local time
    bool isFolder = false;
    bool encrypted = false;
};

// Number of members, or -1 for a bad handle.
int zipCount(ZipHandle* handle);
uint32_t zipGetEntry(ZipHandle* handle, int index, ZipEntry& entry);
// Finds a member by name (the first of that name); ZipNotFound when there is none.
uint32_t zipFind(ZipHandle* handle, const char* name, bool ignoreCase, int& index, ZipEntry& entry);

// Inflates (or copies) a member into `targetPath`; an empty or null target means
// the member's own name. A relative target is put under the base folder (the
// current folder when none was set); folders on the way are created. Targets
// that would land outside the base folder ("..", absolute paths elsewhere,
// drive letters, symbolic links on the way) fail with ZipUnsafeName. The data
// is written to a temporary file beside the target and renamed over it only
// when it is complete and its CRC-32 matches, so a failure leaves nothing half
// written. A folder member creates the folder.
uint32_t zipExtract(ZipHandle* handle, int index, const char* targetPath);
// Writes a member to an open descriptor, which stays the caller's.
uint32_t zipExtractToHandle(ZipHandle* handle, int index, int fd);
// Inflates a member into memory; ZipMore when `buffer` is smaller than the member.
uint32_t zipExtractToMemory(ZipHandle* handle, int index, std::span<uint8_t> buffer);

// Closes a reading handle and frees it. A creating handle fails with
// ZipWrongKind and stays open.
uint32_t zipCloseReader(ZipHandle* handle);

// Whether a handle is a reading one (true for null too), to choose the close.
bool zipIsReading(const ZipHandle* handle);

}  // namespace fotrix
