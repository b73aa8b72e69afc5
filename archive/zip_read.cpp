// Reading archives: the end record, the central directory, and finding members.
//
// Nothing from the file is trusted: the end record is looked for only where it
// can be, every length is checked against the bytes that are there before it
// is used or allocated, and ZIP64 records (which this layer does not read) are
// refused rather than misread.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/zip_internal.h"

namespace fotrix {

using namespace zipformat;

bool ZipSourceBytes::readAt(uint64_t offset, void* out, size_t count) const
{
    if (offset > size || count > size - offset) return false;
    if (count == 0) return true;
    if (memory) {
        std::memcpy(out, memory + offset, count);
        return true;
    }
    auto* bytes = static_cast<uint8_t*>(out);
    while (count > 0) {
        const ssize_t n = pread(fd, bytes, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        offset += static_cast<uint64_t>(n);
        count -= static_cast<size_t>(n);
    }
    return true;
}

ZipReader::~ZipReader()
{
    if (ownsFd && bytes.fd >= 0) close(bytes.fd);
}

namespace {

struct EndRecord {
    uint64_t position = 0;  // of the end record in the archive
    uint32_t entries = 0;
    uint32_t centralSize = 0;
    uint32_t centralOffset = 0;
};

// Finds the end of central directory record (APPNOTE 4.3.16): the last one
// whose comment reaches exactly to the end of the file, or failing that the
// last one whose comment fits (the archive has bytes appended).
uint32_t findEndRecord(const ZipSourceBytes& bytes, EndRecord& end)
{
    if (bytes.size < EndSize) return ZipCorrupt;
    const uint64_t tailSize = std::min<uint64_t>(bytes.size, EndSize + MaxComment + Zip64LocatorSize);
    const uint64_t tailStart = bytes.size - tailSize;
    std::vector<uint8_t> tail(tailSize);
    if (!bytes.readAt(tailStart, tail.data(), tail.size())) return ZipReadError;

    ByteReader tailBytes(tail);
    int64_t found = -1;
    for (int64_t at = static_cast<int64_t>(tailSize - EndSize); at >= 0; --at) {
        const size_t p = static_cast<size_t>(at);
        if (tailBytes.u32At(p) != EndSignature) continue;
        const uint64_t recordEnd = static_cast<uint64_t>(at) + EndSize + tailBytes.u16At(p + 20);
        if (recordEnd == tailSize) {
            found = at;
            break;
        }
        if (recordEnd < tailSize && found < 0) found = at;
    }
    if (found < 0) return ZipCorrupt;

    ByteReader record = tailBytes.sub(static_cast<size_t>(found), EndSize);
    const uint16_t disk = record.u16At(4), centralDisk = record.u16At(6);
    const uint16_t entriesHere = record.u16At(8), entries = record.u16At(10);
    end.position = tailStart + static_cast<uint64_t>(found);
    end.entries = entries;
    end.centralSize = record.u32At(12);
    end.centralOffset = record.u32At(16);
    // ZIP64 marks its fields with all-ones and puts a locator just before (APPNOTE 4.3.15).
    const bool locator = found >= static_cast<int64_t>(Zip64LocatorSize) &&
                         tailBytes.u32At(static_cast<size_t>(found) - Zip64LocatorSize) == Zip64LocatorSignature;
    if (locator || entries == 0xFFFF || entriesHere == 0xFFFF || end.centralSize == 0xFFFFFFFF ||
        end.centralOffset == 0xFFFFFFFF || disk == 0xFFFF || centralDisk == 0xFFFF)
        return ZipZip64;
    if (disk != 0 || centralDisk != 0 || entriesHere != entries) return ZipCorrupt;  // split archives
    return ZipOk;
}

bool hasZip64Extra(ByteReader extra)
{
    size_t at = 0;
    while (extra.contains(at, 4)) {
        const uint16_t id = extra.u16At(at);
        const uint16_t length = extra.u16At(at + 2);
        if (id == Zip64ExtraId) return true;
        at += 4u + length;
    }
    return false;
}

// Parses one central directory record at `at`; advances `at` past it.
uint32_t parseCentral(const std::vector<uint8_t>& directory, size_t& at, uint64_t shift, uint64_t dataEnd,
                      ZipMember& m)
{
    ByteReader all(directory);
    if (!all.contains(at, CentralSize)) return ZipCorrupt;
    ByteReader p = all.sub(at, CentralSize);
    if (p.u32At(0) != CentralSignature) return ZipCorrupt;
    const size_t nameLength = p.u16At(28), extraLength = p.u16At(30), commentLength = p.u16At(32);
    const size_t total = CentralSize + nameLength + extraLength + commentLength;
    if (!all.contains(at, total)) return ZipCorrupt;
    m.madeBy = p.u8At(5);
    m.flags = p.u16At(8);
    m.method = p.u16At(10);
    m.dosTime = p.u32At(12);
    m.crc = p.u32At(16);
    m.compressedSize = p.u32At(20);
    m.size = p.u32At(24);
    m.externalAttributes = p.u32At(38);
    const uint32_t offset = p.u32At(42);
    const uint16_t diskStart = p.u16At(34);
    if (m.compressedSize == 0xFFFFFFFF || m.size == 0xFFFFFFFF || offset == 0xFFFFFFFF || diskStart == 0xFFFF ||
        hasZip64Extra(all.sub(at + CentralSize + nameLength, extraLength)))
        return ZipZip64;
    if (diskStart != 0) return ZipCorrupt;
    m.localOffset = offset + shift;
    // The local header and the data must lie before the central directory.
    if (m.localOffset > dataEnd || dataEnd - m.localOffset < LocalSize + nameLength ||
        m.compressedSize > dataEnd - m.localOffset - LocalSize - nameLength)
        return ZipCorrupt;
    m.name.assign(reinterpret_cast<const char*>(directory.data() + at + CentralSize), nameLength);
    at += total;
    return ZipOk;
}

bool equalNames(std::string_view a, std::string_view b, bool ignoreCase)
{
    if (!ignoreCase) return a == b;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

ZipHandle* startReader(std::unique_ptr<ZipReader> reader)
{
    const uint32_t code = zipReadDirectory(*reader);
    if (code != ZipOk) return zipRecord(ZipSide::Reading, code), nullptr;
    auto* handle = new (std::nothrow) ZipHandle{ZipKind::Reading, nullptr, std::move(reader)};
    zipRecord(ZipSide::Reading, handle ? ZipOk : ZipNoMemory);
    return handle;
}

}  // namespace

uint32_t zipReadDirectory(ZipReader& reader)
{
    EndRecord end;
    uint32_t code = findEndRecord(reader.bytes, end);
    if (code != ZipOk) return code;
    // The directory ends where the end record begins. When the archive has
    // bytes in front (a self-extracting stub), its offsets are short by as much.
    if (end.centralSize > end.position) return ZipCorrupt;
    const uint64_t centralStart = end.position - end.centralSize;
    if (centralStart < end.centralOffset) return ZipCorrupt;
    const uint64_t shift = centralStart - end.centralOffset;
    if (static_cast<uint64_t>(end.entries) * CentralSize > end.centralSize) return ZipCorrupt;

    std::vector<uint8_t> directory(end.centralSize);
    if (!reader.bytes.readAt(centralStart, directory.data(), directory.size())) return ZipReadError;
    reader.dataEnd = centralStart;
    reader.members.resize(end.entries);
    size_t at = 0;
    for (ZipMember& m : reader.members) {
        code = parseCentral(directory, at, shift, reader.dataEnd, m);
        if (code != ZipOk) return code;
    }
    return ZipOk;
}

bool zipMemberIsFolder(const ZipMember& m)
{
    return (!m.name.empty() && (m.name.back() == '/' || m.name.back() == '\\')) ||
           (m.size == 0 && (m.externalAttributes & 0x10) != 0);
}

void zipEntryFromMember(const ZipMember& m, int index, ZipEntry& entry)
{
    entry.index = index;
    entry.name = m.name;
    entry.size = m.size;
    entry.compressedSize = m.compressedSize;
    entry.method = m.method;
    entry.crc = m.crc;
    entry.modified = timeFromDosTime(m.dosTime);
    entry.isFolder = zipMemberIsFolder(m);
    entry.encrypted = (m.flags & (FlagEncrypted | FlagStrongEncryption)) != 0;
}

ZipReader* zipReaderOf(ZipHandle* handle, uint32_t& code)
{
    code = !handle ? ZipBadArguments : handle->kind != ZipKind::Reading ? ZipWrongKind : ZipOk;
    if (code != ZipOk) zipRecord(ZipSide::Reading, code);
    return code == ZipOk ? handle->reader.get() : nullptr;
}

ZipHandle* zipOpen(const char* path, const char* password)
{
    if (!path || !*path) return zipRecord(ZipSide::Reading, ZipBadArguments), nullptr;
    if (password && *password) return zipRecord(ZipSide::Reading, ZipPassword), nullptr;
    auto reader = std::make_unique<ZipReader>();
    reader->bytes.fd = open(path, O_RDONLY | O_CLOEXEC);
    if (reader->bytes.fd < 0) return zipRecord(ZipSide::Reading, ZipCannotOpen), nullptr;
    reader->ownsFd = true;
    struct stat st {};
    if (fstat(reader->bytes.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return zipRecord(ZipSide::Reading, ZipCannotOpen), nullptr;
    reader->bytes.size = static_cast<uint64_t>(st.st_size);
    return startReader(std::move(reader));
}

ZipHandle* zipOpenMemory(const void* data, size_t size)
{
    if (!data && size > 0) return zipRecord(ZipSide::Reading, ZipBadArguments), nullptr;
    auto reader = std::make_unique<ZipReader>();
    reader->bytes.memory = static_cast<const uint8_t*>(data);
    reader->bytes.size = size;
    return startReader(std::move(reader));
}

uint32_t zipSetExtractLimits(ZipHandle* handle, const ZipExtractLimits& limits)
{
    uint32_t code;
    ZipReader* r = zipReaderOf(handle, code);
    if (!r) return code;
    r->limits = limits;
    return zipRecord(ZipSide::Reading, ZipOk);
}

uint32_t zipSetBaseDir(ZipHandle* handle, const char* folder)
{
    uint32_t code;
    ZipReader* r = zipReaderOf(handle, code);
    if (!r) return code;
    if (!folder || !*folder) {
        r->baseDir.clear();
        return zipRecord(ZipSide::Reading, ZipOk);
    }
    std::error_code error;
    std::filesystem::path base = std::filesystem::absolute(folder, error);
    if (error) return zipRecord(ZipSide::Reading, ZipBadArguments);
    std::string text = base.lexically_normal().string();
    if (text.empty() || text.back() != '/') text += '/';
    r->baseDir = std::move(text);
    return zipRecord(ZipSide::Reading, ZipOk);
}

int zipCount(ZipHandle* handle)
{
    uint32_t code;
    ZipReader* r = zipReaderOf(handle, code);
    if (!r) return -1;
    zipRecord(ZipSide::Reading, ZipOk);
    return static_cast<int>(r->members.size());
}

uint32_t zipGetEntry(ZipHandle* handle, int index, ZipEntry& entry)
{
    uint32_t code;
    ZipReader* r = zipReaderOf(handle, code);
    if (!r) return code;
    if (index < 0 || static_cast<size_t>(index) >= r->members.size()) return zipRecord(ZipSide::Reading, ZipBadArguments);
    zipEntryFromMember(r->members[static_cast<size_t>(index)], index, entry);
    return zipRecord(ZipSide::Reading, ZipOk);
}

uint32_t zipFind(ZipHandle* handle, const char* name, bool ignoreCase, int& index, ZipEntry& entry)
{
    uint32_t code;
    ZipReader* r = zipReaderOf(handle, code);
    if (!r) return code;
    index = -1;
    if (!name) return zipRecord(ZipSide::Reading, ZipBadArguments);
    for (size_t i = 0; i < r->members.size(); ++i) {
        if (!equalNames(r->members[i].name, name, ignoreCase)) continue;
        index = static_cast<int>(i);
        zipEntryFromMember(r->members[i], index, entry);
        return zipRecord(ZipSide::Reading, ZipOk);
    }
    return zipRecord(ZipSide::Reading, ZipNotFound);
}

uint32_t zipCloseReader(ZipHandle* handle)
{
    uint32_t code;
    if (!zipReaderOf(handle, code)) return code;
    delete handle;
    return zipRecord(ZipSide::Reading, ZipOk);
}

}  // namespace fotrix
