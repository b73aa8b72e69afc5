#pragma once
// Small raw containers built byte by byte, a JPEG made by ImageMagick to put
// inside them, and loading through the pipeline with the raw decoder attached.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "imagelib/load.h"
#include "tests/support/test_support.h"

namespace rawtest {

using Bytes = std::vector<uint8_t>;

// A baseline JPEG of the given size (a gradient), made by ImageMagick.
Bytes makeJpeg(const testsupport::TempDir& dir, int width, int height);

// Byte writer with both orders; offsets are positions in `bytes`.
struct Writer {
    Bytes bytes;
    bool big = false;
    size_t put16(uint32_t v);
    size_t put32(uint32_t v);
    size_t putText(const char* text, size_t length);
    size_t putBytes(const Bytes& data);
    void set16(size_t at, uint32_t v);
    void set32(size_t at, uint32_t v);
    void align() { if (bytes.size() & 1) bytes.push_back(0); }
};

struct TiffEntry {
    uint16_t tag;
    uint16_t type;    // 3 SHORT, 4 LONG, 7 UNDEFINED, 13 IFD
    uint32_t count;
    uint32_t value;   // inline value, or the offset of the values
};

// Writes a directory at the end; gives its offset. `nextAt` receives the
// position of its next-directory field.
size_t writeIfd(Writer& w, std::initializer_list<TiffEntry> entries, size_t* nextAt = nullptr);

// A TIFF-like header: byte order and 16-bit magic (42, 0x4F52 "RO", 0x55 ...);
// gives the position of the first-directory field.
size_t writeTiffHeader(Writer& w, uint16_t magic);

// Loads `path` (raw decoder attached) with an optional box; fills the bitmap
// as RGB. Returns the load result.
int loadRaw(const std::filesystem::path& path, fotrix::Bitmap& bitmap, fotrix::FileInfo& info, int box = -1,
            int formatIndex = -1);
// The same asking for the picture decoded from the sensor data (DecodeRawSensor).
int loadRawSensor(const std::filesystem::path& path, fotrix::Bitmap& bitmap, fotrix::FileInfo& info, int box = -1);
int infoRaw(const std::filesystem::path& path, fotrix::FileInfo& info, int formatIndex = -1);

// The first raw row that lists the file's extension (-1 when none).
int rowOf(const std::string& fileName);

// An RGB bitmap as test pixels.
testsupport::Pixels pixelsOf(const fotrix::Bitmap& bitmap);
// A JPEG file decoded by our JPEG reader the way the raw decoder decodes previews.
bool decodePreviewJpeg(const std::filesystem::path& path, testsupport::Pixels& out);

}  // namespace rawtest
