// Feeds the input to the JPEG XL reader through the load pipeline with
// the format forced: file information, loads into a small box, with
// metadata, and the last frame of an animation; the sanitizers judge. A
// build without the codec has no row and the target does nothing.
#include "fuzz/reader_fuzzing.h"
#include "imagelib/codecs.h"

namespace {

int format = -1;

void lastFrame(const std::string& path, const fotrix::FileInfo& info)
{
    if (info.imageCount > 1)
        fuzzing::loadBoxed(path, format, fotrix::ToleratePartial, fotrix::ScaleNearest, info.imageCount - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started =
        (fotrix::libraryInit(), fotrix::codecFormatsAttach(), format = fotrix::formatFindByName("jxl"), true);
    (void)started;
    if (format >= 0) fuzzing::fuzzReader(data, size, format, fotrix::ReadMetadata | fotrix::Preview, lastFrame);
    return 0;
}
