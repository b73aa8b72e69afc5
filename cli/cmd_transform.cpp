// fotrix-cli transform IN OUT --op ...: lossless JPEG turns and flips.
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "imagelib/result.h"
#include "metadata/jpeg_transform.h"

namespace cli {

namespace {

struct Operation {
    std::string_view name;
    int code;
};

constexpr Operation operations[] = {
    {"rot90", fotrix::JpegRotate90},          {"rot180", fotrix::JpegRotate180},
    {"rot270", fotrix::JpegRotate270},        {"flip-v", fotrix::JpegFlipVertical},
    {"flip-h", fotrix::JpegFlipHorizontal},
};

}  // namespace

int commandTransform(Arguments args)
{
    if (args.size() < 2) return usageError("transform");
    std::string input(args[0]), output(args[1]);
    int code = -1;
    bool trim = true;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--no-trim") {
            trim = false;
        } else if (args[i] == "--op" && i + 1 < args.size()) {
            std::string_view name = args[++i];
            for (const Operation& op : operations)
                if (op.name == name) code = op.code;
            if (code < 0) return usageError("transform", "unknown operation");
        } else {
            return usageError("transform", "bad argument");
        }
    }
    if (code < 0) return usageError("transform", "--op is required");
    int failure = 0;
    if (!fotrix::jpegTransformLossless(input.c_str(), output.c_str(), code, trim, &failure)) {
        if (failure == fotrix::ResultReadOnly) return reportError(failure);
        std::fprintf(stderr, "error: 11 lossless transform failed\n");
        return 11;
    }
    return 0;
}

}  // namespace cli
