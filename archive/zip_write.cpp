// Creating archives: local header, member data (deflated or stored) and, at
// the end, the central directory and the end record (APPNOTE 4.3.6).
//
// Sizes and CRC-32 of a streamed member are known only after its data, so the
// local header is patched in place when the output can seek; on a pipe the
// member carries a data descriptor instead (APPNOTE 4.3.9). Members from memory
// and folders are described completely up front and need neither.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "archive/zip_internal.h"

namespace fotrix {

using namespace zipformat;

namespace {

constexpr size_t OutputBufferSize = 1 << 20;
constexpr size_t InputChunkSize = 256 << 10;
constexpr int DeflateLevel = 6;
constexpr uint16_t MadeByUnix = 3 << 8 | 30;  // host 3 (Unix), version 3.0
constexpr uint32_t MaxMembers = 0xFFFE;       // 0xFFFF in the end record means ZIP64
constexpr uint64_t Max32 = 0xFFFFFFFFu;

}  // namespace

struct ZipWriter {
    int fd = -1;
    bool ownsFd = false;   // created by zipCreate: written under a temporary name
    bool seekable = false;
    std::string path;           // zipCreate's target
    std::string temporaryPath;  // where it is written until zipClose
    uint64_t position = 0;      // archive offset of buffer[used]
    std::vector<uint8_t> buffer = std::vector<uint8_t>(OutputBufferSize);
    size_t used = 0;
    std::vector<uint8_t> central;  // central directory records so far
    uint32_t count = 0;
    uint32_t failure = ZipOk;  // sticky: an unseekable output failed mid-member
    z_stream stream{};
    bool streamReady = false;
    dev_t outputDevice = 0;  // the output file, which must not be added to itself
    ino_t outputInode = 0;

    ~ZipWriter()
    {
        if (streamReady) deflateEnd(&stream);
        if (ownsFd) {
            if (fd >= 0) close(fd);
            if (!temporaryPath.empty()) unlink(temporaryPath.c_str());
        }
    }
};

void ZipWriterDelete::operator()(ZipWriter* writer) const { delete writer; }

namespace {

bool flush(ZipWriter& w)
{
    if (w.used == 0) return true;
    if (!writeAll(w.fd, w.buffer.data(), w.used)) return false;
    w.position += w.used;
    w.used = 0;
    return true;
}

uint64_t offsetOf(const ZipWriter& w) { return w.position + w.used; }

bool put(ZipWriter& w, const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        if (w.used == w.buffer.size() && !flush(w)) return false;
        const size_t n = std::min(size, w.buffer.size() - w.used);
        std::memcpy(w.buffer.data() + w.used, bytes, n);
        w.used += n;
        bytes += n;
        size -= n;
    }
    return true;
}

// What the headers say about one member.
struct MemberHeader {
    std::string name;
    uint16_t flags = 0;
    uint16_t method = MethodStored;
    uint32_t dosTime = 0;
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    uint32_t externalAttributes = 0;
    uint64_t localOffset = 0;
};

uint16_t versionNeeded(const MemberHeader& m) { return m.method == MethodDeflated || m.name.back() == '/' ? 20 : 10; }

void localHeader(const MemberHeader& m, uint8_t* p)
{
    put32(p, LocalSignature);
    put16(p + 4, versionNeeded(m));
    put16(p + 6, m.flags);
    put16(p + 8, m.method);
    put32(p + 10, m.dosTime);
    put32(p + 14, m.crc);
    put32(p + 18, static_cast<uint32_t>(m.compressedSize));
    put32(p + 22, static_cast<uint32_t>(m.size));
    put16(p + 26, static_cast<uint32_t>(m.name.size()));
    put16(p + 28, 0);
}

void appendCentral(ZipWriter& w, const MemberHeader& m)
{
    uint8_t p[CentralSize];
    put32(p, CentralSignature);
    put16(p + 4, MadeByUnix);
    put16(p + 6, versionNeeded(m));
    put16(p + 8, m.flags);
    put16(p + 10, m.method);
    put32(p + 12, m.dosTime);
    put32(p + 16, m.crc);
    put32(p + 20, static_cast<uint32_t>(m.compressedSize));
    put32(p + 24, static_cast<uint32_t>(m.size));
    put16(p + 28, static_cast<uint32_t>(m.name.size()));
    put16(p + 30, 0);  // extra field
    put16(p + 32, 0);  // comment
    put16(p + 34, 0);  // disk
    put16(p + 36, 0);  // internal attributes
    put32(p + 38, m.externalAttributes);
    put32(p + 42, static_cast<uint32_t>(m.localOffset));
    w.central.insert(w.central.end(), p, p + CentralSize);
    w.central.insert(w.central.end(), m.name.begin(), m.name.end());
}

// Where a source's bytes come from while it is being added.
struct OpenSource {
    int fd = -1;
    bool ownsFd = false;
    bool isFolder = false;
    const uint8_t* memory = nullptr;
    uint64_t size = 0;
    bool sizeKnown = false;
    time_t modified = 0;
    uint32_t mode = 0100644;
    dev_t device = 0;
    ino_t inode = 0;
    ~OpenSource()
    {
        if (ownsFd && fd >= 0) close(fd);
    }
};

uint32_t openSource(const ZipSource& source, OpenSource& out)
{
    out.modified = std::time(nullptr);
    struct stat st {};
    switch (source.kind) {
    case ZipSourceKind::File:
        if (!source.path || !*source.path) return ZipBadArguments;
        out.fd = open(source.path, O_RDONLY | O_CLOEXEC);
        if (out.fd < 0) return ZipCannotOpen;
        out.ownsFd = true;
        if (fstat(out.fd, &st) != 0) return ZipReadError;
        out.isFolder = S_ISDIR(st.st_mode);
        out.sizeKnown = S_ISREG(st.st_mode) || out.isFolder;
        out.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
        out.modified = st.st_mtime;
        out.mode = st.st_mode & 07777;
        out.device = st.st_dev;
        out.inode = st.st_ino;
        return ZipOk;
    case ZipSourceKind::Folder:
        out.isFolder = true;
        out.sizeKnown = true;
        out.mode = 0755;
        if (source.path && *source.path) {
            if (stat(source.path, &st) != 0) return ZipCannotOpen;
            out.modified = st.st_mtime;
            out.mode = st.st_mode & 07777;
        }
        return ZipOk;
    case ZipSourceKind::Handle:
        if (source.fd < 0) return ZipBadArguments;
        out.fd = source.fd;
        if (fstat(out.fd, &st) == 0 && S_ISREG(st.st_mode)) {
            out.modified = st.st_mtime;
            out.mode = st.st_mode & 07777;
            out.device = st.st_dev;
            out.inode = st.st_ino;
        }
        return ZipOk;
    case ZipSourceKind::Memory:
        if (!source.data && source.size > 0) return ZipBadArguments;
        out.memory = static_cast<const uint8_t*>(source.data);
        out.size = source.size;
        out.sizeKnown = true;
        return ZipOk;
    }
    return ZipBadArguments;
}

bool ensureStream(ZipWriter& w)
{
    if (w.streamReady) return deflateReset(&w.stream) == Z_OK;
    if (deflateInit2(&w.stream, DeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    w.streamReady = true;
    return true;
}

// Deflates `size` bytes (or finishes the stream) straight into the output buffer.
uint32_t deflateInto(ZipWriter& w, const uint8_t* data, size_t size, bool finish, uint64_t& written)
{
    w.stream.next_in = const_cast<Bytef*>(data);
    w.stream.avail_in = static_cast<uInt>(size);
    for (;;) {
        if (w.used == w.buffer.size() && !flush(w)) return ZipWriteError;
        const size_t room = w.buffer.size() - w.used;
        w.stream.next_out = w.buffer.data() + w.used;
        w.stream.avail_out = static_cast<uInt>(room);
        const int ret = deflate(&w.stream, finish ? Z_FINISH : Z_NO_FLUSH);
        const size_t produced = room - w.stream.avail_out;
        w.used += produced;
        written += produced;
        if (ret == Z_STREAM_END) return ZipOk;
        if (ret != Z_OK && ret != Z_BUF_ERROR) return ZipFlateError;
        if (!finish && w.stream.avail_in == 0 && w.stream.avail_out > 0) return ZipOk;
    }
}

// Member data whose size and CRC are known up front: a folder (no data) or a
// memory block, compressed here in one piece.
uint32_t writeKnownMember(ZipWriter& w, MemberHeader& m, const OpenSource& src)
{
    std::vector<uint8_t> packed;
    const uint8_t* data = src.memory;
    m.size = src.isFolder ? 0 : src.size;
    m.crc = m.size ? static_cast<uint32_t>(crc32_z(0, data, m.size)) : 0;
    m.compressedSize = m.size;
    if (m.method == MethodDeflated) {
        if (!ensureStream(w)) return ZipFlateError;
        const uLong bound = deflateBound(&w.stream, m.size);
        try {
            packed.resize(bound);
        } catch (const std::bad_alloc&) {
            return ZipNoMemory;
        }
        w.stream.next_in = const_cast<Bytef*>(data);
        w.stream.avail_in = static_cast<uInt>(m.size);
        w.stream.next_out = packed.data();
        w.stream.avail_out = static_cast<uInt>(packed.size());
        if (deflate(&w.stream, Z_FINISH) != Z_STREAM_END) return ZipFlateError;
        m.compressedSize = w.stream.total_out;
        data = packed.data();
    }
    if (m.compressedSize > Max32) return ZipTooLarge;
    uint8_t header[LocalSize];
    localHeader(m, header);
    if (!put(w, header, LocalSize) || !put(w, m.name.data(), m.name.size()) || !put(w, data, m.compressedSize))
        return ZipWriteError;
    return ZipOk;
}

// Member data read from a descriptor to its end.
uint32_t writeStreamedMember(ZipWriter& w, MemberHeader& m, const OpenSource& src)
{
    if (!w.seekable) m.flags |= FlagDescriptor;
    uint8_t header[LocalSize];
    localHeader(m, header);  // sizes and CRC zero for now
    if (!put(w, header, LocalSize) || !put(w, m.name.data(), m.name.size())) return ZipWriteError;
    if (m.method == MethodDeflated && !ensureStream(w)) return ZipFlateError;

    std::vector<uint8_t> chunk(InputChunkSize);
    uLong crc = crc32(0, nullptr, 0);
    for (;;) {
        const ssize_t n = read(src.fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ZipReadError;
        if (n == 0) break;
        crc = crc32_z(crc, chunk.data(), static_cast<size_t>(n));
        m.size += static_cast<uint64_t>(n);
        if (m.size > Max32) return ZipTooLarge;
        uint32_t code = ZipOk;
        if (m.method == MethodDeflated) code = deflateInto(w, chunk.data(), static_cast<size_t>(n), false, m.compressedSize);
        else if (put(w, chunk.data(), static_cast<size_t>(n))) m.compressedSize += static_cast<uint64_t>(n);
        else code = ZipWriteError;
        if (code != ZipOk) return code;
    }
    if (m.method == MethodDeflated) {
        const uint32_t code = deflateInto(w, nullptr, 0, true, m.compressedSize);
        if (code != ZipOk) return code;
    }
    if (m.compressedSize > Max32) return ZipTooLarge;
    m.crc = static_cast<uint32_t>(crc);

    if (w.seekable) {
        // Patch CRC-32 and sizes into the local header written above.
        uint8_t fields[12];
        put32(fields, m.crc);
        put32(fields + 4, static_cast<uint32_t>(m.compressedSize));
        put32(fields + 8, static_cast<uint32_t>(m.size));
        const uint64_t at = m.localOffset + 14;
        if (at >= w.position) {
            std::memcpy(w.buffer.data() + (at - w.position), fields, sizeof fields);
            return ZipOk;
        }
        // The header went out already, perhaps only partly: flush the rest first
        // so that the buffer cannot overwrite the patch later.
        if (!flush(w) || pwrite(w.fd, fields, sizeof fields, static_cast<off_t>(at)) != sizeof fields)
            return ZipWriteError;
        return ZipOk;
    }
    uint8_t descriptor[16];
    put32(descriptor, DescriptorSignature);
    put32(descriptor + 4, m.crc);
    put32(descriptor + 8, static_cast<uint32_t>(m.compressedSize));
    put32(descriptor + 12, static_cast<uint32_t>(m.size));
    return put(w, descriptor, sizeof descriptor) ? ZipOk : ZipWriteError;
}

// Takes a failed member out again: drops what is buffered and, where the
// output can seek, cuts the file back to where the member began.
bool rollBack(ZipWriter& w, uint64_t memberStart)
{
    if (!w.seekable) return false;
    if (memberStart >= w.position) {
        w.used = static_cast<size_t>(memberStart - w.position);
        return true;
    }
    w.used = 0;
    if (lseek(w.fd, static_cast<off_t>(memberStart), SEEK_SET) < 0) return false;
    w.position = memberStart;
    if (ftruncate(w.fd, static_cast<off_t>(memberStart)) != 0) {
        // Not a regular file: what is left past this point gets overwritten.
    }
    return true;
}

ZipWriter* writerOf(ZipHandle* handle, uint32_t& code)
{
    code = !handle ? ZipBadArguments : handle->kind != ZipKind::Creating ? ZipWrongKind : ZipOk;
    return code == ZipOk ? handle->writer.get() : nullptr;
}

ZipHandle* startWriter(std::unique_ptr<ZipWriter, ZipWriterDelete> writer)
{
    struct stat st {};
    if (fstat(writer->fd, &st) == 0 && S_ISREG(st.st_mode)) {
        writer->outputDevice = st.st_dev;
        writer->outputInode = st.st_ino;
    }
    const off_t start = lseek(writer->fd, 0, SEEK_CUR);
    writer->seekable = start >= 0;
    writer->position = start >= 0 ? static_cast<uint64_t>(start) : 0;
    auto* handle = new (std::nothrow) ZipHandle{ZipKind::Creating, std::move(writer), nullptr};
    zipRecord(ZipSide::Creating, handle ? ZipOk : ZipNoMemory);
    return handle;
}

bool hasPassword(const char* password) { return password && *password; }

}  // namespace

ZipHandle* zipCreate(const char* path, const char* password)
{
    if (!path || !*path) return zipRecord(ZipSide::Creating, ZipBadArguments), nullptr;
    if (hasPassword(password)) return zipRecord(ZipSide::Creating, ZipPassword), nullptr;
    struct stat st {};
    if (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) return zipRecord(ZipSide::Creating, ZipCannotOpen), nullptr;
    std::unique_ptr<ZipWriter, ZipWriterDelete> writer(new ZipWriter);
    writer->path = path;
    writer->fd = createTemporaryBeside(AT_FDCWD, writer->path, writer->temporaryPath);
    if (writer->fd < 0) return zipRecord(ZipSide::Creating, ZipCannotOpen), nullptr;
    writer->ownsFd = true;
    return startWriter(std::move(writer));
}

ZipHandle* zipCreateOnHandle(int fd, const char* password)
{
    if (fd < 0) return zipRecord(ZipSide::Creating, ZipBadArguments), nullptr;
    if (hasPassword(password)) return zipRecord(ZipSide::Creating, ZipPassword), nullptr;
    std::unique_ptr<ZipWriter, ZipWriterDelete> writer(new ZipWriter);
    writer->fd = fd;
    return startWriter(std::move(writer));
}

uint32_t zipAdd(ZipHandle* handle, const char* memberName, const ZipSource& source)
{
    uint32_t code;
    ZipWriter* w = writerOf(handle, code);
    if (!w) return zipRecord(ZipSide::Creating, code);
    if (w->failure != ZipOk) return zipRecord(ZipSide::Creating, ZipPreviousError);
    if (!memberName || !nameIsRelativeAndSafe(memberName)) return zipRecord(ZipSide::Creating, ZipBadArguments);
    if (w->count >= MaxMembers) return zipRecord(ZipSide::Creating, ZipTooLarge);

    OpenSource src;
    code = openSource(source, src);
    if (code != ZipOk) return zipRecord(ZipSide::Creating, code);
    if (src.sizeKnown && src.size > Max32) return zipRecord(ZipSide::Creating, ZipTooLarge);
    if (src.inode != 0 && src.inode == w->outputInode && src.device == w->outputDevice)
        return zipRecord(ZipSide::Creating, ZipBadArguments);  // the archive itself

    MemberHeader m;
    m.name = memberName;
    if (src.isFolder && m.name.back() != '/') m.name += '/';
    if (m.name.size() > 0xFFFF) return zipRecord(ZipSide::Creating, ZipBadArguments);
    for (unsigned char c : m.name)
        if (c >= 0x80) m.flags |= FlagUtf8;
    m.method = src.isFolder || source.store || nameIsAlreadyCompressed(m.name) ? MethodStored : MethodDeflated;
    m.dosTime = dosTimeFromTime(src.modified);
    m.externalAttributes = src.isFolder ? (040000u | (src.mode & 07777)) << 16 | 0x10
                                        : (0100000u | (src.mode & 07777)) << 16;
    m.localOffset = offsetOf(*w);
    if (m.localOffset > Max32) return zipRecord(ZipSide::Creating, ZipTooLarge);

    code = src.fd >= 0 && !src.isFolder ? writeStreamedMember(*w, m, src) : writeKnownMember(*w, m, src);
    if (code == ZipOk && offsetOf(*w) > Max32) code = ZipTooLarge;
    if (code != ZipOk) {
        if (!rollBack(*w, m.localOffset)) w->failure = code;
        return zipRecord(ZipSide::Creating, code);
    }
    try {
        appendCentral(*w, m);
    } catch (const std::bad_alloc&) {
        rollBack(*w, m.localOffset);
        return zipRecord(ZipSide::Creating, ZipNoMemory);
    }
    ++w->count;
    return zipRecord(ZipSide::Creating, ZipOk);
}

namespace {

uint32_t finish(ZipWriter& w)
{
    if (w.failure != ZipOk) return ZipPreviousError;
    const uint64_t centralOffset = offsetOf(w);
    if (centralOffset > Max32 || w.central.size() > Max32) return ZipTooLarge;
    uint8_t end[EndSize];
    put32(end, EndSignature);
    put16(end + 4, 0);
    put16(end + 6, 0);
    put16(end + 8, w.count);
    put16(end + 10, w.count);
    put32(end + 12, static_cast<uint32_t>(w.central.size()));
    put32(end + 16, static_cast<uint32_t>(centralOffset));
    put16(end + 20, 0);
    if (!put(w, w.central.data(), w.central.size()) || !put(w, end, EndSize) || !flush(w)) return ZipWriteError;
    if (!w.ownsFd) return ZipOk;
    const int fd = w.fd;
    w.fd = -1;
    if (close(fd) != 0) return ZipWriteError;
    if (rename(w.temporaryPath.c_str(), w.path.c_str()) != 0) return ZipCannotOpen;
    w.temporaryPath.clear();
    return ZipOk;
}

}  // namespace

uint32_t zipClose(ZipHandle* handle)
{
    uint32_t code;
    ZipWriter* w = writerOf(handle, code);
    if (!w) return zipRecord(ZipSide::Creating, code);
    code = finish(*w);
    delete handle;  // removes the temporary file when finishing failed
    return zipRecord(ZipSide::Creating, code);
}

}  // namespace fotrix
