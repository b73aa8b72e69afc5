#pragma once
// Shared by the file modules. Internal to platform/files.
#include "platform/files/attributes.h"
#include "platform/files/files.h"

#include <string>
#include <sys/stat.h>

void fillFindData(const std::string& path, const std::string& name, const struct stat& st, WIN32_FIND_DATA& out);
DWORD errorFromErrno(int err);
