// Photoshop documents through the load pipeline: the merged picture with its
// resources, and the first layer when there is one.
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::fuzzReader(data, size, fotrix::FormatPsd, fotrix::ReadMetadata, [](const std::string& path, const fotrix::FileInfo& info) {
        if (info.imageCount > 1) fuzzing::loadBoxed(path, fotrix::FormatPsd, 0, fotrix::ScaleNearest, 1);
    });
    return 0;
}
