// Fuzz target: an album's "config" member as text, and the same bytes as a
// self-running file whose show tail is located and read back.
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <unistd.h>

#include "app/album/core/album_config.h"
#include "app/album/core/self_running.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fotrix::parseAlbumConfig(std::string_view(reinterpret_cast<const char*>(data), size));
    FILE* file = tmpfile();
    if (!file) return 0;
    if (fwrite(data, 1, size, file) == size && fflush(file) == 0) {
        int fd = fileno(file);
        if (auto marker = fotrix::locateShowMarker(fd, size)) fotrix::readShowTail(fd, *marker, size);
        fotrix::readShowTail(fd, 0, size);
    }
    fclose(file);
    return 0;
}
