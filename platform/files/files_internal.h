#pragma once
// Shared by the file modules. Internal to platform/files.
#include "platform/files/files.h"

#include <string>
#include <sys/stat.h>

// Files are written as ".<target>.fotrix-tmp-XXXXXX" and then put in place
// (fileio/atomic_replace.h); change notifications leave these in-flight files out.
constexpr const char* kCopyTemporaryInfix = ".fotrix-tmp-";

void fillFindData(const std::string& path, const std::string& name, const struct stat& st, WIN32_FIND_DATA& out);
DWORD attributesOf(const std::string& name, const struct stat& st);
FILETIME fileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
DWORD errorFromErrno(int err);
