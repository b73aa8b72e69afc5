#include "app/album/core/prepare_picture.h"

#include <algorithm>

#include "imagelib/adjust.h"
#include "imagelib/colours.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "imagelib/transform.h"

namespace fotrix {

namespace {

struct Box {
    int width, height;
};
constexpr Box kBoxes[] = {{0, 0}, {240, 180}, {320, 240}, {640, 480}, {800, 600}, {1024, 768}};

Box targetBox(int size)
{
    if (size < 1 || size > 5) return {0, 0};
    return kBoxes[size];
}

// Raw previews and EXIF-turned pictures are made upright before anything else.
bool turnUpright(Bitmap& bitmap, uint32_t orientation)
{
    if (orientation == 2) return bitmapRotate(bitmap, nullptr, -90, 0, nullptr, 0) == 0;
    if (orientation == 4) return bitmapRotate(bitmap, nullptr, 90, 0, nullptr, 0) == 0;
    return true;
}

// A picture larger than the box is reduced while it is read: a JPEG file is
// decoded at the smallest scale that still covers the box, and every picture
// is area-averaged into a square of the box's longer side (whatever turn
// follows), so a 12 MP photograph is never held whole. The exact size comes
// after, from the file's own size, so the reduction cannot change it.
void reduceWhileReading(LoadParams& params, const std::string& source, const SlideshowSettings& settings)
{
    const Box box = targetBox(settings.size);
    const int side = std::max(box.width, box.height);
    FileInfo header;
    const bool larger = side > 0 && getFileInfo(source, -1, 0, header) == 0 && (header.width > side || header.height > side);
    if (side > 0) freeFileInfo(header);
    if (!larger) return;
    params.options |= Preview;
    params.scaleMethod = ScaleAreaAverage;
    params.maxWidth = params.maxHeight = std::max(box.width, box.height);
}

bool shapeBitmap(Bitmap& bitmap, PreparedSize size, bool autoLevels)
{
    if ((size.width != bitmap.width || size.height != bitmap.height) &&
        bitmapResample(bitmap, nullptr, size.width, size.height, ResampleArea) != 0)
        return false;
    if (size.turn && bitmapRotate(bitmap, nullptr, size.turn, 0, nullptr, 0) != 0) return false;
    if (bitmap.type == Indexed && bitmapConvertColours(bitmap, nullptr, ColourRgb, DitherNone) != 0) return false;
    if (autoLevels && bitmapAutoLevels(bitmap, nullptr, nullptr) != 0) return false;
    return true;
}

}  // namespace

PreparedSize preparedSize(int width, int height, const SlideshowSettings& settings, bool portraitScreen)
{
    PreparedSize out{width, height, 0};
    Box box = targetBox(settings.size);
    if ((settings.rotate == 1 || settings.rotate == 2) && portraitScreen && width > height) {
        std::swap(box.width, box.height);
        out.turn = settings.rotate == 1 ? -90 : 90;
    }
    if (box.width == 0 || width <= 0 || height <= 0) return out;
    if (!settings.fit && width <= box.width && height <= box.height) return out;
    out.width = box.width;
    out.height = static_cast<int>(static_cast<long long>(height) * box.width / width);
    if (out.height > box.height) {
        out.height = box.height;
        out.width = static_cast<int>(static_cast<long long>(width) * box.height / height);
    }
    if (out.width < 1) out.width = 1;
    if (out.height < 1) out.height = 1;
    return out;
}

bool slideshowPreparePicture(const std::string& source, const std::string& target,
                             const SlideshowSettings& settings, bool portraitScreen)
{
    LoadParams params;
    loadParamsDefaults(params);
    reduceWhileReading(params, source, settings);
    FileInfo info;
    Bitmap bitmap;
    if (loadBitmap(source, bitmap, params, &info) != 0) return false;
    const uint32_t orientation = info.orientation;
    const bool quarterTurn = orientation == 2 || orientation == 4;
    int width = info.width > 0 ? info.width : bitmap.width, height = info.height > 0 ? info.height : bitmap.height;
    if (quarterTurn) std::swap(width, height);
    freeFileInfo(info);
    bool ok = turnUpright(bitmap, orientation) &&
              shapeBitmap(bitmap, preparedSize(width, height, settings, portraitScreen), settings.autoLevels);
    if (ok) {
        SaveParams save;
        saveParamsDefaults(save);
        save.format = formatFindByName("jpeg");
        save.quality = static_cast<uint16_t>(settings.jpegQuality < 1 ? 1 : settings.jpegQuality > 100 ? 100
                                                                                                       : settings.jpegQuality);
        ok = save.format >= 0 && saveBitmap(target, bitmap, save) == 0;
    }
    bitmapFree(bitmap);
    return ok;
}

}  // namespace fotrix
