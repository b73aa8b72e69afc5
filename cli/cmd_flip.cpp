// fotrix-cli flip: top-bottom flip of the whole picture.
#include "cli/picture_io.h"
#include "imagelib/transform.h"

namespace cli {

int commandFlip(Arguments args)
{
    EditRequest request;
    if (const int status = parseEditArguments("flip", args, request)) return status;
    return runEdit(request, [](fotrix::Bitmap& bitmap, const void*) { return fotrix::bitmapFlip(bitmap, nullptr, nullptr); },
                   nullptr);
}

}  // namespace cli
