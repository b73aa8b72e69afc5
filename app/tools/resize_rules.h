#pragma once
// The Resize tool's size rules: the twelve entries of its size list, the
// target size of one picture, the turn of a fixed size to the picture's
// orientation, the linked width and height fields, and the resolution shown.
#include <cstdint>

namespace fotrix {

enum ResizeChoice : int {
    ResizeUserSize = 0,
    ResizeFitScreen = 1,
    Resize160x120 = 2,
    Resize240Wide = 3,
    Resize240x180 = 4,
    Resize320x240 = 5,
    Resize640x480 = 6,
    Resize800x600 = 7,
    Resize1024x768 = 8,
    Resize75Percent = 9,
    Resize50Percent = 10,
    Resize25Percent = 11,
};
constexpr int kResizeChoiceCount = 12;

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// One row of the size list: its language key (null for the percentages,
// whose text is the literal) and its text when the key is not used.
struct ResizeListEntry {
    const char* key;
    const char* literal;
};
const ResizeListEntry& resizeListEntry(int choice);

// What the size list needs besides the picture: the typed user size with
// its keep-proportions box, and the device screen for "fit screen".
struct ResizeRequest {
    int choice = ResizeFitScreen;
    PixelSize user;
    bool keepProportions = true;
    PixelSize screen{240, 320};
};

// The size the picture of `source` size is scaled to, after the orientation
// rule. A percentage of a tiny picture may come out 0 wide or high: the
// resize then refuses it and the file is skipped.
PixelSize resizeTarget(const ResizeRequest& request, PixelSize source);

// The keep-proportions link between the two fields.
int linkedHeight(PixelSize source, int width);
int linkedWidth(PixelSize source, int height);

// The resolution shown for a picture: 72 when it has none (or one axis 0).
int shownResolution(uint16_t dpiX, uint16_t dpiY);

}  // namespace fotrix
