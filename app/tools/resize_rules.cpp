// The Resize tool's size rules.
#include "app/tools/resize_rules.h"

#include <utility>

namespace fotrix {

namespace {

// A fixed size of the list (its landscape form) or 0 x 0 for the others.
struct FixedSize {
    ResizeListEntry entry;
    PixelSize landscape;
    int percent;  // of the picture's own size, or 0
};

constexpr FixedSize kSizes[kResizeChoiceCount] = {
    {{"IDS_USERSIZE", nullptr}, {}, 0},     {{"IDS_FITSCREEN", nullptr}, {}, 0},
    {{"IDS_160_120", nullptr}, {160, 120}, 0}, {{"IDS_240_", nullptr}, {}, 0},
    {{"IDS_240_180", nullptr}, {240, 180}, 0}, {{"IDS_320_240", nullptr}, {320, 240}, 0},
    {{"IDS_640_480", nullptr}, {640, 480}, 0}, {{"IDS_800_600", nullptr}, {800, 600}, 0},
    {{"IDS_1024_768", nullptr}, {1024, 768}, 0}, {{nullptr, "75%"}, {}, 75},
    {{nullptr, "50%"}, {}, 50},             {{nullptr, "25%"}, {}, 25},
};

bool isFixedSize(int choice) { return kSizes[choice].landscape.width > 0; }

// The typed size; with keep proportions the picture is fitted inside it.
PixelSize userSize(const ResizeRequest& request, PixelSize source)
{
    int w = request.user.width, h = request.user.height;
    if (!request.keepProportions || source.width <= 0 || source.height <= 0) return {w, h};
    int fitted = static_cast<int>(int64_t(source.height) * w / source.width);
    if (fitted > h) {
        fitted = h;
        w = static_cast<int>(int64_t(source.width) * h / source.height);
    }
    return {w, fitted};
}

PixelSize listedTarget(const ResizeRequest& request, PixelSize source)
{
    const FixedSize& row = kSizes[request.choice];
    if (isFixedSize(request.choice)) return row.landscape;
    if (row.percent) return {source.width * row.percent / 100, source.height * row.percent / 100};
    switch (request.choice) {
    case ResizeUserSize: return userSize(request, source);
    case ResizeFitScreen: return request.screen;
    default:  // 240 wide, height in proportion
        return {240, source.width > 0 ? static_cast<int>(int64_t(240) * source.height / source.width) : 0};
    }
}

// A fixed size follows a portrait picture; any other size is turned only
// when its orientation is the opposite of the picture's.
PixelSize turnToOrientation(int choice, PixelSize size, PixelSize source)
{
    bool portrait = source.width < source.height;
    bool landscape = source.width > source.height;
    bool swap = isFixedSize(choice) ? portrait
                                    : (size.width > size.height && portrait) ||
                                          (size.width < size.height && landscape);
    if (swap) std::swap(size.width, size.height);
    return size;
}

}  // namespace

const ResizeListEntry& resizeListEntry(int choice)
{
    if (choice < 0 || choice >= kResizeChoiceCount) choice = ResizeFitScreen;
    return kSizes[choice].entry;
}

PixelSize resizeTarget(const ResizeRequest& request, PixelSize source)
{
    ResizeRequest checked = request;
    if (checked.choice < 0 || checked.choice >= kResizeChoiceCount) checked.choice = ResizeFitScreen;
    return turnToOrientation(checked.choice, listedTarget(checked, source), source);
}

int linkedHeight(PixelSize source, int width)
{
    return source.width > 0 ? static_cast<int>(int64_t(source.height) * width / source.width) : 0;
}

int linkedWidth(PixelSize source, int height)
{
    return source.height > 0 ? static_cast<int>(int64_t(source.width) * height / source.height) : 0;
}

int shownResolution(uint16_t dpiX, uint16_t dpiY) { return dpiX && dpiY ? dpiX : 72; }

}  // namespace fotrix
