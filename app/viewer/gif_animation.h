#pragma once
// The animation reader: every frame of an animated GIF file composed on a
// canvas of the logical screen's size (grown to the first frame), as a Bgr
// Bitmap with its delay.
#include "imagelib/bitmap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fotrix {

struct AnimationFrame {
    Bitmap bitmap;
    int delayMs = 0;
};

// Results: 0, 1 out of memory, 2 not a GIF file, 3 cannot open, 9 bad size
// or code size, 10 corrupt data (in the first frame; frames after a good one
// end the animation instead).
enum AnimationResult : int {
    AnimationOk = 0,
    AnimationNoMemory = 1,
    AnimationNotGif = 2,
    AnimationCannotOpen = 3,
    AnimationBadHeader = 9,
    AnimationCorrupt = 10,
    AnimationTooLarge = 20,  // one frame alone exceeds the budget: load it as a still picture
};

// Composed frames are kept up to this many bytes of pixels; the frames after
// it are not read, and `cutByBudget` says so: such an animation is played
// through an AnimationStream instead.
constexpr size_t kAnimationMemoryBudget = 64u * 1024 * 1024;

int ReadAnimatedGif(const std::string& path, std::vector<AnimationFrame>& frames,
                    size_t budget = kAnimationMemoryBudget, bool* cutByBudget = nullptr);
int ReadAnimatedGifBytes(const uint8_t* data, size_t size, std::vector<AnimationFrame>& frames,
                         size_t budget = kAnimationMemoryBudget, bool* cutByBudget = nullptr);
void FreeAnimationFrames(std::vector<AnimationFrame>& frames);

// An animation too long to hold composed: each frame is composed from the
// one before when it is due, and after the last the file is read again from
// its first frame. It holds the file, the frame shown and the one before.
class AnimationStream {
public:
    AnimationStream();
    ~AnimationStream();
    AnimationStream(const AnimationStream&) = delete;
    AnimationStream& operator=(const AnimationStream&) = delete;

    int open(const std::string& path);  // an AnimationResult; frame 0 composed
    int openBytes(std::vector<uint8_t> bytes);
    void close();
    bool isOpen() const;
    // Composes the next frame (frame 0 after the last). The frame shown
    // before stays valid until the call after this one.
    int next();
    const AnimationFrame& current() const;
    int index() const;
    // The frames of the animation: the file's images, counted undecoded,
    // and after the first loop the frames that could really be composed.
    int count() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A delay in hundredths of a second as the frame waits in milliseconds:
// 0 and 1 count as 10, as browsers do, so that such files do not spin.
int AnimationDelayMs(int hundredths);

}  // namespace fotrix
