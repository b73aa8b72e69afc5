#pragma once
// The show that a self-running slideshow carries after the slideshow program:
// "FOTRIX-SCR", flags, delay, background, 0xFFFFFFFF, the optional sound
// (size and bytes), the picture count, a table of absolute picture positions
// and the pictures, each a complete JPEG file (numbers 32-bit little-endian).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fotrix {

constexpr std::string_view kShowMarker = "FOTRIX-SCR";
enum ShowFlags : uint32_t { ShowTransitions = 1, ShowSound = 8, ShowLoop = 16 };

struct ByteRange {
    uint64_t offset = 0;
    uint64_t size = 0;
};

struct SelfRunningShow {
    uint64_t markerOffset = 0;  // the slideshow program's size
    uint32_t flags = 0;
    uint32_t delay = 0;
    uint32_t background = 0;    // 0x00BBGGRR
    std::optional<ByteRange> sound;
    std::vector<ByteRange> pictures;  // an empty range: a picture that failed when built
};

// Reads the show from a self-running file of `fileSize` bytes whose tail
// starts at `markerOffset` (the marker). nullopt when the tail is cut or a
// position points outside the file or backwards.
std::optional<SelfRunningShow> readShowTail(int fd, uint64_t markerOffset, uint64_t fileSize);
// Finds the last marker in the file (the program itself may hold the text
// once, in its own data); nullopt when there is none.
std::optional<uint64_t> findShowMarker(int fd, uint64_t fileSize);
// Where the show starts: right after the program when the file begins with
// an ELF program whose end holds the marker (so no picture can be taken for
// the start), else the last marker in the file.
std::optional<uint64_t> locateShowMarker(int fd, uint64_t fileSize);

}  // namespace fotrix
