// Language files: load the lines of an arbitrary file and look up sections
// and keys in it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/language_file.h"

using namespace fotrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    char path[] = "/tmp/fuzz-language-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return 0;
    const bool written = write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    std::vector<std::string> lines;
    if (written && languageLoadLines(path, lines)) {
        if (!lines.empty()) languageNameOf(lines.front());
        for (const char* name : {"Main", "Dialog", ""}) {
            const int section = languageFindSection(lines, name);
            std::string value;
            languageFindKey(lines, section, "IDS_ERROR", value);
        }
    }
    unlink(path);
    return 0;
}
