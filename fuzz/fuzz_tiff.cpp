// TIFF files through the load pipeline, and a later page with its texts and
// metadata when there is one.
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::fuzzReader(data, size, fotrix::FormatTiff, 0, [](const std::string& path, const fotrix::FileInfo& info) {
        using namespace fotrix;
        if (info.imageCount > 1)
            fuzzing::loadBoxed(path, FormatTiff, ReadMetadata | ReadComment | ReadTextInfo | ToleratePartial, ScaleNearest, 1);
    });
    return 0;
}
