// Windows icons through the load pipeline, and the second entry with its mask
// as alpha.
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::fuzzReader(data, size, fotrix::FormatIco, 0, [](const std::string& path, const fotrix::FileInfo&) {
        using namespace fotrix;
        LoadParams params;
        loadParamsDefaults(params);
        params.formatIndex = FormatIco;
        params.frameIndex = 1;
        params.icoMaskAsAlpha = 1;
        params.maxWidth = params.maxHeight = 32;
        Bitmap bitmap;
        if (loadBitmap(path, bitmap, params, nullptr) == 0) bitmapFree(bitmap);
    });
    return 0;
}
