// Feeds the input to the JPEG reader: file information with the quality
// estimate, loads with metadata and comments, a thumbnail through the EXIF
// preview and reduced decoding, and the entry points for JPEG streams
// inside other files; the sanitizers judge.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/embedded_jpeg.h"

using namespace fotrix;

namespace {

void loadBoxed(const std::string& path, uint32_t options, uint32_t scaleMethod, bool rawPreview)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.formatIndex = FormatJpeg;
    params.options = options;
    params.scaleMethod = scaleMethod;
    params.rawPreview = rawPreview;
    params.maxWidth = 48;
    params.maxHeight = 40;
    Bitmap bitmap;
    if (loadBitmap(path, bitmap, params, nullptr) == 0) bitmapFree(bitmap);
}

void readEmbedded(const std::string& path)
{
    Stream stream;
    if (streamOpen(stream, path) != 0) return;
    int width = 0, height = 0;
    jpegEmbeddedSize(stream, 0, width, height);
    streamClose(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (libraryInit(), true);
    (void)started;
    const int fd = memfd_create("fuzz_jpeg", 0);
    if (fd < 0) return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        FileInfo info;
        getFileInfo(path, FormatJpeg, EstimateQuality | ReadComment | ReadMetadata, info);
        freeFileInfo(info);
        loadBoxed(path, ToleratePartial | ReadComment | ReadMetadata, ScaleNearest, false);
        loadBoxed(path, ToleratePartial | Preview | NoAlpha, ScaleAreaAverage, true);
        readEmbedded(path);
    }
    close(fd);
    return 0;
}
