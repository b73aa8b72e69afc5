// Fuzz target: the EXIF walker with maker notes, the orientation tag and the
// pixel-size patch of the lossless transform, on one block.
#include <cstdint>
#include <cstring>
#include <vector>

#include "metadata/exif.h"
#include "metadata/jpeg_transform.h"

namespace {

void touch(void*, uint32_t, uint32_t, const char* label, const char* value)
{
    // Every text must be terminated and short.
    if (std::strlen(label) > 255 || (value && std::strlen(value) > 255)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Inputs without the "Exif" prefix get it, so the fuzzer spends its time inside.
    std::vector<uint8_t> block;
    if (size < 6 || std::memcmp(data, "Exif\0\0", 6) != 0) block.assign({'E', 'x', 'i', 'f', 0, 0});
    block.insert(block.end(), data, data + size);
    fotrix::exifReadBlock(block.data(), block.size(), touch, nullptr);
    int orientation = 0;
    if (fotrix::exifBlockGetOrientation(block.data(), block.size(), orientation))
        fotrix::exifBlockSetOrientation(block.data(), block.size(), 1);
    fotrix::exifPatchPixelSize(block.data() + 6, unsigned(block.size() - 6), 640, 480);
    return 0;
}
