#pragma once
// The common shape of a reader's fuzz target: the input becomes an anonymous
// memory file, then goes through the load pipeline with the format forced:
// file information, loads into a small box (as stored and as true colour,
// nearest, and area average for pictures of modest size). The sanitizers judge.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "imagelib/formats.h"
#include "imagelib/load.h"

namespace fuzzing {

using namespace fotrix;

inline void loadBoxed(const std::string& path, int format, uint32_t options, uint32_t scaleMethod, uint32_t frame = 0)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.formatIndex = static_cast<int16_t>(format);
    params.options = options;
    params.scaleMethod = scaleMethod;
    params.frameIndex = frame;
    params.maxWidth = 48;
    params.maxHeight = 40;
    Bitmap bitmap;
    if (loadBitmap(path, bitmap, params, nullptr) == 0) bitmapFree(bitmap);
}

// Area averaging of pictures other than 24-bit ones reads the whole picture
// first; it is kept to sizes that the fuzzer's memory limit allows.
constexpr int64_t AreaAverageLimit = int64_t{16} << 20;

// `extraOptions` join the true-colour load; `more` runs further loads once the
// file information is known.
inline void fuzzReader(const uint8_t* data, size_t size, int format, uint32_t extraOptions = 0,
                       void (*more)(const std::string& path, const FileInfo& info) = nullptr)
{
    static const bool started = (libraryInit(), true);
    (void)started;
    const int fd = memfd_create("fuzz", 0);
    if (fd < 0) return;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        FileInfo info;
        const int code = getFileInfo(path, format, ReadComment, info);
        loadBoxed(path, format, ToleratePartial, ScaleNearest);
        loadBoxed(path, format, ForceTrueColour | ForceAlpha | extraOptions, ScaleNearest);
        if (code == 0 && more) more(path, info);
        if (code == 0 && int64_t{info.width} * info.height <= AreaAverageLimit)
            loadBoxed(path, format, ToleratePartial, ScaleAreaAverage);
        freeFileInfo(info);
    }
    close(fd);
}

}  // namespace fuzzing
