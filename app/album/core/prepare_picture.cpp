#include "app/album/core/prepare_picture.h"

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

bool shapeBitmap(Bitmap& bitmap, const SlideshowSettings& settings, bool portraitScreen)
{
    PreparedSize size = preparedSize(bitmap.width, bitmap.height, settings, portraitScreen);
    if ((size.width != bitmap.width || size.height != bitmap.height) &&
        bitmapResample(bitmap, nullptr, size.width, size.height, ResampleArea) != 0)
        return false;
    if (size.turn && bitmapRotate(bitmap, nullptr, size.turn, 0, nullptr, 0) != 0) return false;
    if (bitmap.type == Indexed && bitmapConvertColours(bitmap, nullptr, ColourRgb, DitherNone) != 0) return false;
    if (settings.autoLevels && bitmapAutoLevels(bitmap, nullptr, nullptr) != 0) return false;
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
    FileInfo info;
    Bitmap bitmap;
    if (loadBitmap(source, bitmap, params, &info) != 0) return false;
    const uint32_t orientation = info.orientation;
    freeFileInfo(info);
    bool ok = turnUpright(bitmap, orientation) && shapeBitmap(bitmap, settings, portraitScreen);
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
