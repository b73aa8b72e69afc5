// fotrix-cli resize: area-weighted resampling (the default), nearest
// neighbour, or the fixed-point shrink of the load pipeline.
#include "cli/picture_io.h"
#include "imagelib/transform.h"

namespace cli {

namespace {

struct ResizeRequest {
    int width = 0, height = 0;
    int method = 0;  // 0 area, 1 nearest, 2 shrink
};

int resize(fotrix::Bitmap& bitmap, const void* data)
{
    const auto& r = *static_cast<const ResizeRequest*>(data);
    if (r.method == 1) return fotrix::bitmapResizeNearest(bitmap, nullptr, r.width, r.height);
    if (r.method == 2) return fotrix::bitmapShrink(bitmap, nullptr, r.width, r.height, fotrix::Rgb);
    return fotrix::bitmapResample(bitmap, nullptr, r.width, r.height, fotrix::ResampleArea);
}

}  // namespace

int commandResize(Arguments args)
{
    EditRequest request;
    ResizeRequest resizeRequest;
    const int status = parseEditArguments("resize", args, request, [&](std::string_view arg, ArgumentReader& reader) {
        if (arg == "--size") {
            const auto v = reader.value();
            if (!v || !parseSize(*v, resizeRequest.width, resizeRequest.height))
                return usageError("resize", "--size takes WxH"), -ExitUsage;
            return 1;
        }
        if (arg == "--method") {
            const auto v = reader.value();
            if (v && *v == "area") resizeRequest.method = 0;
            else if (v && *v == "nearest") resizeRequest.method = 1;
            else if (v && *v == "shrink") resizeRequest.method = 2;
            else return usageError("resize", "--method takes area, nearest or shrink"), -ExitUsage;
            return 1;
        }
        return 0;
    });
    if (status) return status;
    if (resizeRequest.width < 1) return usageError("resize", "missing --size");
    return runEdit(request, resize, &resizeRequest);
}

}  // namespace cli
