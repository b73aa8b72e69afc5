// fotrix-cli info: describes a picture file without decoding its pixels.
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/codecs.h"
#include "rawcodec/rawcodec.h"

namespace cli {

namespace {

struct InfoRequest {
    std::string file;
    int frame = 0;
    int format = -1;
    bool quality = false;
};

int parseInfo(Arguments args, InfoRequest& request)
{
    ArgumentReader reader(args);
    while (!reader.done()) {
        const std::string_view arg = reader.next();
        if (arg == "--frame") {
            const auto v = reader.value();
            const auto n = v ? parseNumber(*v) : std::nullopt;
            if (!n || *n < 0) return usageError("info", "--frame takes a number from 0");
            request.frame = static_cast<int>(*n);
        } else if (arg == "--format") {
            const auto v = reader.value();
            request.format = v ? fotrix::formatFindByName(std::string(*v).c_str()) : -1;
            if (request.format < 0) return usageError("info", "--format takes a format's short name");
        } else if (arg == "--quality") {
            request.quality = true;
        } else if (arg.starts_with("--") || !request.file.empty()) {
            return usageError("info", "unexpected argument '" + std::string(arg) + "'");
        } else {
            request.file = arg;
        }
    }
    return request.file.empty() ? usageError("info", "missing FILE") : 0;
}

void printInfo(const fotrix::FileInfo& info, bool quality)
{
    std::printf("format: %s\n", fotrix::formatShortName(info.formatIndex));
    std::printf("description: %s\n", info.description);
    std::printf("width: %d\n", info.width);
    std::printf("height: %d\n", info.height);
    std::printf("bits-per-component: %u\n", info.bitsPerComponent);
    std::printf("components: %u\n", info.componentCount);
    std::printf("planes: %u\n", info.planes);
    std::printf("bits-per-plane: %u\n", info.bitsPerPlane);
    std::printf("images: %u\n", info.imageCount);
    std::printf("dpi: %u %u\n", info.dpiX, info.dpiY);
    char compression[64];
    fotrix::compressionNameCopy(info.compression, info.compressionText, compression, sizeof compression);
    std::printf("compression: %s\n", compression);
    std::printf("colour-model: %s\n", fotrix::colourModelName(info.colourModel));
    std::printf("orientation: %u\n", info.orientation);
    if (info.comment) std::printf("comment: %s\n", info.comment);
    if (quality) std::printf("quality: %u\n", info.readerValues[2]);
}

}  // namespace

int commandInfo(Arguments args)
{
    InfoRequest request;
    if (const int status = parseInfo(args, request); status != 0) return status;
    fotrix::libraryInit();
    fotrix::rawcodecAttach();
    fotrix::codecFormatsAttach();
    fotrix::FileInfo info;
    uint32_t options = fotrix::ReadComment;
    if (request.quality) options |= fotrix::EstimateQuality;
    const int result = fotrix::getFileInfo(request.file, request.format, options, info, request.frame);
    if (result == 0) printInfo(info, request.quality);
    else reportLoadError(request.file, request.format, static_cast<uint32_t>(request.frame), result, info.errorText);
    fotrix::freeFileInfo(info);
    fotrix::libraryExit();
    return result;
}

}  // namespace cli
