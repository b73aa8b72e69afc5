#pragma once
// What the file functions report of a file, for the other platform folders
// that describe files the same way (the shell's change notifications), and the
// name of CopyFile's in-flight files, which those leave out. Internal to platform/.
#include "platform/files/files.h"

#include <string>
#include <sys/stat.h>

// CopyFile writes "<target>.fotrix-copy-<pid>" and then puts it in place; change
// notifications leave these in-flight files out.
constexpr const char* kCopyTemporaryInfix = ".fotrix-copy-";

DWORD attributesOf(const std::string& name, const struct stat& st);
FILETIME fileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
