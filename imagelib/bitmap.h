#pragma once
// Bitmap: the one in-memory picture of the image library. The caller owns the
// record; the library allocates and frees only the buffers it points to.
#include <cstdint>

namespace fotrix {

// Pixel layouts. Single bits, so that a set of acceptable layouts is a mask.
enum BitmapType : uint16_t {
    Binary = 1,    // 8 pixels a byte, most significant bit first
    Grey = 2,      // one byte, 0 black
    Indexed = 4,   // one byte, index into the palette
    Rgb = 16,
    Rgba = 32,
    Bgr = 64,
    Abgr = 128,
    Bgra = 256,
    Argb = 512,
    Cmyk = 1024,
    // Masks that resolve to one concrete type when allocating.
    Any24 = 80,           // Rgb, Bgr -> Rgb
    AnyTrueColour = 2032, // Rgb .. Cmyk -> Rgb
    Any32 = 1952,         // Rgba, Abgr, Bgra, Argb, Cmyk -> Rgba
};

// Origin flags: where the first stored row and column lie.
enum OriginFlags : uint16_t {
    OriginTopLeft = 0,
    OriginRight = 1,    // rows stored right to left
    OriginBottom = 16,  // first stored row is the bottom row
};

enum MetadataKind : uint32_t {
    MetaExif = 1,  // JPEG APP1 payload starting "Exif\0\0"
    MetaIptc = 2,  // Photoshop image-resource block holding IPTC data
    MetaXmp = 3,   // JPEG APP1 payload starting "http:"
    MetaIcc = 4,   // ICC profile, pieces joined in file order
};

struct MetadataBlock {
    uint32_t kind = 0;
    uint32_t size = 0;
    uint8_t* data = nullptr;
    MetadataBlock* next = nullptr;
};

// The palette: four planes of 256 bytes, red, green, blue, alpha.
constexpr int PaletteBytes = 1024;
constexpr int PaletteRed = 0;
constexpr int PaletteGreen = 256;
constexpr int PaletteBlue = 512;
constexpr int PaletteAlpha = 768;

struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t bytesPerRow = 0;
    uint16_t type = 0;
    uint16_t bytesPerPixel = 0;
    uint16_t bitsPerComponent = 0;
    uint16_t componentCount = 0;
    int16_t rowAlignment = 1;
    uint16_t origin = 0;
    uint32_t dpiX = 0;
    uint32_t dpiY = 0;
    int16_t colorCount = 0;
    int16_t transparentIndex = -1;
    uint8_t* palette = nullptr;
    uint8_t* pixels = nullptr;
    MetadataBlock* metadata = nullptr;
    char* comment = nullptr;
};

// Component count of a type or mask: 3 for Any24/AnyTrueColour and the
// three-byte types, 4 for the four-byte types, 1 otherwise.
int bitmapTypeComponents(unsigned type);
// The concrete type a mask is allocated as (Any24, AnyTrueColour -> Rgb; Any32 -> Rgba).
uint16_t bitmapResolveType(unsigned type);

// Clears the record without freeing anything (for records of unknown state).
void bitmapClear(Bitmap& bitmap);

// Allocation: each clears the record first and returns 1 on success, 0 when
// memory runs out (then no buffer is held).
int bitmapAllocate(Bitmap& bitmap, unsigned type, int rowAlignment, int width, int height);
int bitmapAllocateDeep(Bitmap& bitmap, unsigned type, int rowAlignment, int width, int height,
                       int bitsPerComponent);
int bitmapAllocateWithStride(Bitmap& bitmap, unsigned type, uint32_t bytesPerRow, int width, int height,
                             bool allocatePixels);
// 0 on success, 1 when memory runs out.
int bitmapAllocateLike(Bitmap& bitmap, unsigned type, const Bitmap& source);

// Copies origin, resolution, comment and metadata list (deep copies).
void bitmapCopyAttributes(Bitmap& target, const Bitmap& source);
void bitmapFree(Bitmap& bitmap);

// Hands the buffers of `from` to `to` (freeing `to`'s first) and clears `from`.
void bitmapMove(Bitmap& to, Bitmap& from);

uint8_t* bitmapRow(const Bitmap& bitmap, int y);

struct Rect {
    int32_t x = 0, y = 0, w = 0, h = 0;
};
// The part of `rect` (null: the whole bitmap) inside the bitmap; 0, or 16 when empty.
int bitmapClipRect(const Bitmap& bitmap, const Rect* rect, Rect& out);

// Metadata list helpers.
MetadataBlock* metadataAppend(MetadataBlock*& list, uint32_t kind, const uint8_t* data, uint32_t size);
MetadataBlock* metadataFind(MetadataBlock* list, uint32_t kind);
MetadataBlock* metadataCopyList(const MetadataBlock* list);
void metadataFreeList(MetadataBlock*& list);

// Single bits of Binary rows; bit i is bit (7 - i % 8) of byte i / 8.
inline int bitGet(const uint8_t* row, int i) { return (row[i >> 3] >> (7 - (i & 7))) & 1; }
inline void bitOr(uint8_t* row, int i, int v) { row[i >> 3] |= static_cast<uint8_t>((v & 1) << (7 - (i & 7))); }
inline void bitSet(uint8_t* row, int i, int v)
{
    row[i >> 3] &= static_cast<uint8_t>(~(1 << (7 - (i & 7))));
    bitOr(row, i, v);
}

}  // namespace fotrix
