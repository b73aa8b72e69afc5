#pragma once
// Replacing a file so that a reader, a crash or a full disk never leaves half
// of it: the new content goes into a temporary file beside the target
// (".name.fotrix-tmp-XXXXXX"), which gets the target's owner, group and mode,
// is flushed to disk and renamed over the target; then the folder is flushed
// so the rename itself survives a power cut. Every failure removes the
// temporary file and leaves the target as it was.
#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace fotrix {

// File output reaches the system in blocks of this size: streams opened for
// writing get a buffer this large instead of stdio's one page.
constexpr size_t OutputBlockBytes = 128u << 10;

// Gives `file` a buffer of OutputBlockBytes, held in `buffer`, which must
// outlive the stream. Call before the first write; without memory the stream
// keeps its own buffer.
void setOutputBuffer(FILE* file, std::unique_ptr<char[]>& buffer);

enum class ReplaceStatus {
    Ok,
    ReadOnly,       // the target exists and may not be written
    NotRegular,     // the target is a folder, device or pipe
    CannotCreate,   // the temporary file cannot be made beside the target
    WriteFailed,    // writing, flushing or closing the temporary file failed
    CannotReplace,  // the rename (or link) over the target failed
    Exists,         // NoReplace: a file of that name appeared meanwhile
};

const char* replaceStatusText(ReplaceStatus status);

struct ReplaceOptions {
    // `target` is relative to this open folder (AT_FDCWD: the working folder).
    int folderFd = AT_FDCWD;
    // A symbolic link is followed, so the file it names gets the new content
    // and the link stays. Without it the link itself is replaced.
    bool followLinks = true;
    // The mode a new file gets instead of the target's (or 0666 less umask).
    mode_t mode = 0;
    bool useMode = false;
    // Temporaries of this target older than this are a dead writer's. A
    // caller that holds its own lock over all writers of the target knows
    // that every one is, and passes -1.
    int staleAfterSeconds = 60;
    // False for output that need only never be seen half-written (a tool's
    // result, not a user's picture): the file and the folder are not
    // flushed to disk, which would cost more than writing them.
    bool durable = true;
};

enum class CommitMode { Replace, NoReplace };

class AtomicReplace {
public:
    AtomicReplace() = default;
    ~AtomicReplace();
    AtomicReplace(const AtomicReplace&) = delete;
    AtomicReplace& operator=(const AtomicReplace&) = delete;

    // Makes the temporary file beside `target`, after removing this helper's
    // own temporaries of that target left by a writer that died (over a
    // minute ago, unless the options say otherwise). A read-only target is refused before anything is written.
    ReplaceStatus open(const std::string& target, const ReplaceOptions& options = {});

    int fd() const { return fd_; }
    // A stdio stream on the temporary file, for writers built on FILE*. It
    // stays owned here: commit and discard close it.
    FILE* stream();
    // Writes every byte (interrupted writes are resumed); false on failure,
    // which commit then reports.
    bool write(const void* data, size_t size);

    // Flushes the file, gives it the target's owner, group and mode, syncs
    // it, renames it over the target and syncs the folder.
    ReplaceStatus commit(CommitMode mode = CommitMode::Replace);
    // Closes and removes the temporary file; the target stays as it was.
    void discard();

    // The file being replaced (a followed link resolved) and the temporary.
    const std::string& target() const { return target_; }
    std::string temporaryPath() const;

private:
    ReplaceStatus inspectTarget(const ReplaceOptions& options);
    ReplaceStatus createTemporary();
    bool applyAttributes();
    bool closeTemporary();
    void closeFolder();

    std::string target_;     // as the caller named it, links resolved
    std::string folder_;     // the folder part of target_
    std::string leaf_;       // its last part, within folderFd_
    std::string temporary_;  // the temporary's name within folderFd_
    int folderFd_ = -1;
    int fd_ = -1;
    FILE* stream_ = nullptr;
    std::unique_ptr<char[]> streamBuffer_;  // stream_'s, freed after it is closed
    bool failed_ = false;
    bool targetExists_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    mode_t mode_ = 0;
    bool useMode_ = false;
    bool durable_ = true;
};

// Replaces `target` with `size` bytes in one call.
ReplaceStatus replaceFileContents(const std::string& target, const void* data, size_t size,
                                  const ReplaceOptions& options = {});

// The prefix of this helper's temporary names for a target's last part.
std::string replaceTemporaryPrefix(const std::string& leaf);

// The system calls whose outcome decides durability, replaceable so that a
// test can fail them or watch their order.
struct ReplaceSyscalls {
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*fsync)(int fd);
    int (*renameat)(int fromFolder, const char* from, int toFolder, const char* to);
};
ReplaceSyscalls& replaceSyscalls();
const ReplaceSyscalls& replaceSyscallsOfSystem();

}  // namespace fotrix
