// loadBitmap and getFileInfo: open the file, choose the reader (by forced
// index, by extension, then by content) and hand the collected results to the
// caller.
#include <cstdlib>
#include <cstring>

#include "imagelib/core/colour_manage.h"
#include "imagelib/core/pipeline.h"
#include "imagelib/formats.h"
#include "imagelib/streaming/row_handoff.h"

namespace fotrix {

void loadParamsDefaults(LoadParams& params) { params = LoadParams{}; }

namespace {

// Forgets what an earlier reader of this call collected.
void resetContext(ReaderContext& context)
{
    context.headerAccepted = false;
    context.pipeline.reset();
    context.errorText[0] = '\0';
    context.imageCount = 1;
    std::free(context.comment);
    context.comment = nullptr;
    metadataFreeList(context.metadata);
    for (int i = 0; i < context.textCount; ++i) std::free(context.texts[i]);
    context.textCount = 0;
    if (context.bitmap && !context.option(NoPixels)) {
        bitmapFree(*context.bitmap);
        bitmapClear(*context.bitmap);
    }
}

int callReader(Stream& stream, ReaderContext& context, int index)
{
    const FormatEntry* entry = formatEntry(index);
    if (!entry || !entry->readFunction) return LoadUnknownFormat;
    resetContext(context);
    streamRewind(stream);
    int result = entry->readFunction(stream, context);
    // A short file of another format must not stop the probing.
    if (result == LoadReadError && !context.headerAccepted) result = LoadUnknownFormat;
    // A reader that returns without finishing its bitmap has failed.
    if (context.pipeline && context.pipeline->header) {
        context.pipeline->header = nullptr;
        if (result == LoadOk) result = LoadCorrupt;
        if (result == LoadReadError || result == LoadCorrupt) context.params.options &= ~static_cast<uint32_t>(ToleratePartial);
    }
    if (context.info) {
        if (result == LoadOk || result == -1) context.info->formatIndex = static_cast<uint16_t>(index);
        else if (result != LoadUnknownFormat)
            std::memcpy(context.info->errorText, context.errorText, sizeof context.info->errorText);
    }
    return result;
}

int selectReader(Stream& stream, ReaderContext& context, const std::string& fileName)
{
    const int forced = context.params.formatIndex;
    if (forced >= 0) return forced >= formatCount() ? LoadUnknownFormat : callReader(stream, context, forced);
    const std::string extension = fileExtension(fileName);
    if (!extension.empty()) {
        for (int i = 0; i < formatCount(); ++i) {
            const FormatEntry* entry = formatEntry(i);
            if (!(entry->flags & CanRead) || !extensionBelongsTo(fileName, i)) continue;
            if (const int result = callReader(stream, context, i); result != LoadUnknownFormat) return result;
        }
    }
    if (context.option(ExtensionOnly)) return LoadUnknownFormat;
    for (int i = 0; i < formatCount(); ++i) {
        const FormatEntry* entry = formatEntry(i);
        if ((entry->flags & (CanRead | ProbeBySignature)) != (CanRead | ProbeBySignature)) continue;
        if (const int result = callReader(stream, context, i); result != LoadUnknownFormat) return result;
    }
    return LoadUnknownFormat;
}

// With ExtensionOnly the extension must be known (and belong to a forced format)
// before the file is even opened.
bool extensionAllowed(const std::string& fileName, int formatIndex, uint32_t options)
{
    if (!(options & ExtensionOnly)) return true;
    if (!extensionIsKnown(fileName)) return false;
    return formatIndex < 0 || extensionBelongsTo(fileName, formatIndex);
}

void moveTexts(ReaderContext& context, FileInfo& info)
{
    for (int i = 0; i < context.textCount; ++i) {
        if (info.textCount < FileInfoMaxTexts) info.texts[info.textCount++] = context.texts[i];
        else std::free(context.texts[i]);
    }
    context.textCount = 0;
}

void copyReaderValues(const ReaderContext& context, FileInfo& info)
{
    info.imageCount = context.imageCount;
    std::memcpy(info.readerValues, context.readerValues, sizeof info.readerValues);
    if (context.orientation) info.orientation = context.orientation;
}

}  // namespace

int loadBitmap(const std::string& fileName, Bitmap& bitmap, const LoadParams& params, FileInfo* callerInfo)
{
    return loadBitmapHandedOff(fileName, bitmap, params, callerInfo, nullptr);
}

int loadBitmapHandedOff(const std::string& fileName, Bitmap& bitmap, const LoadParams& params, FileInfo* callerInfo,
                        RowHandoff* handoff)
{
    if (!extensionAllowed(fileName, params.formatIndex, params.options)) return LoadUnknownFormat;
    FileInfo localInfo;
    FileInfo& info = callerInfo ? *callerInfo : localInfo;
    info = FileInfo{};
    ReaderContext context;
    context.params = params;
    // Rows written while they load cannot be converted afterwards.
    const bool colourManaged = (params.options & ConvertToSrgb) && !handoff;
    if (colourManaged) context.params.options = colourManagedOptions(params.options);
    context.bitmap = &bitmap;
    context.info = &info;
    context.handoff = handoff;
    if (!(params.options & NoPixels)) bitmapClear(bitmap);

    Stream stream;
    if (streamOpen(stream, fileName) != 0) return LoadCannotOpen;
    info.fileSize = static_cast<uint32_t>(std::min<uint64_t>(stream.size, UINT32_MAX));
    int result = selectReader(stream, context, fileName);
    streamClose(stream);

    if (result == LoadOk || result == LoadReadError || result == LoadCorrupt) copyReaderValues(context, info);
    if (result == -1) result = LoadCorrupt;  // no reader may stop early outside information mode
    std::free(bitmap.comment);
    bitmap.comment = context.comment;
    context.comment = nullptr;
    metadataFreeList(bitmap.metadata);
    bitmap.metadata = context.metadata;
    context.metadata = nullptr;
    moveTexts(context, info);
    if ((result == LoadReadError || result == LoadCorrupt) && (context.params.options & ToleratePartial) &&
        bitmap.type != 0)
        result = LoadOk;
    if (result == LoadOk && colourManaged) result = colourManageToSrgb(bitmap, params.options, params.channelOrder);
    if (result != LoadOk) {
        bitmapFree(bitmap);
        bitmapClear(bitmap);
    }
    if (!callerInfo) freeFileInfo(localInfo);
    return result;
}

int getFileInfo(const std::string& fileName, int formatIndex, uint32_t options, FileInfo& info, uint32_t frameIndex)
{
    info = FileInfo{};
    if (!extensionAllowed(fileName, formatIndex, options)) return LoadUnknownFormat;
    ReaderContext context;
    context.params.formatIndex = static_cast<int16_t>(formatIndex);
    context.params.options = options | Preview | FullPicture | InfoOnly;
    context.params.frameIndex = frameIndex;
    Bitmap unused;
    context.bitmap = &unused;
    context.info = &info;

    Stream stream;
    if (streamOpen(stream, fileName) != 0) return LoadCannotOpen;
    info.fileSize = static_cast<uint32_t>(std::min<uint64_t>(stream.size, UINT32_MAX));
    int result = selectReader(stream, context, fileName);
    streamClose(stream);
    bitmapFree(unused);
    if (result == -1) result = LoadOk;
    if (result == LoadOk || result == LoadReadError || result == LoadCorrupt) copyReaderValues(context, info);
    if (result == LoadOk) {
        info.comment = context.comment;
        context.comment = nullptr;
        info.metadata = context.metadata;
        context.metadata = nullptr;
        moveTexts(context, info);
    }
    return result;
}

void freeFileInfo(FileInfo& info)
{
    for (int i = 0; i < info.textCount; ++i) std::free(info.texts[i]);
    info.textCount = 0;
    std::free(info.comment);
    info.comment = nullptr;
    metadataFreeList(info.metadata);
}

}  // namespace fotrix
