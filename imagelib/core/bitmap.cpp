#include "imagelib/bitmap.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace fotrix {

int bitmapTypeComponents(unsigned type)
{
    if ((type & Any24) || type == AnyTrueColour) return 3;
    if (type & Any32) return 4;
    return 1;
}

uint16_t bitmapResolveType(unsigned type)
{
    if (type == Any24 || type == AnyTrueColour) return Rgb;
    if (type == Any32) return Rgba;
    return static_cast<uint16_t>(type);
}

void bitmapClear(Bitmap& bitmap) { bitmap = Bitmap{}; }

namespace {

uint32_t alignUp(uint64_t bytes, int alignment)
{
    return static_cast<uint32_t>((bytes + alignment - 1) / alignment * alignment);
}

// Sets up every field but the buffers for `type`; false when the row size
// does not fit the record.
bool setUpGeometry(Bitmap& bitmap, unsigned type, int rowAlignment, int width, int height)
{
    bitmapClear(bitmap);
    if (width < 1 || height < 1) return false;
    const int alignment = std::max(rowAlignment, 1);
    bitmap.rowAlignment = static_cast<int16_t>(alignment);
    bitmap.width = width;
    bitmap.height = height;
    if (type == Binary) {
        bitmap.type = Binary;
        bitmap.bytesPerPixel = 1;
        bitmap.bitsPerComponent = 1;
        bitmap.componentCount = 1;
        bitmap.bytesPerRow = alignUp((static_cast<uint64_t>(width) + 7) / 8, alignment);
        bitmap.colorCount = 2;
    } else {
        const int c = bitmapTypeComponents(type);
        bitmap.type = bitmapResolveType(type);
        bitmap.bytesPerPixel = static_cast<uint16_t>(c);
        bitmap.componentCount = static_cast<uint16_t>(c);
        bitmap.bitsPerComponent = 8;
        const uint64_t row = static_cast<uint64_t>(c) * width;
        if (row > 0x7FFFFFFF) return false;
        bitmap.bytesPerRow = alignUp(row, alignment);
        bitmap.colorCount = (bitmap.type == Grey || bitmap.type == Indexed) ? 256 : 0;
    }
    bitmap.transparentIndex = -1;
    return true;
}

// Large pictures are filled row by row right after allocation; with huge
// pages the kernel faults them in 2 MB at a time instead of 4 kB.
void adviseHugePages(void* buffer, uint64_t size)
{
    constexpr uintptr_t huge = uintptr_t{2} << 20;
    if (size < 4 * huge) return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(buffer) + huge - 1) & ~(huge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + size) & ~(huge - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

// Allocates `bytesPerRow` x `height` zeroed bytes, and the palette for Indexed.
bool allocateBuffers(Bitmap& bitmap, bool allocatePixels)
{
    if (allocatePixels) {
        uint64_t total = static_cast<uint64_t>(bitmap.bytesPerRow) * static_cast<uint64_t>(bitmap.height);
        if (total == 0 || total > (uint64_t{1} << 40)) return false;
        bitmap.pixels = static_cast<uint8_t*>(std::calloc(total, 1));
        if (!bitmap.pixels) return false;
        adviseHugePages(bitmap.pixels, total);
    }
    if (bitmap.type == Indexed) bitmap.palette = static_cast<uint8_t*>(std::calloc(PaletteBytes, 1));
    return true;
}

int allocateOrClear(Bitmap& bitmap, bool ok)
{
    if (!ok) {
        bitmapFree(bitmap);
        bitmapClear(bitmap);
        return 0;
    }
    return 1;
}

}  // namespace

int bitmapAllocate(Bitmap& bitmap, unsigned type, int rowAlignment, int width, int height)
{
    return allocateOrClear(bitmap, setUpGeometry(bitmap, type, rowAlignment, width, height) &&
                                       allocateBuffers(bitmap, true));
}

int bitmapAllocateDeep(Bitmap& bitmap, unsigned type, int rowAlignment, int width, int height,
                       int bitsPerComponent)
{
    if (!setUpGeometry(bitmap, type, rowAlignment, width, height)) return allocateOrClear(bitmap, false);
    if (bitsPerComponent > 8 && bitmap.type != Binary) {
        bitmap.bytesPerRow *= 2;
        bitmap.bytesPerPixel *= 2;
        bitmap.bitsPerComponent = static_cast<uint16_t>(bitsPerComponent);
    }
    return allocateOrClear(bitmap, allocateBuffers(bitmap, true));
}

int bitmapAllocateWithStride(Bitmap& bitmap, unsigned type, uint32_t bytesPerRow, int width, int height,
                             bool allocatePixels)
{
    bitmapClear(bitmap);
    bitmap.type = static_cast<uint16_t>(type);
    bitmap.bytesPerRow = bytesPerRow;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.transparentIndex = -1;
    return allocateOrClear(bitmap, width >= 1 && height >= 1 && allocateBuffers(bitmap, allocatePixels));
}

int bitmapAllocateLike(Bitmap& bitmap, unsigned type, const Bitmap& source)
{
    if (!bitmapAllocate(bitmap, type, source.rowAlignment, source.width, source.height)) return 1;
    bitmapCopyAttributes(bitmap, source);
    return 0;
}

void bitmapCopyAttributes(Bitmap& target, const Bitmap& source)
{
    target.origin = source.origin;
    target.dpiX = source.dpiX;
    target.dpiY = source.dpiY;
    std::free(target.comment);
    target.comment = source.comment ? strdup(source.comment) : nullptr;
    metadataFreeList(target.metadata);
    target.metadata = metadataCopyList(source.metadata);
}

void bitmapFree(Bitmap& bitmap)
{
    std::free(bitmap.pixels);
    std::free(bitmap.palette);
    std::free(bitmap.comment);
    bitmap.pixels = nullptr;
    bitmap.palette = nullptr;
    bitmap.comment = nullptr;
    metadataFreeList(bitmap.metadata);
}

void bitmapMove(Bitmap& to, Bitmap& from)
{
    if (&to == &from) return;
    bitmapFree(to);
    to = from;
    bitmapClear(from);
}

uint8_t* bitmapRow(const Bitmap& bitmap, int y)
{
    return bitmap.pixels + static_cast<size_t>(y) * bitmap.bytesPerRow;
}

int bitmapClipRect(const Bitmap& bitmap, const Rect* rect, Rect& out)
{
    if (!rect) {
        out = {0, 0, bitmap.width, bitmap.height};
        return 0;
    }
    const int64_t x0 = std::max<int64_t>(rect->x, 0);
    const int64_t y0 = std::max<int64_t>(rect->y, 0);
    const int64_t w0 = std::min<int64_t>(int64_t{rect->x} + rect->w, bitmap.width) - x0;
    const int64_t h0 = std::min<int64_t>(int64_t{rect->y} + rect->h, bitmap.height) - y0;
    out = {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(w0), static_cast<int32_t>(h0)};
    return (w0 > 0 && h0 > 0) ? 0 : 16;
}

MetadataBlock* metadataAppend(MetadataBlock*& list, uint32_t kind, const uint8_t* data, uint32_t size)
{
    auto* node = static_cast<MetadataBlock*>(std::calloc(1, sizeof(MetadataBlock)));
    if (!node) return nullptr;
    node->kind = kind;
    if (size > 0) {
        node->data = static_cast<uint8_t*>(std::malloc(size));
        if (node->data) {
            std::memcpy(node->data, data, size);
            node->size = size;
        }
    }
    MetadataBlock** tail = &list;
    while (*tail) tail = &(*tail)->next;
    *tail = node;
    return node;
}

MetadataBlock* metadataFind(MetadataBlock* list, uint32_t kind)
{
    for (; list; list = list->next)
        if (list->kind == kind) return list;
    return nullptr;
}

MetadataBlock* metadataCopyList(const MetadataBlock* list)
{
    MetadataBlock* copy = nullptr;
    for (; list; list = list->next) metadataAppend(copy, list->kind, list->data, list->data ? list->size : 0);
    return copy;
}

void metadataFreeList(MetadataBlock*& list)
{
    while (list) {
        MetadataBlock* next = list->next;
        std::free(list->data);
        std::free(list);
        list = next;
    }
}

}  // namespace fotrix
