// Feeds the input to the GIF reader through the load pipeline: file information, the first and the second image, a thumbnail with comments; the sanitizers judge.
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
    params.formatIndex = FormatGif;
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
    const int fd = memfd_create("fuzz_gif", 0);
    if (fd < 0) return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        FileInfo info;
        const int code = getFileInfo(path, FormatGif, ReadComment, info);
        freeFileInfo(info);
        loadBoxed(path, ToleratePartial, ScaleNearest);
        loadBoxed(path, ForceTrueColour | ReadComment, ScaleNearest, 1);
        loadBoxed(path, Preview | ReadComment, ScaleNearest);
        // Area averaging of pictures other than 24-bit ones reads the whole
        // picture first; keep that to small sizes so that the fuzzer stays fast.
        if (code == 0 && int64_t{info.width} * info.height <= 1 << 20) loadBoxed(path, ToleratePartial, ScaleAreaAverage);
    }
    close(fd);
    return 0;
}
