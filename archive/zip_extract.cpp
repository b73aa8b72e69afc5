// Extracting members: checking the local header, inflating or copying the
// data with its CRC-32 and size checked, and placing the target file safely
// inside the base folder.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "archive/zip_internal.h"
#include "fileio/atomic_replace.h"

namespace fotrix {

using namespace zipformat;

namespace {

constexpr size_t InputChunkSize = 256 << 10;
constexpr size_t OutputChunkSize = 512 << 10;

// Where a member's data starts, after its local header (APPNOTE 4.3.7) has
// been checked against the central directory.
uint32_t locateData(const ZipReader& r, const ZipMember& m, uint64_t& dataStart)
{
    uint8_t local[LocalSize];
    if (!r.bytes.readAt(m.localOffset, local, LocalSize)) return ZipCorrupt;
    ByteReader header(local);
    if (header.u32At(0) != LocalSignature || header.u16At(8) != m.method) return ZipCorrupt;
    const size_t nameLength = header.u16At(26), extraLength = header.u16At(28);
    if (nameLength != m.name.size()) return ZipCorrupt;
    std::string name(nameLength, '\0');
    if (!r.bytes.readAt(m.localOffset + LocalSize, name.data(), nameLength) || name != m.name) return ZipCorrupt;
    dataStart = m.localOffset + LocalSize + nameLength + extraLength;
    if (dataStart > r.dataEnd || m.compressedSize > r.dataEnd - dataStart) return ZipCorrupt;
    return ZipOk;
}

// Whether a member stays within the caller's bounds. Its declared size is
// what inflation may produce at most, so checking it bounds the output.
bool withinLimits(const ZipReader& r, const ZipMember& m)
{
    const ZipExtractLimits& limits = r.limits;
    if (limits.maxMemberSize && m.size > limits.maxMemberSize) return false;
    if (limits.maxRatio && m.size > static_cast<uint64_t>(std::max<uint32_t>(m.compressedSize, 1)) * limits.maxRatio)
        return false;
    return !limits.maxTotalSize || m.size <= limits.maxTotalSize - std::min(r.extractedTotal, limits.maxTotalSize);
}

// Hands a member's data, inflated when needed, to `write(bytes, count)` in
// pieces, never more than the size the directory gives; the CRC-32 and size
// are checked at the end.
template <class Write>
uint32_t inflateMember(const ZipReader& r, const ZipMember& m, Write&& write)
{
    if (m.flags & (FlagEncrypted | FlagStrongEncryption)) return ZipPassword;
    if (m.method != MethodStored && m.method != MethodDeflated) return ZipUnsupportedMethod;
    if (m.method == MethodStored && m.compressedSize != m.size) return ZipCorrupt;
    uint64_t at = 0;
    uint32_t code = locateData(r, m, at);
    if (code != ZipOk) return code;

    std::vector<uint8_t> input(std::min<uint64_t>(InputChunkSize, std::max<uint64_t>(m.compressedSize, 1)));
    uLong crc = crc32(0, nullptr, 0);
    uint64_t left = m.compressedSize, produced = 0;
    if (m.method == MethodStored) {
        while (left > 0) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, input.size()));
            if (!r.bytes.readAt(at, input.data(), n)) return ZipReadError;
            crc = crc32_z(crc, input.data(), n);
            if (!write(input.data(), n)) return ZipWriteError;
            at += n;
            left -= n;
        }
        return static_cast<uint32_t>(crc) == m.crc ? ZipOk : ZipBadCrc;
    }

    if (m.size == 0 && m.compressedSize == 0) return m.crc == 0 ? ZipOk : ZipBadCrc;  // empty, no deflate stream
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return ZipNoMemory;
    std::vector<uint8_t> output(std::min<uint64_t>(OutputChunkSize, std::max<uint64_t>(m.size, 1) + 1));
    int ret = Z_OK;
    code = ZipOk;
    while (code == ZipOk && ret != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            if (left == 0) {
                code = ZipCorrupt;  // the deflate stream runs past its compressed size
                break;
            }
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, input.size()));
            if (!r.bytes.readAt(at, input.data(), n)) {
                code = ZipReadError;
                break;
            }
            at += n;
            left -= n;
            stream.next_in = input.data();
            stream.avail_in = static_cast<uInt>(n);
        }
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
        ret = inflate(&stream, Z_NO_FLUSH);
        if (ret != Z_OK && ret != Z_STREAM_END && ret != Z_BUF_ERROR) {
            code = ret == Z_MEM_ERROR ? ZipNoMemory : ZipCorrupt;
            break;
        }
        const size_t n = output.size() - stream.avail_out;
        produced += n;
        if (produced > m.size) code = ZipBadCrc;  // more data than the directory says: stop here
        else if (n > 0) {
            crc = crc32_z(crc, output.data(), n);
            if (!write(output.data(), n)) code = ZipWriteError;
        }
    }
    inflateEnd(&stream);
    if (code != ZipOk) return code;
    return produced == m.size && static_cast<uint32_t>(crc) == m.crc ? ZipOk : ZipBadCrc;
}

// inflateMember within the caller's limits, counting what was extracted.
template <class Write>
uint32_t unpackMember(ZipReader& r, const ZipMember& m, Write&& write)
{
    if (!withinLimits(r, m)) return ZipOverLimit;
    const uint32_t code = inflateMember(r, m, std::forward<Write>(write));
    if (code == ZipOk) r.extractedTotal += m.size;
    return code;
}

struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0) close(fd);
    }
    void reset(int next)
    {
        if (fd >= 0) close(fd);
        fd = next;
    }
};

// A target split into the folder it is relative to and the path below it.
struct Placement {
    std::string base;                // an existing or creatable folder
    std::vector<std::string> parts;  // components below it; the last is the file (or folder)
    bool createBase = false;
};

std::vector<std::string> splitPath(std::string_view path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Decides where a target goes. Relative targets (member names, typically)
// must be plain relative paths and go below the base folder; absolute ones
// must lie inside the base folder when there is one.
uint32_t placeTarget(const ZipReader& r, std::string target, Placement& out)
{
    if (target.find('\0') != std::string::npos) return ZipUnsafeName;
    if (target[0] == '/') {
        std::filesystem::path normal = std::filesystem::path(target).lexically_normal();
        for (const auto& part : std::filesystem::path(target))
            if (part == "..") return ZipUnsafeName;
        std::string text = normal.string();
        if (r.baseDir.empty()) {
            // The caller's own choice: only its last part is placed with care.
            const std::filesystem::path leaf = normal.has_filename() ? normal : normal.parent_path();
            out.base = leaf.parent_path().string();
            out.parts = splitPath(leaf.filename().string());
            out.createBase = true;
        } else {
            if (text.compare(0, r.baseDir.size(), r.baseDir) != 0) return ZipUnsafeName;
            out.base = r.baseDir;
            out.parts = splitPath(text.substr(r.baseDir.size()));
        }
    } else {
        if (!nameIsRelativeAndSafe(target)) return ZipUnsafeName;
        std::replace(target.begin(), target.end(), '\\', '/');
        out.base = r.baseDir.empty() ? "." : r.baseDir;
        out.parts = splitPath(target);
    }
    return out.parts.empty() ? ZipUnsafeName : ZipOk;
}

// Opens (creating where missing) the folders of a placement down to the one
// that holds its last part, never following a symbolic link below the base.
uint32_t openParentFolder(const Placement& place, size_t depth, Fd& folder)
{
    if (place.createBase) {
        std::error_code ignored;
        std::filesystem::create_directories(place.base, ignored);
    }
    folder.reset(open(place.base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0) return ZipCannotOpen;
    for (size_t i = 0; i < depth; ++i) {
        const char* part = place.parts[i].c_str();
        if (mkdirat(folder.fd, part, 0777) != 0 && errno != EEXIST) return ZipCannotOpen;
        const int next = openat(folder.fd, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            struct stat st {};
            const bool link = fstatat(folder.fd, part, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
            return link ? ZipUnsafeName : ZipCannotOpen;
        }
        folder.reset(next);
    }
    return ZipOk;
}

uint32_t extractFolder(const Placement& place)
{
    Fd parent;
    uint32_t code = openParentFolder(place, place.parts.size() - 1, parent);
    if (code != ZipOk) return code;
    const char* leaf = place.parts.back().c_str();
    if (mkdirat(parent.fd, leaf, 0777) == 0) return ZipOk;
    if (errno != EEXIST) return ZipCannotOpen;
    struct stat st {};
    if (fstatat(parent.fd, leaf, &st, AT_SYMLINK_NOFOLLOW) != 0) return ZipCannotOpen;
    return S_ISDIR(st.st_mode) ? ZipOk : S_ISLNK(st.st_mode) ? ZipUnsafeName : ZipCannotOpen;
}

uint32_t extractFile(ZipReader& r, const ZipMember& m, const Placement& place)
{
    Fd parent;
    uint32_t code = openParentFolder(place, place.parts.size() - 1, parent);
    if (code != ZipOk) return code;
    if (!withinLimits(r, m)) return ZipOverLimit;  // before a temporary file is made
    AtomicReplace out;
    ReplaceOptions options;
    options.folderFd = parent.fd;
    options.followLinks = false;  // a link planted at the target is replaced, never written through
    const ReplaceStatus opened = out.open(place.parts.back(), options);
    if (opened == ReplaceStatus::ReadOnly) return ZipReadOnly;
    if (opened != ReplaceStatus::Ok) return ZipCannotOpen;
    code = unpackMember(r, m, [&](const uint8_t* data, size_t size) { return out.write(data, size); });
    if (code != ZipOk) return code;  // `out` removes the temporary file
    const time_t modified = timeFromDosTime(m.dosTime);
    const struct timespec times[2] = {{modified, 0}, {modified, 0}};
    futimens(out.fd(), times);
    const ReplaceStatus committed = out.commit();
    return committed == ReplaceStatus::Ok ? ZipOk : committed == ReplaceStatus::WriteFailed ? ZipWriteError : ZipCannotOpen;
}

const ZipMember* memberAt(ZipHandle* handle, int index, ZipReader*& reader, uint32_t& code)
{
    reader = zipReaderOf(handle, code);
    if (!reader) return nullptr;
    if (index < 0 || static_cast<size_t>(index) >= reader->members.size()) {
        code = zipRecord(ZipSide::Reading, ZipBadArguments);
        return nullptr;
    }
    return &reader->members[static_cast<size_t>(index)];
}

}  // namespace

uint32_t zipExtract(ZipHandle* handle, int index, const char* targetPath)
{
    ZipReader* r;
    uint32_t code;
    const ZipMember* m = memberAt(handle, index, r, code);
    if (!m) return code;
    std::string target = targetPath && *targetPath ? targetPath : m->name;
    if (target.empty()) return zipRecord(ZipSide::Reading, ZipUnsafeName);
    const bool folderTarget = target.back() == '/' || zipMemberIsFolder(*m);
    Placement place;
    code = placeTarget(*r, target, place);
    if (code == ZipOk) {
        if (folderTarget && !zipMemberIsFolder(*m)) code = ZipBadArguments;
        else code = folderTarget ? extractFolder(place) : extractFile(*r, *m, place);
    }
    return zipRecord(ZipSide::Reading, code);
}

uint32_t zipExtractToHandle(ZipHandle* handle, int index, int fd)
{
    ZipReader* r;
    uint32_t code;
    const ZipMember* m = memberAt(handle, index, r, code);
    if (!m) return code;
    if (fd < 0) return zipRecord(ZipSide::Reading, ZipBadArguments);
    if (zipMemberIsFolder(*m)) return zipRecord(ZipSide::Reading, ZipOk);
    code = unpackMember(*r, *m, [fd](const uint8_t* data, size_t size) { return writeAll(fd, data, size); });
    return zipRecord(ZipSide::Reading, code);
}

uint32_t zipExtractToMemory(ZipHandle* handle, int index, std::span<uint8_t> buffer)
{
    ZipReader* r;
    uint32_t code;
    const ZipMember* m = memberAt(handle, index, r, code);
    if (!m) return code;
    if (buffer.size() < m->size) return zipRecord(ZipSide::Reading, ZipMore);
    size_t filled = 0;
    code = unpackMember(*r, *m, [&](const uint8_t* data, size_t size) {
        std::memcpy(buffer.data() + filled, data, size);  // never past m->size: unpackMember stops there
        filled += size;
        return true;
    });
    return zipRecord(ZipSide::Reading, code);
}

}  // namespace fotrix
