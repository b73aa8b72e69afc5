// Load and save steps shared by the editing commands.
#include "cli/picture_io.h"

#include <cstdio>

#include "imagelib/convert.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/codecs.h"
#include "rawcodec/rawcodec.h"
#include "imagelib/colours.h"

namespace cli {

namespace {

struct ModeName {
    const char* name;
    int mode;
};

const ModeName modeNames[] = {
    {"bw", 1},        {"grey4", 2},    {"grey8", 3},    {"grey16", 4},   {"grey32", 5},  {"grey64", 6},
    {"grey128", 7},   {"grey216", 8},  {"grey256", 9},  {"palette8", 12}, {"palette16", 13}, {"palette32", 14},
    {"palette64", 15}, {"palette128", 16}, {"palette216", 17}, {"palette256", 18},     {"rgb", 19},    {"rgba", 20},
    {"bgr", 21},      {"abgr", 22},    {"bgra", 23},    {"argb", 24},
};

// The first format with a writer that lists the file's extension.
int formatForOutput(const std::string& path)
{
    for (int i = 0; i < fotrix::formatCount(); ++i) {
        const fotrix::FormatEntry* entry = fotrix::formatEntry(i);
        if (entry && entry->writeFunction && fotrix::extensionBelongsTo(path, i)) return i;
    }
    return -1;
}

// What the system converts to when a writer refuses a layout: palettes of
// at most 256 colours for GIF (median cut), true colour for JPEG.
int fallbackMode(int format, const fotrix::Bitmap& bitmap)
{
    if (format == fotrix::FormatGif) return (bitmap.type & fotrix::AnyTrueColour) ? fotrix::ColourPalette256 : 0;
    if (format == fotrix::FormatJpeg) return bitmap.type == fotrix::Indexed ? fotrix::ColourRgb : 0;
    return 0;
}

fotrix::LoadParams editingLoadParams()
{
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options |= fotrix::ReadComment | fotrix::ReadTextInfo | fotrix::ReadMetadata;
    return params;
}

// The output's format: --format by name, else the first writer of the
// output's extension. Reports and answers the result code when none fits.
int resolveOutputFormat(EditRequest& request)
{
    int format = -1;
    if (!request.formatName.empty()) {
        format = fotrix::formatFindByName(request.formatName.c_str());
        if (format < 0) {
            std::fprintf(stderr, "error: %d unknown output format '%s'\n", fotrix::ResultNoWriter,
                         request.formatName.c_str());
            return fotrix::ResultNoWriter;
        }
    } else {
        format = formatForOutput(request.output);
    }
    if (format < 0) return reportError(fotrix::ResultNoWriter);
    request.params.format = format;
    return 0;
}

// A plain conversion writes rows while they load when the picture allows;
// ConvertNeedsWholePicture when it does not (nothing written then).
int convertWithoutHolding(EditRequest& request)
{
    if (const int result = resolveOutputFormat(request)) return result;
    fotrix::FileInfo info;
    const int result = fotrix::convertByRows(request.input, request.output, editingLoadParams(), request.params, &info);
    if (result != 0 && result != fotrix::ConvertNeedsWholePicture) reportError(result, info.errorText);
    fotrix::freeFileInfo(info);
    return result;
}

}  // namespace

int parseColourMode(std::string_view text)
{
    if (const auto n = parseNumber(text)) return (*n >= 1 && *n <= 24 && *n != 10 && *n != 11) ? static_cast<int>(*n) : 0;
    for (const ModeName& m : modeNames)
        if (text == m.name) return m.mode;
    return 0;
}

bool takePositional(std::string_view arg, EditRequest& request)
{
    if (request.input.empty()) {
        request.input = arg;
    } else if (request.output.empty()) {
        request.output = arg;
    } else {
        return false;
    }
    return true;
}

int parseSaveFlag(std::string_view command, std::string_view arg, ArgumentReader& reader, EditRequest& request)
{
    fotrix::SaveParams& params = request.params;
    auto number = [&](const char* flag, long low, long high, long& out) -> bool {
        const auto v = reader.value();
        const auto n = v ? parseNumber(*v) : std::nullopt;
        if (!n || *n < low || *n > high) {
            usageError(command, std::string(flag) + " takes a number from " + std::to_string(low) + " to " +
                                    std::to_string(high));
            return false;
        }
        out = *n;
        return true;
    };
    long n = 0;
    if (arg == "--format") {
        const auto v = reader.value();
        if (!v) return usageError(command, "--format takes a format name"), -ExitUsage;
        request.formatName = *v;
    } else if (arg == "--quality") {
        if (!number("--quality", 0, 100, n)) return -ExitUsage;
        params.quality = static_cast<uint16_t>(n);
    } else if (arg == "--lossless") {
        params.lossless = 1;
    } else if (arg == "--compression") {
        if (!number("--compression", 0, 9, n)) return -ExitUsage;
        params.compression = static_cast<uint16_t>(n);
    } else if (arg == "--colours") {
        const auto v = reader.value();
        request.colourMode = v ? parseColourMode(*v) : 0;
        if (!request.colourMode) return usageError(command, "--colours takes a colour mode"), -ExitUsage;
    } else if (arg == "--dither") {
        if (!number("--dither", 0, 65535, n)) return -ExitUsage;
        request.dither = static_cast<int>(n);
    } else if (arg == "--rle") {
        params.rle = 1;
    } else if (arg == "--interlace") {
        params.interlace = 1;
    } else if (arg == "--os2") {
        params.os2Bitmap = 1;
    } else if (arg == "--gif87a") {
        params.gif87a = 1;
    } else {
        return 0;
    }
    return 1;
}

int parseEditArguments(std::string_view command, Arguments args, EditRequest& request,
                       const std::function<int(std::string_view, ArgumentReader&)>& extra)
{
    fotrix::saveParamsDefaults(request.params);
    ArgumentReader reader(args);
    while (!reader.done()) {
        const std::string_view arg = reader.next();
        int taken = parseSaveFlag(command, arg, reader, request);
        if (taken == 0 && extra) taken = extra(arg, reader);
        if (taken < 0) return ExitUsage;
        if (taken > 0) continue;
        if (arg.starts_with("--")) return usageError(command, "unknown flag '" + std::string(arg) + "'");
        if (!takePositional(arg, request)) return usageError(command, "unexpected argument '" + std::string(arg) + "'");
    }
    if (request.input.empty() || request.output.empty()) return usageError(command, "missing IN or OUT");
    return 0;
}

int loadForEditing(const std::string& path, fotrix::Bitmap& bitmap)
{
    const fotrix::LoadParams params = editingLoadParams();
    fotrix::FileInfo info;
    const int result = fotrix::loadBitmap(path, bitmap, params, &info);
    if (result != 0) reportError(result, info.errorText);
    fotrix::freeFileInfo(info);
    return result;
}

int saveEdited(EditRequest& request, fotrix::Bitmap& bitmap)
{
    if (const int result = resolveOutputFormat(request)) return result;
    const int format = request.params.format;
    if (request.colourMode) {
        const int result = fotrix::bitmapConvertColours(bitmap, nullptr, request.colourMode, request.dither);
        if (result != 0) return reportError(result);
    }
    int result = fotrix::saveBitmap(request.output, bitmap, request.params);
    if (result == fotrix::ResultLayoutRefused && !request.colourMode) {
        if (const int mode = fallbackMode(format, bitmap)) {
            result = fotrix::bitmapConvertColours(bitmap, nullptr, mode, fotrix::DitherNone);
            if (result == 0) result = fotrix::saveBitmap(request.output, bitmap, request.params);
        }
    }
    if (result != 0) reportError(result);
    return result;
}

int runEdit(EditRequest& request, int (*edit)(fotrix::Bitmap& bitmap, const void* data), const void* data)
{
    fotrix::libraryInit();
    fotrix::rawcodecAttach();
    fotrix::codecFormatsAttach();
    if (!edit && !request.colourMode) {
        const int result = convertWithoutHolding(request);
        if (result != fotrix::ConvertNeedsWholePicture) {
            fotrix::libraryExit();
            return result;
        }
    }
    fotrix::Bitmap bitmap;
    int result = loadForEditing(request.input, bitmap);
    if (result == 0 && edit) {
        result = edit(bitmap, data);
        if (result != 0) reportError(result);
    }
    if (result == 0) result = saveEdited(request, bitmap);
    fotrix::bitmapFree(bitmap);
    fotrix::libraryExit();
    return result;
}

}  // namespace cli
