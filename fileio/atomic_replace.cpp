// AtomicReplace: the one way files below the application are rewritten.
#include "fileio/atomic_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <random>

#include "fileio/stale_temporaries.h"

namespace fotrix {

namespace {

// Keeps ".name.fotrix-tmp-XXXXXX" within the 255 bytes of a file name.
constexpr size_t LeafInTemporaryName = 200;
constexpr int CreateAttempts = 64;

struct StatusText {
    ReplaceStatus status;
    const char* text;
};

constexpr StatusText statusTexts[] = {
    {ReplaceStatus::Ok, "done"},
    {ReplaceStatus::ReadOnly, "the file is read-only"},
    {ReplaceStatus::NotRegular, "not a regular file"},
    {ReplaceStatus::CannotCreate, "cannot create a temporary file beside it"},
    {ReplaceStatus::WriteFailed, "write error"},
    {ReplaceStatus::CannotReplace, "cannot put the new file in place"},
    {ReplaceStatus::Exists, "the file exists"},
};

// A symbolic link is followed to the file it names; a name that does not
// resolve (not there yet) is written as given.
std::string resolvedTarget(const std::string& target)
{
    char* resolved = ::realpath(target.c_str(), nullptr);
    if (!resolved) return target;
    std::string path = resolved;
    std::free(resolved);
    return path;
}

std::string randomSuffix()
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Seeded again in a forked child, which would otherwise try the same
    // names as its parent and its siblings.
    thread_local std::mt19937_64 random;
    thread_local pid_t seededFor = 0;
    if (seededFor != ::getpid()) {
        seededFor = ::getpid();
        random.seed(std::random_device{}() ^ static_cast<uint64_t>(seededFor) << 32);
    }
    std::string suffix(6, 'x');
    for (char& c : suffix) c = alphabet[random() % (sizeof alphabet - 1)];
    return suffix;
}

bool writable(int folderFd, const std::string& leaf, const struct stat& st)
{
    // The mode bits decide even for root, who may write anything: a picture
    // made read-only is meant to stay as it is.
    if ((st.st_mode & 0222) == 0) return false;
    return ::faccessat(folderFd, leaf.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

const char* replaceStatusText(ReplaceStatus status)
{
    for (const StatusText& row : statusTexts)
        if (row.status == status) return row.text;
    return "unknown";
}

std::string replaceTemporaryPrefix(const std::string& leaf)
{
    return "." + leaf.substr(0, LeafInTemporaryName) + ".fotrix-tmp-";
}

AtomicReplace::~AtomicReplace() { discard(); }

ReplaceStatus AtomicReplace::open(const std::string& target, const ReplaceOptions& options)
{
    discard();
    const bool resolve = options.followLinks && options.folderFd == AT_FDCWD;
    target_ = resolve ? resolvedTarget(target) : target;
    const size_t slash = target_.rfind('/');
    leaf_ = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
    if (leaf_.empty() || leaf_ == "." || leaf_ == "..") return ReplaceStatus::NotRegular;
    folderFd_ = ::openat(options.folderFd, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0) return ReplaceStatus::CannotCreate;
    folder_ = folder;
    useMode_ = options.useMode;
    durable_ = options.durable;
    mode_ = options.mode;
    ReplaceStatus status = inspectTarget(options);
    if (status == ReplaceStatus::Ok) {
        removeStaleTemporaries(folderFd_, replaceTemporaryPrefix(leaf_), options.staleAfterSeconds);
        status = createTemporary();
    }
    if (status != ReplaceStatus::Ok) discard();
    return status;
}

ReplaceStatus AtomicReplace::inspectTarget(const ReplaceOptions& options)
{
    struct stat st {};
    targetExists_ = false;
    if (::fstatat(folderFd_, leaf_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? ReplaceStatus::Ok : ReplaceStatus::CannotCreate;
    if (S_ISLNK(st.st_mode)) return ReplaceStatus::Ok;  // the link itself is replaced
    if (!S_ISREG(st.st_mode)) return ReplaceStatus::NotRegular;
    if (!writable(folderFd_, leaf_, st)) return ReplaceStatus::ReadOnly;
    targetExists_ = true;
    owner_ = st.st_uid;
    group_ = st.st_gid;
    if (!options.useMode) {
        mode_ = st.st_mode & 07777;
        useMode_ = true;
    }
    return ReplaceStatus::Ok;
}

ReplaceStatus AtomicReplace::createTemporary()
{
    // Private until commit gives it its final mode; a new file without a
    // chosen mode gets 0666 less the umask from the kernel.
    const mode_t createMode = useMode_ ? 0600 : 0666;
    const std::string prefix = replaceTemporaryPrefix(leaf_);
    for (int attempt = 0; attempt < CreateAttempts; ++attempt) {
        temporary_ = prefix + randomSuffix();
        fd_ = ::openat(folderFd_, temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (fd_ >= 0) return ReplaceStatus::Ok;
        if (errno != EEXIST) break;
    }
    temporary_.clear();
    return ReplaceStatus::CannotCreate;
}

void setOutputBuffer(FILE* file, std::unique_ptr<char[]>& buffer)
{
    if (!file) return;
    if (!buffer) buffer.reset(new (std::nothrow) char[OutputBlockBytes]);
    if (buffer) std::setvbuf(file, buffer.get(), _IOFBF, OutputBlockBytes);
}

FILE* AtomicReplace::stream()
{
    if (!stream_ && fd_ >= 0) {
        stream_ = ::fdopen(fd_, "w+b");
        if (!stream_) failed_ = true;
        else setOutputBuffer(stream_, streamBuffer_);
    }
    return stream_;
}

bool AtomicReplace::write(const void* data, size_t size)
{
    if (fd_ < 0 || failed_) return false;
    if (stream_ && std::fflush(stream_) != 0) failed_ = true;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0 && !failed_) {
        const ssize_t n = replaceSyscalls().write(fd_, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            break;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return !failed_;
}

bool AtomicReplace::applyAttributes()
{
    if (targetExists_ && ::fchown(fd_, owner_, group_) != 0) {
        // Only root may give a file away; the group is kept where we belong to it.
        if (::fchown(fd_, static_cast<uid_t>(-1), group_) != 0) { /* ours, as any editor makes it */ }
    }
    // After fchown, which clears the set-user and set-group bits.
    return !useMode_ || ::fchmod(fd_, mode_) == 0;
}

bool AtomicReplace::closeTemporary()
{
    bool ok = true;
    if (stream_) ok = std::fclose(stream_) == 0;
    else if (fd_ >= 0) ok = ::close(fd_) == 0;
    stream_ = nullptr;
    fd_ = -1;
    return ok;
}

ReplaceStatus AtomicReplace::commit(CommitMode mode)
{
    if (fd_ < 0) return ReplaceStatus::CannotCreate;
    bool ok = !failed_;
    if (ok && stream_) ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
    ok = ok && applyAttributes() && (!durable_ || replaceSyscalls().fsync(fd_) == 0);
    ok = closeTemporary() && ok;
    ReplaceStatus status = ok ? ReplaceStatus::Ok : ReplaceStatus::WriteFailed;
    if (status == ReplaceStatus::Ok && mode == CommitMode::Replace) {
        if (replaceSyscalls().renameat(folderFd_, temporary_.c_str(), folderFd_, leaf_.c_str()) == 0)
            temporary_.clear();
        else
            status = ReplaceStatus::CannotReplace;
    } else if (status == ReplaceStatus::Ok) {
        // A link refuses an existing name, so a file that appeared meanwhile is kept.
        if (::linkat(folderFd_, temporary_.c_str(), folderFd_, leaf_.c_str(), 0) != 0)
            status = errno == EEXIST ? ReplaceStatus::Exists : ReplaceStatus::CannotReplace;
    }
    // The rename is durable only once the folder is on disk. Its failure is
    // not reported: the new file is in place either way.
    if (status == ReplaceStatus::Ok && durable_) replaceSyscalls().fsync(folderFd_);
    discard();
    return status;
}

void AtomicReplace::discard()
{
    closeTemporary();
    if (!temporary_.empty() && folderFd_ >= 0) ::unlinkat(folderFd_, temporary_.c_str(), 0);
    temporary_.clear();
    if (folderFd_ >= 0) ::close(folderFd_);
    folderFd_ = -1;
    failed_ = false;
}

std::string AtomicReplace::temporaryPath() const
{
    if (temporary_.empty()) return {};
    return folder_ == "/" ? "/" + temporary_ : folder_ + "/" + temporary_;
}

ReplaceStatus replaceFileContents(const std::string& target, const void* data, size_t size,
                                  const ReplaceOptions& options)
{
    AtomicReplace file;
    ReplaceStatus status = file.open(target, options);
    if (status != ReplaceStatus::Ok) return status;
    if (!file.write(data, size)) return ReplaceStatus::WriteFailed;
    return file.commit();
}

}  // namespace fotrix
