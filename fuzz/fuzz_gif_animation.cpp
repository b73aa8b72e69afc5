// The viewer's animation reader: compose every frame of an arbitrary file,
// held at once under a small budget, then frame by frame through two loops.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/viewer/gif_animation.h"

using namespace fotrix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<AnimationFrame> frames;
    const int held = ReadAnimatedGifBytes(data, size, frames, 4u << 20);
    FreeAnimationFrames(frames);
    // Only canvases the small budget allows, so that each step stays quick.
    if (held != AnimationOk) return 0;
    AnimationStream stream;
    if (stream.openBytes(std::vector<uint8_t>(data, data + size)) != AnimationOk) return 0;
    const int steps = std::min(2 * stream.count(), 64);
    for (int i = 0; i < steps && stream.next() == AnimationOk; ++i) {}
    return 0;
}
