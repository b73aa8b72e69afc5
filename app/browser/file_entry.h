#pragma once
// One listed file of the browser: its path, what the folder scan found, and
// the thumbnail with the picture's description once the worker made it.
#include "imagelib/load.h"
#include "platform/windows.h"

#include <string>

namespace fotrix {

enum FileEntryState : int {
    EntryNoThumbnail = 0,  // thumbnail not made yet
    EntryThumbnail = 1,    // thumbnail made; info is valid
    EntryAlbum = 2,        // an album file (".alb"): never gets a thumbnail
};

struct FileEntry {
    DWORD attributes = 0;
    int state = EntryNoThumbnail;
    std::string path;            // full host path
    uint32_t size = 0;           // low 32 bits of the size in bytes
    FILETIME lastWriteTime{};
    HBITMAP thumbnail = nullptr;
    int thumbnailWidth = 0;
    int thumbnailHeight = 0;
    FileInfo info{};             // what the load pipeline described (state 1); its buffers
                                 // belong to the entry (freeFileInfo when the entry goes)
    int64_t dateTaken = 0;       // EXIF date taken in seconds, 0 for none; read when that key sorts
    bool dateTakenRead = false;
    bool wasFocused = false;     // scratch flags while sorting
    bool wasSelected = false;
};

}  // namespace fotrix
