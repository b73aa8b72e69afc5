// fotrix-cli filter: noise reduction, sharpening and smoothing, in that
// order; palette pictures are turned into true colour first.
#include "cli/picture_io.h"
#include "imagelib/adjust.h"
#include "imagelib/colours.h"

namespace cli {

namespace {

struct FilterRequest {
    int smooth = 0, sharpen = 0;
    bool denoise = false;
};

int filter(fotrix::Bitmap& bitmap, const void* data)
{
    const auto& r = *static_cast<const FilterRequest*>(data);
    int result = 0;
    if (bitmap.type == fotrix::Indexed) result = fotrix::bitmapConvertColours(bitmap, nullptr, fotrix::ColourBgr, 0);
    if (!result && r.denoise) result = fotrix::bitmapReduceNoise(bitmap, nullptr, nullptr);
    if (!result && r.sharpen) result = fotrix::bitmapSharpen(bitmap, nullptr, nullptr, r.sharpen);
    if (!result && r.smooth) result = fotrix::bitmapSmooth(bitmap, nullptr, nullptr, r.smooth);
    return result;
}

}  // namespace

int commandFilter(Arguments args)
{
    EditRequest request;
    FilterRequest r;
    const int status = parseEditArguments("filter", args, request, [&](std::string_view arg, ArgumentReader& reader) {
        if (arg == "--denoise") return r.denoise = true, 1;
        if (arg != "--smooth" && arg != "--sharpen") return 0;
        const auto v = reader.value();
        const auto n = v ? parseNumber(*v) : std::nullopt;
        if (!n || *n < 1 || *n > 100) return usageError("filter", std::string(arg) + " takes 1 to 100"), -ExitUsage;
        (arg == "--smooth" ? r.smooth : r.sharpen) = static_cast<int>(*n);
        return 1;
    });
    if (status) return status;
    if (!r.smooth && !r.sharpen && !r.denoise) return usageError("filter", "give --smooth, --sharpen or --denoise");
    return runEdit(request, filter, &r);
}

}  // namespace cli
