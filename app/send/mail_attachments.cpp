// A picture sent reduced or re-encoded is loaded whole with its comment,
// texts and metadata, so a JPEG keeps its EXIF and IPTC blocks, resized with
// the area-averaging resampler, turned into the layout the chosen writer
// takes, and saved into a temporary file named by its index.
#include "app/send/mail_attachments.h"

#include "imagelib/colours.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "imagelib/transform.h"
#include "metadata/exif.h"

#include <cstdio>
#include <filesystem>

namespace fotrix::mail {

namespace {

// Frees the picture and its file description however the preparation ends.
struct LoadedPicture {
    Bitmap bitmap;
    FileInfo info;
    LoadedPicture() = default;
    LoadedPicture(const LoadedPicture&) = delete;
    LoadedPicture& operator=(const LoadedPicture&) = delete;
    ~LoadedPicture()
    {
        bitmapFree(bitmap);
        freeFileInfo(info);
    }
};

int loadForMail(const std::string& path, LoadedPicture& picture)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.options |= ReadComment | ReadTextInfo | ReadMetadata;
    return loadPicture(path.c_str(), picture.bitmap, params, &picture.info);
}

// GIF takes at most 256 colours, JPEG no palette.
int fitLayout(Bitmap& bitmap, int formatIndex)
{
    if (formatIndex == FormatGif && bitmap.componentCount >= 2)
        return bitmapConvertColours(bitmap, nullptr, ColourPalette256, DitherNone);
    if (formatIndex == FormatJpeg && bitmap.type == Indexed)
        return bitmapConvertColours(bitmap, nullptr, ColourRgb, DitherNone);
    return 0;
}

int savePrepared(Bitmap& bitmap, const SaveChoice& choice, const std::string& target)
{
    SaveParams params;
    saveParamsDefaults(params);
    params.format = choice.formatIndex;
    params.quality = static_cast<uint16_t>(choice.quality);
    params.compression = static_cast<uint16_t>(choice.compression);
    int code = saveBitmap(target, bitmap, params);
    // A layout the writer refuses (an alpha channel for JPEG, grey levels for
    // GIF ...) goes out as plain true colour, which every writer takes.
    if (code == ResultLayoutRefused) {
        code = bitmapConvertColours(bitmap, nullptr, choice.formatIndex == FormatGif ? ColourPalette256 : ColourRgb,
                                    DitherNone);
        if (code == 0) code = saveBitmap(target, bitmap, params);
    }
    return code;
}

}  // namespace

std::string TemporaryAttachmentPath(const std::string& temporaryFolder, int index)
{
    char name[48];
    std::snprintf(name, sizeof name, "fotrix_temporary_%d.tmp", index);
    return temporaryFolder + name;
}

std::string AttachmentName(const std::string& sourcePath, int formatIndex)
{
    std::string name = std::filesystem::path(sourcePath).filename().string();
    const char* extension = formatFirstExtension(formatIndex);
    if (!extension) return name;
    size_t dot = name.rfind('.');
    return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + "." + extension;
}

PreparedMail PrepareAttachments(const std::vector<std::string>& paths, const MailOptions& options,
                                const std::string& temporaryFolder)
{
    PreparedMail prepared;
    if (AttachesOriginal(options)) {
        for (const std::string& path : paths)
            prepared.attachments.push_back({path, std::filesystem::path(path).filename().string()});
        return prepared;
    }
    std::error_code ignored;
    std::filesystem::create_directories(temporaryFolder, ignored);
    for (size_t i = 0; i < paths.size(); ++i) {
        LoadedPicture picture;
        int code = loadForMail(paths[i], picture);
        const bool loaded = code == 0;
        SaveChoice choice = SaveChoiceFor(options.format, picture.info.formatIndex);
        int width = picture.bitmap.width, height = picture.bitmap.height;
        if (code == 0) ScaledSize(picture.bitmap.width, picture.bitmap.height, options.size, width, height);
        if (code == 0 && (width != picture.bitmap.width || height != picture.bitmap.height))
            code = bitmapResample(picture.bitmap, nullptr, width, height, ResampleArea);
        if (code == 0) code = fitLayout(picture.bitmap, choice.formatIndex);
        std::string target = TemporaryAttachmentPath(temporaryFolder, static_cast<int>(i));
        if (code == 0) code = savePrepared(picture.bitmap, choice, target);
        if (code != 0) {
            prepared.failedIndex = static_cast<int>(i);
            prepared.failedCode = code;
            prepared.failedLoad = !loaded;
            std::filesystem::remove(target, ignored);
            break;
        }
        prepared.temporaries.push_back(target);
        prepared.attachments.push_back({target, AttachmentName(paths[i], choice.formatIndex)});
    }
    return prepared;
}

void RemoveTemporaries(PreparedMail& prepared)
{
    std::error_code ignored;
    for (const std::string& path : prepared.temporaries) std::filesystem::remove(path, ignored);
    prepared.temporaries.clear();
}

}  // namespace fotrix::mail
