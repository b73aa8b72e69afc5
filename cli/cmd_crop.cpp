// fotrix-cli crop: keeps the rectangle X,Y,W,H of the picture (clipped to it).
#include "cli/picture_io.h"
#include "imagelib/transform.h"

namespace cli {

namespace {

bool parseRect(std::string_view text, fotrix::Rect& rect)
{
    long values[4];
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',');
        if ((i < 3) == (comma == std::string_view::npos)) return false;
        const auto n = parseNumber(text.substr(0, comma));
        if (!n || *n < -1000000 || *n > 1000000) return false;
        values[i] = *n;
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    rect = {static_cast<int32_t>(values[0]), static_cast<int32_t>(values[1]), static_cast<int32_t>(values[2]),
            static_cast<int32_t>(values[3])};
    return true;
}

int crop(fotrix::Bitmap& bitmap, const void* data)
{
    return fotrix::bitmapCropView(bitmap, nullptr, static_cast<const fotrix::Rect*>(data));
}

}  // namespace

int commandCrop(Arguments args)
{
    EditRequest request;
    fotrix::Rect rect;
    bool haveRect = false;
    const int status = parseEditArguments("crop", args, request, [&](std::string_view arg, ArgumentReader& reader) {
        if (arg != "--rect") return 0;
        const auto v = reader.value();
        if (!v || !parseRect(*v, rect)) return usageError("crop", "--rect takes X,Y,W,H"), -ExitUsage;
        haveRect = true;
        return 1;
    });
    if (status) return status;
    if (!haveRect) return usageError("crop", "missing --rect");
    return runEdit(request, crop, &rect);
}

}  // namespace cli
