// fotrix-cli colours: converts a picture to another colour mode (black and
// white, grey levels, palettes, true-colour byte orders) with a dither.
#include "cli/picture_io.h"

namespace cli {

int commandColours(Arguments args)
{
    EditRequest request;
    bool haveMode = false;
    const int status = parseEditArguments("colours", args, request, [&](std::string_view arg, ArgumentReader& reader) {
        if (arg != "--mode") return 0;
        const auto v = reader.value();
        request.colourMode = v ? parseColourMode(*v) : 0;
        if (!request.colourMode) return usageError("colours", "--mode takes a colour mode"), -ExitUsage;
        haveMode = true;
        return 1;
    });
    if (status) return status;
    if (!haveMode) return usageError("colours", "missing --mode");
    return runEdit(request, nullptr, nullptr);
}

}  // namespace cli
