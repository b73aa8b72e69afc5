// Windows and OS/2 bitmaps through the load pipeline.
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::fuzzReader(data, size, fotrix::FormatBmp);
    return 0;
}
