// Portable bitmap, grey and pixel maps through the load pipeline.
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::fuzzReader(data, size, fotrix::FormatPnm);
    return 0;
}
