// Conversions that write rows while they load. The first byte of the input
// chooses the writer (JPEG, PNG or Targa) and the load's channel order and
// alpha; the rest is the file, read as whatever it is (the JPEG, PNM and Targa
// readers hand rows over) and written to /dev/null, so that the reader, the
// band and the writer's thread meet damaged and cut files. The sanitizers
// judge; a hang between the two threads shows as a timeout.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "imagelib/convert.h"
#include "imagelib/formats.h"

using namespace fotrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (libraryInit(), true);
    (void)started;
    if (size < 1) return 0;
    static const int writers[] = {FormatJpeg, FormatPng, FormatTga};
    const uint8_t choice = data[0];
    const int fd = memfd_create("fuzz", 0);
    if (fd < 0) return 0;
    if (write(fd, data + 1, size - 1) == static_cast<ssize_t>(size - 1)) {
        LoadParams load;
        loadParamsDefaults(load);
        load.options = ReadComment | ReadMetadata | ((choice & 8) ? ForceAlpha : 0);
        load.channelOrder = (choice >> 4) & 3;
        SaveParams save;
        saveParamsDefaults(save);
        save.format = writers[(choice & 7) % 3];
        save.quality = 50;
        save.rle = (choice >> 6) & 1;
        convertByRows("/proc/self/fd/" + std::to_string(fd), "/dev/null", load, save, nullptr);
    }
    close(fd);
    return 0;
}
