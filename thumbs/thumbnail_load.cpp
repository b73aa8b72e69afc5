#include "thumbs/thumbnail_load.h"

#include <algorithm>
#include <cstring>

#include "imagelib/formats.h"
#include "imagelib/transform.h"
#include "thumbs/rgb_pixels.h"
#include "thumbs/thumbnail_cache.h"

namespace fotrix {

namespace {

LoadParams previewParams(const ThumbnailRequest& request, int boxWidth, int boxHeight)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.channelOrder = 1;
    params.options = NoAlpha | ToleratePartial | ExtensionOnly | Preview | ConvertToSrgb;
    params.rowAlignment = 4;
    params.frameIndex = 0;
    params.maxWidth = boxWidth;
    params.maxHeight = boxHeight;
    params.scaleMethod = request.highQuality ? ScaleAreaAverage : ScaleNearest;
    params.rawPreview = 1;
    params.cancelCallback = request.cancel;
    params.cancelData = request.cancelData;
    return params;
}

// Reduces an Rgb picture in place to fit the cell (a picture already inside
// it stays). The size is that of the original picture fitted into the cell
// when it is known, so a thumbnail made through the cache's size has the
// shape of one made directly.
int fitIntoCell(Bitmap& picture, const ThumbnailRequest& request, int originalWidth, int originalHeight)
{
    if (picture.width <= request.cellWidth && picture.height <= request.cellHeight) return 0;
    const bool known = originalWidth >= picture.width && originalHeight >= picture.height;
    int width = 0, height = 0;
    fitIntoBox(known ? originalWidth : picture.width, known ? originalHeight : picture.height, request.cellWidth,
               request.cellHeight, width, height);
    width = std::min(width, picture.width);
    height = std::min(height, picture.height);
    return bitmapResample(picture, nullptr, width, height, request.highQuality ? ResampleArea : ResampleNearest);
}

ThumbnailFacts factsOf(const FileInfo& info)
{
    ThumbnailFacts facts;
    facts.imageWidth = info.width;
    facts.imageHeight = info.height;
    facts.planes = info.planes;
    facts.bitsPerPlane = info.bitsPerPlane;
    if (const char* name = formatShortName(info.formatIndex)) facts.format = name;
    facts.description = info.description;
    facts.complete = true;
    return facts;
}

// The file description from a cached thumbnail's facts, or from the picture's
// header when the cache file was made by another program.
void describeFromCache(const std::string& path, const ThumbnailFacts& facts, FileInfo& info)
{
    if (!facts.complete || formatFindByName(facts.format.c_str()) < 0) {
        getFileInfo(path, -1, ExtensionOnly, info);
        return;
    }
    info = FileInfo{};
    info.formatIndex = static_cast<uint16_t>(formatFindByName(facts.format.c_str()));
    info.width = facts.imageWidth;
    info.height = facts.imageHeight;
    info.planes = static_cast<uint16_t>(facts.planes);
    info.bitsPerPlane = static_cast<uint16_t>(facts.bitsPerPlane);
    info.imageCount = 1;
    std::strncpy(info.description, facts.description.c_str(), sizeof info.description - 1);
}

bool loadFromCache(const std::string& path, const ThumbnailRequest& request, const ThumbnailKey& key, int cacheSize,
                   Bitmap& picture, FileInfo* info)
{
    ThumbnailFacts facts;
    Bitmap cached;
    if (!readCachedThumbnail(thumbnailCacheFile(request.cacheRoot, cacheSize, key.uri), key, cacheSize, cached,
                             &facts))
        return false;
    if (fitIntoCell(cached, request, facts.imageWidth, facts.imageHeight) != 0) {
        bitmapFree(cached);
        return false;
    }
    picture = cached;
    if (info) describeFromCache(path, facts, *info);
    return true;
}

// Decodes into `box`, turns the result into Rgb.
int decodePreview(const std::string& path, const ThumbnailRequest& request, int boxWidth, int boxHeight,
                  Bitmap& picture, FileInfo& info)
{
    Bitmap loaded;
    const int result = loadBitmap(path, loaded, previewParams(request, boxWidth, boxHeight), &info);
    if (result != 0) return result;
    const int converted = bitmapToRgb(loaded, picture);
    bitmapFree(loaded);
    return converted;
}

}  // namespace

int loadThumbnailPicture(const std::string& path, const ThumbnailRequest& request, Bitmap& picture, FileInfo* info,
                         ThumbnailSource* source)
{
    if (source) *source = ThumbnailSource::Decoded;
    ThumbnailKey key;
    const int cacheSize = request.cacheRoot.empty() ? 0 : thumbnailCacheSizeFor(request.cellWidth, request.cellHeight);
    const bool cached = cacheSize > 0 && thumbnailKeyOf(path, key);
    if (cached && loadFromCache(path, request, key, cacheSize, picture, info)) {
        if (source) *source = ThumbnailSource::Cache;
        return 0;
    }
    // With the cache, the picture is decoded to the cache's size (the same
    // decode: the pipeline reduces by whole factors first) and the cell's
    // picture is made from that.
    const int box = cached ? cacheSize : 0;
    FileInfo described{};
    Bitmap full;
    int result = decodePreview(path, request, box ? box : request.cellWidth, box ? box : request.cellHeight, full,
                               described);
    if (result == 0 && cached) writeCachedThumbnail(request.cacheRoot, cacheSize, key, full, factsOf(described));
    if (result == 0) result = fitIntoCell(full, request, described.width, described.height);
    if (result != 0) {
        bitmapFree(full);
        freeFileInfo(described);
        return result;
    }
    picture = full;
    if (info) *info = described;
    else freeFileInfo(described);
    return 0;
}

}  // namespace fotrix
