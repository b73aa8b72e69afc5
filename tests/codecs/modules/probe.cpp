// A program that links the image library and uses nothing of it but the codec
// modules: it loads every module named on its command line and prints
// "NAME: loaded" or "NAME: <why not>". A module that calls a part of the
// library that programs do not always link fails to load here.
#include <cstdio>
#include <cstring>

#include "imagelib/core/codec_module.h"

int main(int argc, char** argv)
{
    const char* names[fotrix::CodecModuleCount] = {"webp", "avif", "heif", "jxl", "lcms2", "libraw"};
    int failures = 0;
    for (int i = 1; i < argc; ++i)
        for (int m = 0; m < fotrix::CodecModuleCount; ++m) {
            if (std::strcmp(argv[i], names[m]) != 0) continue;
            const auto which = static_cast<fotrix::CodecModule>(m);
            const bool loaded = fotrix::codecModule(which) != nullptr;
            std::printf("%s: %s\n", names[m], loaded ? "loaded" : fotrix::codecModuleError(which));
            failures += !loaded;
        }
    return failures == 0 ? 0 : 1;
}
