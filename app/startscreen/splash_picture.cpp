#include "app/startscreen/splash_picture.h"

#include "app/resources/resource_ids.h"
#include "app/resources/resources.h"
#include "archive/zip.h"

#include <cstring>

namespace fotrix {

namespace {

// Layout of the expected file: palette after the 54-byte headers, rows after it.
constexpr size_t kPaletteOffset = 54;
constexpr size_t kPaletteBytes = 256 * 4;
constexpr size_t kRowsOffset = kPaletteOffset + kPaletteBytes;
constexpr size_t kRowsBytes = size_t{kSplashWidth} * kSplashHeight;
// A member far larger than the picture is not ours: never allocate for it.
constexpr uint64_t kLargestFile = 1u << 20;

unsigned littleEndian16(const uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

bool ExtractSplashFile(const uint8_t* archive, size_t size, std::vector<uint8_t>& file)
{
    file.clear();
    if (!archive || size == 0) return false;
    ZipHandle* zip = zipOpenMemory(archive, size);
    if (!zip) return false;
    ZipEntry entry;
    bool ok = zipCount(zip) > 0 && zipGetEntry(zip, 0, entry) == ZipOk && entry.size <= kLargestFile;
    if (ok) {
        file.resize(static_cast<size_t>(entry.size));
        ok = zipExtractToMemory(zip, 0, file) == ZipOk;
    }
    zipCloseReader(zip);
    if (!ok) file.clear();
    return ok;
}

HBITMAP MakeSplashBitmap(const std::vector<uint8_t>& file)
{
    if (file.size() < kRowsOffset + kRowsBytes) return nullptr;
    if (littleEndian16(&file[18]) != kSplashWidth || littleEndian16(&file[22]) != kSplashHeight) return nullptr;
    BITMAPINFO256 info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kSplashWidth;
    info.bmiHeader.biHeight = kSplashHeight;  // bottom-up, as the file stores its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biClrUsed = 256;
    std::memcpy(info.bmiColors, &file[kPaletteOffset], kPaletteBytes);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        return nullptr;
    }
    // 240 bytes a row is already a multiple of four: the rows copy as one block.
    std::memcpy(bits, &file[kRowsOffset], kRowsBytes);
    return dib;
}

HBITMAP LoadSplashPicture()
{
    const std::vector<uint8_t>* resource = FindRawResource(kSplashType, kSplashResource);
    std::vector<uint8_t> file;
    if (!resource || !ExtractSplashFile(resource->data(), resource->size(), file)) return nullptr;
    return MakeSplashBitmap(file);
}

}  // namespace fotrix
