// Feeds the input to the PCX reader through the load pipeline: file information, then loads into a small box (nearest, area average, true colour); the sanitizers judge.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "imagelib/formats.h"
#include "imagelib/load.h"

using namespace fotrix;

namespace {

void loadBoxed(const std::string& path, uint32_t options, uint32_t scaleMethod, uint32_t frame = 0)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.formatIndex = FormatPcx;
    params.options = options;
    params.scaleMethod = scaleMethod;
    params.frameIndex = frame;
    params.maxWidth = 48;
    params.maxHeight = 40;
    Bitmap bitmap;
    if (loadBitmap(path, bitmap, params, nullptr) == 0) bitmapFree(bitmap);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (libraryInit(), true);
    (void)started;
    const int fd = memfd_create("fuzz_pcx", 0);
    if (fd < 0) return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        FileInfo info;
        const int code = getFileInfo(path, FormatPcx, ReadComment, info);
        freeFileInfo(info);
        loadBoxed(path, ToleratePartial, ScaleNearest);
        loadBoxed(path, ForceTrueColour | ForceAlpha, ScaleNearest);
        // Area averaging of pictures other than 24-bit ones reads the whole
        // picture first; keep that to small sizes so that the fuzzer stays fast.
        if (code == 0 && int64_t{info.width} * info.height <= 1 << 20) loadBoxed(path, ToleratePartial, ScaleAreaAverage);
    }
    close(fd);
    return 0;
}
