#pragma once
// What the file functions report of a file, for the other platform folders
// that describe files the same way (the shell's change notifications), and the
// name of CopyFile's in-flight files, which those leave out. Internal to platform/.
#include "platform/files/files.h"

#include <string>
#include <sys/stat.h>

// Files are written as ".<target>.fotrix-tmp-XXXXXX" and then put in place
// (fileio/atomic_replace.h); change notifications leave these in-flight files out.
constexpr const char* kCopyTemporaryInfix = ".fotrix-tmp-";

DWORD attributesOf(const std::string& name, const struct stat& st);
FILETIME fileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
