// The orientation tag of IFD0: reading it, rewriting it in place, and turning
// a loaded picture upright by it.
#include <cstring>
#include <strings.h>

#include "imagelib/transform.h"
#include "metadata/exif.h"
#include "metadata/exif_walk.h"

namespace fotrix {

namespace {

// Finds the orientation value's two bytes in IFD0; null when there is none
// (or it is not one SHORT).
const uint8_t* findOrientation(const uint8_t* block, size_t size, bool& bigEndian)
{
    if (!block || size < 14 || std::memcmp(block, "Exif\0\0", 6) != 0) return nullptr;
    const uint8_t* tiff = block + 6;
    if (tiff[0] == 'I' && tiff[1] == 'I') bigEndian = false;
    else if (tiff[0] == 'M' && tiff[1] == 'M') bigEndian = true;
    else return nullptr;
    ByteReader bytes({block, size}, bigEndian);
    if (bytes.u16At(8) != 42) return nullptr;
    uint64_t dir = uint64_t(bytes.u32At(10)) + 6;
    if (dir + 2 >= size) return nullptr;
    uint32_t n = bytes.u16At(static_cast<size_t>(dir));
    for (uint32_t i = 0; i < n; ++i) {
        uint64_t pos = dir + 2 + uint64_t(12) * i;
        if (pos + 12 > size) break;
        ByteReader entry = bytes.sub(static_cast<size_t>(pos), 12);
        if (entry.u16At(0) != 0x0112) continue;
        if (entry.u16At(2) != 3 || entry.u32At(4) != 1) return nullptr;
        return block + pos + 8;
    }
    return nullptr;
}

MetadataBlock* firstExif(const MetadataBlock* metadata)
{
    for (const MetadataBlock* block = metadata; block; block = block->next)
        if (block->kind == MetaExif && block->data && block->size >= 6 &&
            std::memcmp(block->data, "Exif\0\0", 6) == 0)
            return const_cast<MetadataBlock*>(block);
    return nullptr;
}

// Applies an EXIF orientation to the pixels; 0 when the value asks for nothing.
int applyOrientation(Bitmap& bitmap, int orientation, int& rotationCode)
{
    switch (orientation) {
    case 2: return bitmapMirror(bitmap, nullptr, nullptr) == 0;
    case 3: rotationCode = ExifRotate180; return bitmapRotate(bitmap, nullptr, 180, 0, nullptr, 0) == 0;
    case 4: return bitmapFlip(bitmap, nullptr, nullptr) == 0;
    case 6: rotationCode = ExifRotate90; return bitmapRotate(bitmap, nullptr, 90, 0, nullptr, 0) == 0;
    case 8: rotationCode = ExifRotate270; return bitmapRotate(bitmap, nullptr, 270, 0, nullptr, 0) == 0;
    default: return 0;
    }
}

bool hasExtension(const char* path, const char* const* extensions)
{
    const char* dot = std::strrchr(path, '.');
    if (!dot || std::strchr(dot, '/')) return false;
    for (const char* const* e = extensions; *e; ++e)
        if (strcasecmp(dot, *e) == 0) return true;
    return false;
}

}  // namespace

int exifBlockGetOrientation(const uint8_t* block, size_t size, int& value)
{
    bool bigEndian = false;
    const uint8_t* p = findOrientation(block, size, bigEndian);
    if (!p) return 0;
    value = static_cast<int>(ByteReader({p, 2}, bigEndian).u16());
    return 1;
}

int exifBlockSetOrientation(uint8_t* block, size_t size, int value)
{
    bool bigEndian = false;
    const uint8_t* p = findOrientation(block, size, bigEndian);
    if (!p) return 0;
    writeU16(const_cast<uint8_t*>(p), static_cast<uint32_t>(value), bigEndian);
    return 1;
}

int exifGetOrientation(const MetadataBlock* metadata, int& value)
{
    MetadataBlock* block = firstExif(metadata);
    return block ? exifBlockGetOrientation(block->data, block->size, value) : 0;
}

int exifSetOrientation(MetadataBlock* metadata, int value)
{
    MetadataBlock* block = firstExif(metadata);
    return block ? exifBlockSetOrientation(block->data, block->size, value) : 0;
}

int exifAutoRotate(Bitmap& bitmap, const FileInfo* fileInfo, bool resetTag, int& rotationCode)
{
    rotationCode = ExifRotateNone;
    // Camera-raw previews: the raw decoder tells which way the camera was turned.
    if (fileInfo && bitmap.width > bitmap.height && fileInfo->width < fileInfo->height &&
        (fileInfo->orientation & (2 | 4))) {
        int angle = (fileInfo->orientation & 2) ? -90 : 90;
        return bitmapRotate(bitmap, nullptr, angle, 0, nullptr, 0) == 0;
    }
    int orientation = 0;
    if (bitmap.width <= bitmap.height) {
        // Already upright (or square): only the tag is made to agree.
        if (exifGetOrientation(bitmap.metadata, orientation)) exifSetOrientation(bitmap.metadata, 1);
        return 0;
    }
    if (!exifGetOrientation(bitmap.metadata, orientation)) return 0;
    int turned = applyOrientation(bitmap, orientation, rotationCode);
    if (turned && resetTag) exifSetOrientation(bitmap.metadata, 1);
    return turned;
}

int loadPicture(const char* path, Bitmap& bitmap, LoadParams& params, FileInfo* fileInfo)
{
    static const char* const rawExtensions[] = {".crw", ".cr2", ".nef", ".raf", ".mrw", ".orf", ".pef",
                                                ".sr2", ".srf", ".x3f", ".dcr", ".dng", nullptr};
    if (params.maxWidth != 0 || !hasExtension(path, rawExtensions))
        return loadBitmap(path, bitmap, params, fileInfo);
    params.maxWidth = -1;
    params.maxHeight = -1;
    FileInfo local;
    FileInfo* info = fileInfo ? fileInfo : &local;
    int result = loadBitmap(path, bitmap, params, info);
    if (result == 0) {
        int rotation = 0;
        exifAutoRotate(bitmap, info, true, rotation);
    }
    if (!fileInfo) freeFileInfo(local);
    return result;
}

}  // namespace fotrix
