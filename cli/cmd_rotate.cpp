// fotrix-cli rotate: quarter and half turns (other angles leave the picture as it is).
#include "cli/picture_io.h"
#include "imagelib/transform.h"

namespace cli {

namespace {

int rotate(fotrix::Bitmap& bitmap, const void* data)
{
    return fotrix::bitmapRotate(bitmap, nullptr, *static_cast<const int*>(data), 0, nullptr, 0);
}

}  // namespace

int commandRotate(Arguments args)
{
    EditRequest request;
    int angle = 0;
    bool haveAngle = false;
    const int status = parseEditArguments("rotate", args, request, [&](std::string_view arg, ArgumentReader& reader) {
        if (arg != "--angle") return 0;
        const auto v = reader.value();
        const auto n = v ? parseNumber(*v) : std::nullopt;
        if (!n || *n < -3600 || *n > 3600) return usageError("rotate", "--angle takes degrees"), -ExitUsage;
        angle = static_cast<int>(*n);
        haveAngle = true;
        return 1;
    });
    if (status) return status;
    if (!haveAngle) return usageError("rotate", "missing --angle");
    return runEdit(request, rotate, &angle);
}

}  // namespace cli
