// fotrix-cli exif FILE: the EXIF values of a picture, group by group.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "imagelib/result.h"
#include "metadata/exif.h"
#include "metadata/jpeg_segments.h"

namespace cli {

namespace {

void printValue(void*, uint32_t, uint32_t, const char* label, const char* value)
{
    if (!value) std::printf("[%s]\n", label);
    else std::printf("%s\t%s\n", label, value);
}

}  // namespace

int commandExif(Arguments args)
{
    if (args.size() != 1) return usageError("exif");
    std::string path(args[0]);
    fotrix::MetadataBlock* metadata = nullptr;
    int result = fotrix::metadataReadFile(path, metadata);
    if (result != 0) {
        std::fprintf(stderr, "error: %d %s\n", result, fotrix::resultText(result));
        return result;
    }
    fotrix::exifListTags(metadata, printValue, nullptr);
    fotrix::metadataFreeList(metadata);
    return 0;
}

}  // namespace cli
