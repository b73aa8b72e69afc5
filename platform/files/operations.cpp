// Attributes, folders, moving, copying and deleting files.
#include "platform/files/files_internal.h"

#include "fileio/atomic_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

using fotrix::ReplaceStatus;

std::string baseName(const std::string& path)
{
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

bool fail(int err)
{
    SetLastError(errorFromErrno(err));
    return false;
}

// The bytes go through the replacement's own writer, which retries short
// writes and is where a failing disk shows.
bool copyContents(int in, fotrix::AtomicReplace& out)
{
    char buf[65536];
    for (;;) {
        ssize_t n = read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!out.write(buf, static_cast<size_t>(n))) return false;
    }
}

int errorOfReplace(ReplaceStatus status)
{
    switch (status) {
    case ReplaceStatus::ReadOnly: return ERROR_ACCESS_DENIED;
    case ReplaceStatus::NotRegular: return ERROR_ACCESS_DENIED;
    case ReplaceStatus::Exists: return ERROR_FILE_EXISTS;
    default: return errorFromErrno(errno ? errno : EIO);
    }
}

bool failReplace(ReplaceStatus status)
{
    SetLastError(errorOfReplace(status));
    return false;
}

// Copies into a temporary file beside the target and then puts it in place, so
// a failed copy never leaves a half-written target behind. The copy gets the
// original's mode and last write time, as the file list shows them.
bool copyFileSafely(const std::string& from, const std::string& to, bool failIfExists)
{
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return fail(errno);
    struct stat st;
    if (fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(in);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (failIfExists && access(to.c_str(), F_OK) == 0) {
        close(in);
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    fotrix::ReplaceOptions options;
    options.mode = st.st_mode & 0777;
    options.useMode = true;
    fotrix::AtomicReplace out;
    ReplaceStatus status = out.open(to, options);
    if (status == ReplaceStatus::Ok && !copyContents(in, out)) status = ReplaceStatus::WriteFailed;
    close(in);
    if (status != ReplaceStatus::Ok) return failReplace(status);
    timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out.fd(), times);
    // Without replacing, a file that appeared meanwhile is kept.
    status = out.commit(failIfExists ? fotrix::CommitMode::NoReplace : fotrix::CommitMode::Replace);
    return status == ReplaceStatus::Ok || failReplace(status);
}

}  // namespace

DWORD errorFromErrno(int err)
{
    switch (err) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case ENAMETOOLONG:
    case EINVAL:
        return ERROR_INVALID_NAME;
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

DWORD attributesOf(const std::string& name, const struct stat& st)
{
    DWORD a = 0;
    if (S_ISDIR(st.st_mode)) a |= FILE_ATTRIBUTE_DIRECTORY;
    if (!name.empty() && name[0] == '.') a |= FILE_ATTRIBUTE_HIDDEN;
    if (!(st.st_mode & S_IWUSR)) a |= FILE_ATTRIBUTE_READONLY;
    return a ? a : FILE_ATTRIBUTE_NORMAL;
}

DWORD GetFileAttributes(const char* path)
{
    struct stat st;
    if (!path || stat(path, &st) != 0) {
        SetLastError(path ? errorFromErrno(errno) : ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    return attributesOf(baseName(path), st);
}

BOOL SetFileAttributes(const char* path, DWORD attributes)
{
    struct stat st;
    if (!path || stat(path, &st) != 0) return fail(path ? errno : EINVAL);
    mode_t mode = st.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    if (mode != (st.st_mode & 07777) && chmod(path, mode) != 0) return fail(errno);
    return TRUE;
}

BOOL CreateDirectory(const char* path, void*)
{
    if (!path || mkdir(path, 0777) != 0) {
        int err = path ? errno : EINVAL;
        SetLastError(err == ENOENT ? ERROR_PATH_NOT_FOUND : errorFromErrno(err));
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectory(const char* path)
{
    if (!path || rmdir(path) != 0) return fail(path ? errno : EINVAL);
    return TRUE;
}

BOOL MoveFile(const char* from, const char* to)
{
    if (!from || !to) return fail(EINVAL);
    // RENAME_NOREPLACE makes "fail when the target exists" one atomic step.
    if (syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return TRUE;
    int err = errno;
    if (err == EINVAL || err == ENOSYS) {
        // File systems without the flag: check, then rename.
        if (access(to, F_OK) == 0) return fail(EEXIST);
        if (std::rename(from, to) == 0) return TRUE;
        err = errno;
    }
    if (err != EXDEV) return fail(err);
    struct stat st;
    if (stat(from, &st) != 0) return fail(errno);
    if (S_ISDIR(st.st_mode)) return fail(EXDEV);
    // Another device: copy, then remove the original only when the copy is whole.
    if (!copyFileSafely(from, to, true)) return FALSE;
    if (unlink(from) != 0) return fail(errno);
    return TRUE;
}

BOOL CopyFile(const char* from, const char* to, BOOL failIfExists)
{
    if (!from || !to) return fail(EINVAL);
    return copyFileSafely(from, to, failIfExists != 0) ? TRUE : FALSE;
}

BOOL DeleteFile(const char* path)
{
    struct stat st;
    if (!path || lstat(path, &st) != 0) return fail(path ? errno : EINVAL);
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(path) != 0) return fail(errno);
    return TRUE;
}
