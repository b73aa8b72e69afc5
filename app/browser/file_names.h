#pragma once
// Names the file commands make or accept: a name typed by the user must stay
// inside its folder, a copy of an existing file gets a name of its own, and a
// new folder is proposed a name that is still free.
#include <string>

namespace fotrix {

// A single name inside a folder: not empty, not "." or "..", no "/" and no
// zero byte, and at most 255 bytes (the longest name a Linux file system takes).
bool IsPlainName(const std::string& name);

// The first free one of folder + name, the "IDS_COPY1" name, then the
// "IDS_COPY2" names for 2 ... 998; past 998 the last candidate, which exists
// (the copy then fails: copies never overwrite). A language text that does not
// have the placeholders in the order the built-in text has, or that would put
// the copy outside `folder`, is replaced by the built-in text.
std::string MakeCopyName(const std::string& folder, const std::string& name);

// The name proposed for a new folder in `parent`: "IDS_NEWFOLDER", else the
// first free "name (n)" for n from 1 to 99 (the plain name when all are taken).
std::string ProposeNewFolderName(const std::string& parent);

// Splits a path at its last "/": the folder (with its "/", or empty) and the name.
void SplitFilePath(const std::string& path, std::string* folder, std::string* name);

// The path of a file, folder or link, whether or not it can be followed.
bool PathExists(const std::string& path);

}  // namespace fotrix
