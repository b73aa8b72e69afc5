// The viewer's animation reader: compose every frame of an arbitrary file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/viewer/gif_animation.h"

using namespace fotrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<AnimationFrame> frames;
    ReadAnimatedGifBytes(data, size, frames);
    FreeAnimationFrames(frames);
    return 0;
}
