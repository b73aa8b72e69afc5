// fotrix-cli convert: loads a picture and writes it in another format, with
// the writer's options and an optional colour conversion.
#include "cli/picture_io.h"

namespace cli {

int commandConvert(Arguments args)
{
    EditRequest request;
    if (const int status = parseEditArguments("convert", args, request)) return status;
    return runEdit(request, nullptr, nullptr);
}

}  // namespace cli
