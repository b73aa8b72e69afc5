#pragma once
// The orders of the file list: by name, date, type, size or dimensions, with
// folders always in front and kSortDescending reversing the files' order.
#include "app/browser/file_entry.h"

#include <vector>

namespace fotrix {

// <0, 0 or >0 as `a` sorts before, with or after `b` under `sort`.
int CompareEntries(const FileEntry& a, const FileEntry& b, int sort);
void SortEntries(std::vector<FileEntry>& files, int sort);

// Paths compared byte by byte with ASCII letters folded.
int ComparePathsNoCase(const std::string& a, const std::string& b);

}  // namespace fotrix
