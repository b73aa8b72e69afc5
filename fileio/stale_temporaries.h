#pragma once
// Temporary files of AtomicReplace that a killed writer left behind.
#include <string>

namespace fotrix {

// Removes the entries of `folderFd` that start with `prefix` and were last
// changed more than `ageSeconds` ago (a live writer touches its file often).
void removeStaleTemporaries(int folderFd, const std::string& prefix, int ageSeconds);

}  // namespace fotrix
