#pragma once
// Loading one picture as a thumbnail: through the disk cache when it holds a
// valid one, else through the load pipeline in preview mode, reduced while
// decoding, after which the cache gets the result. The browser's worker and
// fotrix-cli both load their thumbnails here.
#include <string>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"

namespace fotrix {

struct ThumbnailRequest {
    int cellWidth = 0;
    int cellHeight = 0;
    bool highQuality = false;           // area averaging instead of picking pixels
    CancelCallback cancel = nullptr;    // asked while a picture decodes; nonzero stops it
    void* cancelData = nullptr;
    std::string cacheRoot;              // empty: no disk cache
};

enum class ThumbnailSource { Decoded, Cache };

// Loads `path` into an Rgb picture that fits the cell, and describes the
// file in `info` (may be null; free it with freeFileInfo). Returns 0 or the
// load pipeline's result code.
int loadThumbnailPicture(const std::string& path, const ThumbnailRequest& request, Bitmap& picture, FileInfo* info,
                         ThumbnailSource* source = nullptr);

}  // namespace fotrix
