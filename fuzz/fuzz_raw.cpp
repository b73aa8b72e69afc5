// Feeds the input to the camera raw decoder through the load pipeline, with
// the format forced to each raw row in turn: file information, then a load
// into a small box; the sanitizers judge. The decoder opens files by name and
// chooses its parser by content, so one raw extension serves every row; a
// last load asks for the sensor data.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "rawcodec/rawcodec.h"

using namespace fotrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (libraryInit(), rawcodecAttach(), true);
    (void)started;
    char path[] = "/tmp/fuzz_raw_XXXXXX.raw";
    const int fd = mkstemps(path, 4);
    if (fd < 0) return 0;
    const bool written = write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    for (int row = FormatFirstRaw; written && row <= FormatLastRaw; ++row) {
        FileInfo info;
        getFileInfo(path, row, 0, info);
        freeFileInfo(info);
        LoadParams params;
        loadParamsDefaults(params);
        params.formatIndex = static_cast<int16_t>(row);
        params.maxWidth = params.maxHeight = 48;
        Bitmap bitmap;
        if (loadBitmap(path, bitmap, params, nullptr) == 0) bitmapFree(bitmap);
    }
    if (written) {
        // The sensor data through LibRaw (whose allocations the decoder caps),
        // once: it chooses its parser by content too.
        LoadParams params;
        loadParamsDefaults(params);
        params.formatIndex = static_cast<int16_t>(FormatLastRaw);
        params.options = DecodeRawSensor;
        params.maxWidth = params.maxHeight = 48;
        Bitmap bitmap;
        if (loadBitmap(path, bitmap, params, nullptr) == 0) bitmapFree(bitmap);
    }
    unlink(path);
    return 0;
}
