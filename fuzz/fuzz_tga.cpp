// Targa pictures through the load pipeline, comments included.
#include "fuzz/reader_fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::fuzzReader(data, size, fotrix::FormatTga, fotrix::ReadComment);
    return 0;
}
