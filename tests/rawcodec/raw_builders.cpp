#include "tests/rawcodec/raw_builders.h"

#include <gtest/gtest.h>

#include "imagelib/formats.h"
#include "rawcodec/rawcodec.h"

namespace rawtest {

Bytes makeJpeg(const testsupport::TempDir& dir, int width, int height)
{
    const auto path = dir / ("made_" + std::to_string(width) + "x" + std::to_string(height) + ".jpg");
    const std::string command = "/usr/bin/convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                                " gradient:red-blue -fill yellow -draw 'rectangle 2,2 " +
                                std::to_string(width / 3) + "," + std::to_string(height / 4) + "' -quality 92 " +
                                path.string();
    if (testsupport::run(command) != 0) return {};
    return testsupport::readFile(path);
}

size_t Writer::put16(uint32_t v)
{
    const size_t at = bytes.size();
    bytes.resize(at + 2);
    set16(at, v);
    return at;
}

size_t Writer::put32(uint32_t v)
{
    const size_t at = bytes.size();
    bytes.resize(at + 4);
    set32(at, v);
    return at;
}

size_t Writer::putText(const char* text, size_t length)
{
    const size_t at = bytes.size();
    bytes.insert(bytes.end(), text, text + length);
    return at;
}

size_t Writer::putBytes(const Bytes& data)
{
    const size_t at = bytes.size();
    bytes.insert(bytes.end(), data.begin(), data.end());
    return at;
}

void Writer::set16(size_t at, uint32_t v)
{
    bytes[at + (big ? 0 : 1)] = static_cast<uint8_t>(v >> 8);
    bytes[at + (big ? 1 : 0)] = static_cast<uint8_t>(v);
}

void Writer::set32(size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes[at + (big ? i : 3 - i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

size_t writeIfd(Writer& w, std::initializer_list<TiffEntry> entries, size_t* nextAt)
{
    w.align();
    const size_t at = w.put16(static_cast<uint32_t>(entries.size()));
    for (const TiffEntry& e : entries) {
        w.put16(e.tag);
        w.put16(e.type);
        w.put32(e.count);
        if (e.type == 3 && e.count == 1) {
            w.put16(e.value);
            w.put16(0);
        } else {
            w.put32(e.value);
        }
    }
    const size_t next = w.put32(0);
    if (nextAt) *nextAt = next;
    return at;
}

size_t writeTiffHeader(Writer& w, uint16_t magic)
{
    w.putText(w.big ? "MM" : "II", 2);
    w.put16(magic);
    return w.put32(0);
}

namespace {

// The raw rows are attached once for the whole suite, after the library starts.
void startLibrary()
{
    static const bool started = (fotrix::libraryInit(), fotrix::rawcodecAttach(), true);
    (void)started;
}

int load(const std::filesystem::path& path, fotrix::Bitmap& bitmap, fotrix::FileInfo& info, int box, int formatIndex,
         uint32_t options)
{
    startLibrary();
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.formatIndex = static_cast<int16_t>(formatIndex);
    params.maxWidth = box;
    params.maxHeight = box;
    params.options |= options;
    return fotrix::loadBitmap(path.string(), bitmap, params, &info);
}

}  // namespace

int loadRaw(const std::filesystem::path& path, fotrix::Bitmap& bitmap, fotrix::FileInfo& info, int box,
            int formatIndex)
{
    return load(path, bitmap, info, box, formatIndex, 0);
}

int loadRawSensor(const std::filesystem::path& path, fotrix::Bitmap& bitmap, fotrix::FileInfo& info, int box)
{
    return load(path, bitmap, info, box, -1, fotrix::DecodeRawSensor);
}

int infoRaw(const std::filesystem::path& path, fotrix::FileInfo& info, int formatIndex)
{
    startLibrary();
    return fotrix::getFileInfo(path.string(), formatIndex, 0, info);
}

int rowOf(const std::string& fileName)
{
    startLibrary();
    for (int row = fotrix::FormatFirstRaw; row <= fotrix::FormatLastRaw; ++row)
        if (fotrix::extensionBelongsTo(fileName, row)) return row;
    return -1;
}

testsupport::Pixels pixelsOf(const fotrix::Bitmap& bitmap)
{
    testsupport::Pixels p;
    p.width = bitmap.width;
    p.height = bitmap.height;
    p.channels = bitmap.bytesPerPixel;
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmap.pixels + static_cast<size_t>(y) * bitmap.bytesPerRow;
        p.data.insert(p.data.end(), row, row + static_cast<size_t>(bitmap.width) * bitmap.bytesPerPixel);
    }
    return p;
}

bool decodePreviewJpeg(const std::filesystem::path& path, testsupport::Pixels& out)
{
    startLibrary();
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.formatIndex = fotrix::FormatJpeg;
    params.options = fotrix::Preview | fotrix::FullPicture;
    fotrix::Bitmap bitmap;
    if (fotrix::loadBitmap(path.string(), bitmap, params, nullptr) != 0) return false;
    out = pixelsOf(bitmap);
    fotrix::bitmapFree(bitmap);
    return true;
}

}  // namespace rawtest
