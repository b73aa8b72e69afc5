#pragma once
// Replacing a file without a window of loss: the new content goes into a
// temporary file in the same folder, which is flushed to disk and renamed
// over the target only when complete.
#include <cstdio>
#include <string>

namespace fotrix {

struct TempFile {
    std::string path;
    FILE* file = nullptr;
};

// The file a rewrite of `path` must replace: a symbolic link is followed, so
// the link stays and its target gets the new content.
std::string atomicTarget(const std::string& path);

// Creates "<target>.XXXXXX" beside the target, open for writing.
bool tempFileOpen(const std::string& target, TempFile& temp);
// Flushes, syncs and closes the file, gives it the target's permissions (when
// the target exists) and renames it over the target. On failure the temporary
// file is removed and the target is untouched.
bool tempFileCommit(TempFile& temp, const std::string& target);
// Closes and removes the temporary file.
void tempFileDiscard(TempFile& temp);

}  // namespace fotrix
