// The Rotate tool's rules.
#include "app/tools/rotate_rules.h"

#include <cstring>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/transform.h"
#include "metadata/exif.h"
#include "metadata/jpeg_transform.h"

namespace fotrix {

namespace {

constexpr int kLosslessCodes[kRotateOperationCount] = {
    JpegRotate270, JpegRotate90, JpegRotate180, JpegFlipHorizontal, JpegFlipVertical,
};

MetadataBlock* exifBlock(const Bitmap& bitmap)
{
    for (MetadataBlock* block = bitmap.metadata; block; block = block->next)
        if (block->kind == MetaExif && block->data && block->size > 6 && std::memcmp(block->data, "Exif\0\0", 6) == 0)
            return block;
    return nullptr;
}

}  // namespace

int losslessCode(int operation)
{
    if (operation < 0 || operation >= kRotateOperationCount) return JpegTransformNone;
    return kLosslessCodes[operation];
}

RotateRoad chooseRotateRoad(const std::string& path, bool losslessTicked)
{
    if (!losslessTicked) return RotateRoad::Bitmap;
    FileInfo info;
    int result = getFileInfo(path, formatFindByName("jpeg"), 0, info);
    freeFileInfo(info);
    return result == 0 ? RotateRoad::Lossless : RotateRoad::Bitmap;
}

int rotateBitmap(Bitmap& bitmap, int operation)
{
    switch (operation) {
    case RotateLeft90: return bitmapRotate(bitmap, nullptr, 270, 0, nullptr, 0);
    case RotateRight90: return bitmapRotate(bitmap, nullptr, 90, 0, nullptr, 0);
    case Rotate180: return bitmapRotate(bitmap, nullptr, 180, 0, nullptr, 0);
    case RotateMirror: return bitmapMirror(bitmap, nullptr, nullptr);
    case RotateFlip: return bitmapFlip(bitmap, nullptr, nullptr);
    default: return ResultBadSize;
    }
}

bool exifResetOrientation(Bitmap& bitmap)
{
    int orientation = 0;
    if (!exifGetOrientation(bitmap.metadata, orientation) || orientation == 1) return false;
    return exifSetOrientation(bitmap.metadata, 1) == 1;
}

int exifMatchPixelSize(Bitmap& bitmap)
{
    MetadataBlock* block = exifBlock(bitmap);
    if (!block || bitmap.width <= 0 || bitmap.height <= 0) return 0;
    return exifPatchPixelSize(block->data + 6, block->size - 6, static_cast<unsigned>(bitmap.width),
                              static_cast<unsigned>(bitmap.height));
}

}  // namespace fotrix
