// fotrix-cli mirror: left-right mirror of the whole picture.
#include "cli/picture_io.h"
#include "imagelib/transform.h"

namespace cli {

int commandMirror(Arguments args)
{
    EditRequest request;
    if (const int status = parseEditArguments("mirror", args, request)) return status;
    return runEdit(request, [](fotrix::Bitmap& bitmap, const void*) { return fotrix::bitmapMirror(bitmap, nullptr, nullptr); },
                   nullptr);
}

}  // namespace cli
