// Feeds the input to the PSD reader through the load pipeline: file
// information, then loads into a small box (nearest, area average, true
// colour); the sanitizers judge.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "imagelib/formats.h"
#include "imagelib/load.h"

using namespace fotrix;

namespace {

void loadBoxed(const std::string& path, uint32_t options, uint32_t scaleMethod)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.formatIndex = FormatPsd;
    params.options = options;
    params.scaleMethod = scaleMethod;
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
    const int fd = memfd_create("fuzz_psd", 0);
    if (fd < 0) return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        FileInfo info;
        const int code = getFileInfo(path, FormatPsd, 0, info);
        freeFileInfo(info);
        loadBoxed(path, ToleratePartial, ScaleNearest);
        loadBoxed(path, ForceTrueColour | ForceAlpha | ReadMetadata, ScaleNearest);
        // The first layer, when there is one.
        if (code == 0 && info.imageCount > 1) {
            LoadParams params;
            loadParamsDefaults(params);
            params.formatIndex = FormatPsd;
            params.frameIndex = 1;
            params.maxWidth = params.maxHeight = 32;
            Bitmap bitmap;
            if (loadBitmap(path, bitmap, params, nullptr) == 0) bitmapFree(bitmap);
        }
        // Area averaging of pictures other than 24-bit ones reads the whole
        // picture first; keep that to sizes the fuzzer's memory limit allows.
        if (code == 0 && int64_t{info.width} * info.height <= 16 << 20) loadBoxed(path, ToleratePartial, ScaleAreaAverage);
    }
    close(fd);
    return 0;
}
