// GIF files through the load pipeline: the first and the second image, and a
// preview that stops after the first.
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::fuzzReader(data, size, fotrix::FormatGif, fotrix::ReadComment, [](const std::string& path, const fotrix::FileInfo&) {
        fuzzing::loadBoxed(path, fotrix::FormatGif, fotrix::ForceTrueColour | fotrix::ReadComment, fotrix::ScaleNearest, 1);
        fuzzing::loadBoxed(path, fotrix::FormatGif, fotrix::Preview | fotrix::ReadComment, fotrix::ScaleNearest);
    });
    return 0;
}
