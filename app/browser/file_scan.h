#pragma once
// The folder scan: which files of a folder the browser lists, and the entries
// made for them from the directory listing alone (no file is opened).
#include "app/browser/file_entry.h"

#include <string>
#include <vector>

namespace fotrix {

// Whether the name's extension (the text from its last ".", any case) is one
// the format table reads; ".alb" counts too when albums are asked for.
bool IsKnownImageExtension(const std::string& name, bool includeAlbums);
bool IsAlbumName(const std::string& name);

// Whether the scan lists an entry of this name and these attributes.
bool IsListedFile(const std::string& name, DWORD attributes);

// A new entry for a listed file, from its find data.
FileEntry MakeFileEntry(const std::string& folder, const WIN32_FIND_DATA& data);

// Appends the listed files of `folder` (ending in "/") to `out`; with
// `recursive`, then those of every sub-folder, depth first. A folder reached
// twice through symbolic links is scanned once, so link loops end.
void ScanFolder(const std::string& folder, bool recursive, std::vector<FileEntry>& out);

}  // namespace fotrix
