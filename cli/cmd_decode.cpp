// fotrix-cli decode: loads a picture through the load pipeline, prints the
// bitmap's fields and writes the picture as PAM.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/arguments.h"
#include "cli/pam.h"
#include "imagelib/convert.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/transform.h"
#include "imagelib/codecs.h"
#include "rawcodec/rawcodec.h"
#include "metadata/exif.h"

namespace cli {

namespace {

using fotrix::LoadParams;

// Load options by name: the option flags, and the byte switches of LoadParams.
struct OptionName {
    const char* name;
    uint32_t flag;
    uint8_t LoadParams::*switchField;
};

const OptionName optionNames[] = {
    {"ForceTrueColour", fotrix::ForceTrueColour, nullptr},
    {"NoAlpha", fotrix::NoAlpha, nullptr},
    {"ForceAlpha", fotrix::ForceAlpha, nullptr},
    {"ToleratePartial", fotrix::ToleratePartial, nullptr},
    {"Preview", fotrix::Preview, nullptr},
    {"ExtensionOnly", fotrix::ExtensionOnly, nullptr},
    {"ReadComment", fotrix::ReadComment, nullptr},
    {"ReadTextInfo", fotrix::ReadTextInfo, nullptr},
    {"ReadMetadata", fotrix::ReadMetadata, nullptr},
    {"ExpandBinary", fotrix::ExpandBinary, nullptr},
    {"KeepCmyk", fotrix::KeepCmyk, nullptr},
    {"KeepDeep", fotrix::KeepDeep, nullptr},
    {"NoPixels", fotrix::NoPixels, nullptr},
    {"EstimateQuality", fotrix::EstimateQuality, nullptr},
    {"ConvertToSrgb", fotrix::ConvertToSrgb, nullptr},
    {"DecodeRawSensor", fotrix::DecodeRawSensor, nullptr},
    {"pngFlattenIndexed", 0, &LoadParams::pngFlattenIndexed},
    {"pngFlattenAlpha", 0, &LoadParams::pngFlattenAlpha},
    {"psdDropExtraChannels", 0, &LoadParams::psdDropExtraChannels},
    {"icoMaskAsAlpha", 0, &LoadParams::icoMaskAsAlpha},
};

bool applyOptionNames(std::string_view list, LoadParams& params)
{
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        const OptionName* found = nullptr;
        for (const OptionName& option : optionNames)
            if (name == option.name) found = &option;
        if (!found) return false;
        params.options |= found->flag;
        if (found->switchField) params.*(found->switchField) = 1;
    }
    return true;
}

struct DecodeRequest {
    std::string input, output;
    LoadParams params;
    bool texts = false;
    bool autoRotate = false;  // turn upright by the camera's orientation
    bool orient = false;      // apply all eight orientation values, whatever the shape
};

int parseNumberFlag(ArgumentReader& reader, const char* flag, long low, long high, long& out)
{
    const auto v = reader.value();
    const auto n = v ? parseNumber(*v) : std::nullopt;
    if (!n || *n < low || *n > high)
        return usageError("decode", std::string(flag) + " takes a number from " + std::to_string(low) + " to " +
                                        std::to_string(high));
    out = *n;
    return 0;
}

int parseDecode(Arguments args, DecodeRequest& request)
{
    fotrix::loadParamsDefaults(request.params);
    LoadParams& params = request.params;
    ArgumentReader reader(args);
    long n = 0;
    while (!reader.done()) {
        const std::string_view arg = reader.next();
        int status = 0;
        if (arg == "--frame") {
            if (!(status = parseNumberFlag(reader, "--frame", 0, 1000000, n))) params.frameIndex = static_cast<uint32_t>(n);
        } else if (arg == "--box") {
            const auto v = reader.value();
            if (!v || !parseSize(*v, params.maxWidth, params.maxHeight)) return usageError("decode", "--box takes WxH");
        } else if (arg == "--area") {
            params.scaleMethod = fotrix::ScaleAreaAverage;
        } else if (arg == "--options") {
            const auto v = reader.value();
            if (!v || !applyOptionNames(*v, params)) return usageError("decode", "unknown load option in --options");
        } else if (arg == "--channel-order") {
            if (!(status = parseNumberFlag(reader, "--channel-order", 0, 3, n))) params.channelOrder = static_cast<uint16_t>(n);
        } else if (arg == "--origin") {
            if (!(status = parseNumberFlag(reader, "--origin", 0, 17, n))) params.origin = static_cast<uint16_t>(n & 17);
        } else if (arg == "--raw-preview") {
            params.rawPreview = 1;
        } else if (arg == "--texts") {
            request.texts = true;
            params.options |= fotrix::ReadTextInfo;
        } else if (arg == "--auto-rotate") {
            request.autoRotate = true;
            params.options |= fotrix::ReadMetadata;
        } else if (arg == "--orient") {
            request.orient = true;
            params.options |= fotrix::ReadMetadata;
        } else if (arg.starts_with("--")) {
            return usageError("decode", "unknown flag '" + std::string(arg) + "'");
        } else if (request.input.empty()) {
            request.input = arg;
        } else if (request.output.empty()) {
            request.output = arg;
        } else {
            return usageError("decode", "unexpected argument '" + std::string(arg) + "'");
        }
        if (status) return status;
    }
    if (request.input.empty() || request.output.empty()) return usageError("decode", "missing FILE or OUT.pam");
    return 0;
}

const char* typeName(uint16_t type)
{
    switch (type) {
    case fotrix::Binary: return "Binary";
    case fotrix::Grey: return "Grey";
    case fotrix::Indexed: return "Indexed";
    case fotrix::Rgb: return "Rgb";
    case fotrix::Rgba: return "Rgba";
    case fotrix::Bgr: return "Bgr";
    case fotrix::Abgr: return "Abgr";
    case fotrix::Bgra: return "Bgra";
    case fotrix::Argb: return "Argb";
    case fotrix::Cmyk: return "Cmyk";
    }
    return "unknown";
}

const char* metadataKindName(uint32_t kind)
{
    switch (kind) {
    case fotrix::MetaExif: return "exif";
    case fotrix::MetaIptc: return "iptc";
    case fotrix::MetaXmp: return "xmp";
    case fotrix::MetaIcc: return "icc";
    }
    return "unknown";
}

void printBitmap(const fotrix::Bitmap& bitmap, const fotrix::FileInfo& info, bool texts)
{
    std::printf("type: %s\n", typeName(bitmap.type));
    std::printf("width: %d\n", bitmap.width);
    std::printf("height: %d\n", bitmap.height);
    std::printf("bits-per-component: %u\n", bitmap.bitsPerComponent);
    std::printf("colour-count: %d\n", bitmap.colorCount);
    std::printf("transparent-index: %d\n", bitmap.transparentIndex);
    std::printf("dpi: %u %u\n", bitmap.dpiX, bitmap.dpiY);
    std::printf("origin: %u\n", bitmap.origin);
    std::printf("images: %u\n", info.imageCount);
    if (bitmap.comment) std::printf("comment: %s\n", bitmap.comment);
    if (bitmap.metadata) {
        std::printf("metadata:");
        for (const fotrix::MetadataBlock* block = bitmap.metadata; block; block = block->next)
            std::printf(" %s:%u", metadataKindName(block->kind), block->size);
        std::printf("\n");
    }
    if (texts)
        for (int i = 0; i < info.textCount; ++i) std::printf("text: %s\n", info.texts[i]);
}

// Writes the PAM row by row while the picture loads, so that only a band of
// rows is held: whenever no whole-picture step (an orientation, a palette, a
// reduction ...) is asked for or needed. ConvertNeedsWholePicture when the
// picture is to be loaded whole instead; nothing is then written.
int decodeByRows(const DecodeRequest& request, fotrix::Bitmap& bitmap, fotrix::FileInfo& info)
{
    if (request.autoRotate || request.orient) return fotrix::ConvertNeedsWholePicture;
    PamOutput out;
    // A file that cannot be made is reported after the whole load, as always.
    if (out.open(request.output) != 0) return fotrix::ConvertNeedsWholePicture;
    const int result = fotrix::loadByRows(request.input, bitmap, request.params, &info, out);
    if (result != 0) out.discard();
    if (result == fotrix::ConvertNeedsWholePicture) {
        fotrix::bitmapFree(bitmap);
        fotrix::freeFileInfo(info);
    }
    return result;
}

}  // namespace

int commandDecode(Arguments args)
{
    DecodeRequest request;
    if (const int status = parseDecode(args, request); status != 0) return status;
    fotrix::libraryInit();
    fotrix::rawcodecAttach();
    fotrix::codecFormatsAttach();
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    int result = decodeByRows(request, bitmap, info);
    const bool written = result != fotrix::ConvertNeedsWholePicture;
    if (!written)
        result = request.autoRotate ? fotrix::loadPicture(request.input.c_str(), bitmap, request.params, &info)
                                    : fotrix::loadBitmap(request.input, bitmap, request.params, &info);
    if (result == 0 && request.autoRotate) {
        // Whatever the extension: a JPEG with orientation 6 comes out upright.
        int rotation = 0;
        fotrix::exifAutoRotate(bitmap, &info, true, rotation);
    }
    if (result == 0 && request.orient && !request.autoRotate) {
        int orientation = 0;
        if (fotrix::exifGetOrientation(bitmap.metadata, orientation) && orientation > 1) {
            result = fotrix::bitmapApplyOrientation(bitmap, orientation);
            if (result == 0) fotrix::exifSetOrientation(bitmap.metadata, 1);
        }
    }
    if (result == 0) {
        printBitmap(bitmap, info, request.texts);
        if (!written && bitmap.pixels) result = writePam(bitmap, request.output);
        if (result != 0) reportError(result);
    } else {
        reportLoadError(request.input, request.params.formatIndex, request.params.frameIndex, result, info.errorText);
    }
    fotrix::bitmapFree(bitmap);
    fotrix::freeFileInfo(info);
    fotrix::libraryExit();
    return result;
}

}  // namespace cli
