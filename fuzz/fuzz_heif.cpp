// Feeds the input to the HEIF/HEIC reader through the load pipeline with
// the format forced: file information, loads into a small box, with
// metadata; the sanitizers judge. A build without the codec has no row and
// the target does nothing.
#include "fuzz/reader_fuzzing.h"
#include "imagelib/codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int format = (fotrix::libraryInit(), fotrix::codecFormatsAttach(), fotrix::formatFindByName("heif"));
    if (format >= 0) fuzzing::fuzzReader(data, size, format, fotrix::ReadMetadata | fotrix::Preview);
    return 0;
}
