#pragma once
// The disk cache of thumbnails shared with the desktop's file managers:
// <root>/normal holds pictures of at most 128 pixels a side, <root>/large of
// at most 256; each file is a PNG named by the MD5 of the picture's file URI,
// with the text chunks Thumb::URI and Thumb::MTime (the picture's last-write
// time in seconds). A cached file is valid only while both match. Files are
// written whole through a temporary beside them, mode 0600, in folders 0700.
#include <cstdint>
#include <string>

#include "imagelib/bitmap.h"

namespace fotrix {

// What identifies a picture to the cache.
struct ThumbnailKey {
    std::string path;  // absolute
    std::string uri;   // file:// URI of path
    int64_t mtime = 0; // seconds
    int64_t size = 0;  // bytes
};

// What the cache keeps about the picture itself, so that a cached thumbnail
// gives the list its dimensions and type without opening the picture. Files
// made by other programs hold only some of it (complete is false then).
struct ThumbnailFacts {
    int imageWidth = 0;
    int imageHeight = 0;
    int planes = 0;
    int bitsPerPlane = 0;
    std::string format;       // the format table's short name
    std::string description;  // the reader's display name
    bool complete = false;
};

// The cache root: "$FOTRIX_CONFIG_DIR/thumbnails" when that variable is set
// (tests and portable setups keep the desktop's cache untouched), else
// "$XDG_CACHE_HOME/thumbnails", else "$HOME/.cache/thumbnails"; empty when
// none of them is set.
std::string thumbnailCacheRoot();

// "file://" and the absolute path, with every byte outside the letters,
// digits and "-._~!$&'()*+,=:@/" written as %XX (upper-case hex).
std::string fileUriOf(const std::string& absolutePath);

// The cache size for a cell: 128 when it fits 128x128, 256 when it fits
// 256x256, else 0 (no cache).
int thumbnailCacheSizeFor(int cellWidth, int cellHeight);

// <root>/normal or <root>/large and the MD5 name of the URI with ".png".
std::string thumbnailCacheFile(const std::string& root, int cacheSize, const std::string& uri);

// Fills the key from the file system; false when the file cannot be examined.
bool thumbnailKeyOf(const std::string& path, ThumbnailKey& key);

// Reads a cached thumbnail as an Rgb bitmap when the file exists, is a
// readable PNG of at most `cacheSize` pixels a side and names this URI and
// last-write time. Anything else (missing, stale, damaged, foreign) is false.
bool readCachedThumbnail(const std::string& cacheFile, const ThumbnailKey& key, int cacheSize, Bitmap& picture,
                         ThumbnailFacts* facts);

// Writes an Rgb bitmap for the key into <root>/<normal|large>. False when the
// folders or the file cannot be made; the cache is only ever an aid, so
// callers carry on without it.
bool writeCachedThumbnail(const std::string& root, int cacheSize, const ThumbnailKey& key, const Bitmap& picture,
                          const ThumbnailFacts& facts);

}  // namespace fotrix
