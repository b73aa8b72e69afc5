// saveBitmap: checks the writer's accepted layouts, applies the extension
// rule, and runs the writer against a temporary file that replaces the
// target only when the writer succeeded.
#include "imagelib/save.h"

#include <sys/stat.h>

#include <cstring>
#include <memory>

#include "fileio/atomic_replace.h"
#include "imagelib/save/save_steps.h"
#include "imagelib/streaming/row_handoff.h"

namespace fotrix {

void saveParamsDefaults(SaveParams& params) { params = SaveParams{}; }

int bitsForColours(int n)
{
    int bits = 1;
    while (bits < 8 && (1 << bits) < n) ++bits;
    return bits;
}

uint32_t dpiToPixelsPerMetre(uint32_t dpi) { return static_cast<uint32_t>(dpi * 39.371370451786476); }

namespace {

bool isTrueColour(unsigned type) { return (type & AnyTrueColour) != 0; }

bool knownType(unsigned type)
{
    switch (type) {
    case Binary: case Grey: case Indexed: case Rgb: case Rgba: case Bgr:
    case Abgr: case Bgra: case Argb: case Cmyk:
        return true;
    default:
        return false;
    }
}

// A bitmap the row service can read safely: a concrete 8-bit layout whose
// rows fit its stride and buffers.
int checkBitmap(const Bitmap& bitmap)
{
    if (!bitmap.pixels || bitmap.width < 1 || bitmap.height < 1 || !knownType(bitmap.type)) return ResultBadSize;
    if (bitmap.type != Binary && bitmap.bitsPerComponent > 8) return ResultLayoutRefused;
    const uint64_t needed = bitmap.type == Binary
                                ? (static_cast<uint64_t>(bitmap.width) + 7) / 8
                                : static_cast<uint64_t>(bitmap.width) * bitmapTypeComponents(bitmap.type);
    if (bitmap.bytesPerRow < needed) return ResultBadSize;
    if (bitmap.type != Binary && bitmap.bytesPerPixel != bitmapTypeComponents(bitmap.type)) return ResultBadSize;
    if (bitmap.type == Indexed && !bitmap.palette) return ResultBadSize;
    return ResultOk;
}

void describeBitmap(WriterContext& context, const Bitmap& bitmap)
{
    context.bitmap = &bitmap;
    context.layoutClass = isTrueColour(bitmap.type) ? static_cast<uint16_t>(AnyTrueColour) : bitmap.type;
    context.cmyk = bitmap.type == Cmyk;
    if (bitmap.type == Binary)
        context.bitsPerPixel = 1;
    else if (bitmap.type == Cmyk || bitmapTypeComponents(bitmap.type) == 3)
        context.bitsPerPixel = 24;
    else if (bitmapTypeComponents(bitmap.type) == 4)
        context.bitsPerPixel = 32;
    else
        context.bitsPerPixel = 8;
    context.width = bitmap.width;
    context.height = bitmap.height;
    context.colorCount = bitmap.colorCount > 256 ? 256 : bitmap.colorCount;
    context.dpiX = bitmap.dpiX;
    context.dpiY = bitmap.dpiY;
    context.transparentIndex = bitmap.transparentIndex;
    context.comment = bitmap.comment;
    context.metadata = bitmap.metadata;
}

// Walks the writer's accepted layouts. Returns the accepting slot, or null
// when none accepts; `acceptsAll` is set for an empty list.
const AcceptedLayout* acceptingLayout(const AcceptedLayout* slots, const Bitmap& bitmap, bool& acceptsAll)
{
    acceptsAll = true;
    for (int i = 0; i < AcceptedLayoutSlots; ++i) {
        const AcceptedLayout& slot = slots[i];
        if (slot.typeMask == 65535) continue;  // a slot that holds nothing
        acceptsAll = false;
        if (slot.typeMask == Any24 || slot.typeMask == Any32) {
            if (isTrueColour(bitmap.type)) return &slot;
            continue;
        }
        if (!(slot.typeMask & bitmap.type)) continue;
        if ((bitmap.type == Indexed || bitmap.type == Grey) && slot.colourLimit != 65535 &&
            slot.colourLimit < bitmap.colorCount)
            continue;
        return &slot;
    }
    return nullptr;
}

// The extension rule: cut the name at its last "." (unless a digit follows,
// as in ".001") and append the format's extension.
std::string replaceExtension(const std::string& name, const char* extension)
{
    std::string result = name;
    const size_t slash = result.find_last_of("/\\");
    const size_t dot = result.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        const char next = dot + 1 < result.size() ? result[dot + 1] : '\0';
        if (!(next >= '0' && next <= '9')) result.erase(dot);
    }
    result += '.';
    result += extension ? extension : "";
    return result;
}

void removeTemporary(WriterContext& context)
{
    if (context.directWrite && context.file) std::fclose(context.file);
    context.file = nullptr;
    context.replacement.reset();  // removes the temporary file
}

int resultOfReplace(ReplaceStatus status)
{
    switch (status) {
    case ReplaceStatus::Ok: return ResultOk;
    case ReplaceStatus::ReadOnly: return ResultReadOnly;
    case ReplaceStatus::WriteFailed: return ResultWriteError;
    default: return ResultCannotCreate;
    }
}

// Moves the finished temporary file over the target.
int commitTemporary(WriterContext& context)
{
    if (!context.replacement) return ResultOk;
    context.file = nullptr;  // the replacement owns and closes the stream
    const ReplaceStatus status = context.replacement->commit();
    context.replacement.reset();
    return resultOfReplace(status);
}

// saveBitmap, with the rows of a load still running when `handoff` is set.
int runSave(const std::string& fileName, const Bitmap& bitmap, const SaveParams& params, std::string* finalName,
            RowHandoff* handoff)
{
    WriterContext context;
    if (const int prepared = prepareSave(context, fileName, bitmap, params, finalName); prepared != ResultOk)
        return prepared;
    context.handoff = handoff;
    int result = formatEntry(params.format)->writeFunction(context);
    // Rows written while loading make a file only if the whole load succeeded.
    if (result == ResultOk && handoff && !handoff->loadSucceeded()) result = ResultCancelled;
    return endSave(context, result);
}

}  // namespace

int prepareSave(WriterContext& context, const std::string& fileName, const Bitmap& bitmap, const SaveParams& params,
                std::string* finalName)
{
    const FormatEntry* entry = formatEntry(params.format);
    if (!entry || !entry->writeFunction) return ResultNoWriter;
    if (int check = checkBitmap(bitmap); check != ResultOk) return check;

    context.params = params;
    context.fileName = fileName;
    describeBitmap(context, bitmap);

    std::string extension;
    if (entry->writerTypesFunction) {
        AcceptedLayout slots[AcceptedLayoutSlots];
        entry->writerTypesFunction(slots);
        bool acceptsAll = false;
        const AcceptedLayout* accepting = acceptingLayout(slots, bitmap, acceptsAll);
        if (!accepting && !acceptsAll) return ResultLayoutRefused;
        if (accepting)
            extension.assign(accepting->extension, strnlen(accepting->extension, sizeof(accepting->extension)));
    }
    if (params.flags & SaveReplaceExtension)
        context.fileName = replaceExtension(fileName, !extension.empty() ? extension.c_str() : entry->extensions[0]);
    if ((params.flags & SaveCopyName) && finalName) *finalName = context.fileName;
    return ResultOk;
}

int endSave(WriterContext& context, int result)
{
    if (context.rowState) endRows(context);  // a writer that left early
    if (context.file) {
        const int closed = writerClose(context);
        if (result == ResultOk) result = closed;
    }
    if (result == ResultOk && context.writeFailed) result = ResultWriteError;
    if (result != ResultOk) {
        removeTemporary(context);
        return result;
    }
    return commitTemporary(context);
}

int saveBitmap(const std::string& fileName, const Bitmap& bitmap, const SaveParams& params,
               std::string* finalName)
{
    return runSave(fileName, bitmap, params, finalName, nullptr);
}

int saveBitmapHandedOff(const std::string& fileName, const Bitmap& bitmap, const SaveParams& params,
                        RowHandoff* handoff)
{
    return runSave(fileName, bitmap, params, nullptr, handoff);
}

// --- file output -----------------------------------------------------------

int writerOpen(WriterContext& context)
{
    if (context.fileName.empty()) return ResultCannotCreate;
    struct stat st {};
    if (::stat(context.fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) return ResultCannotCreate;
        // Devices and pipes cannot be replaced: they are written in place.
        context.file = std::fopen(context.fileName.c_str(), "wb");
        context.directWrite = true;
        setOutputBuffer(context.file, context.directBuffer);
        return context.file ? ResultOk : ResultCannotCreate;
    }
    auto replacement = std::make_shared<AtomicReplace>();
    if (const ReplaceStatus status = replacement->open(context.fileName); status != ReplaceStatus::Ok)
        return resultOfReplace(status);
    context.file = replacement->stream();
    if (!context.file) return ResultCannotCreate;
    context.fileName = replacement->target();  // a symbolic link's target gets the new content
    context.replacement = std::move(replacement);
    return ResultOk;
}

void writeBytes(WriterContext& context, const void* data, size_t size)
{
    if (!context.file || context.writeFailed || size == 0) return;
    if (std::fwrite(data, 1, size, context.file) != size) context.writeFailed = true;
}

void writeU8(WriterContext& context, unsigned value)
{
    const uint8_t byte = static_cast<uint8_t>(value);
    writeBytes(context, &byte, 1);
}

void writeU16le(WriterContext& context, unsigned value)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    writeBytes(context, bytes, 2);
}

void writeU32le(WriterContext& context, uint32_t value)
{
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    writeBytes(context, bytes, 4);
}

long writerTell(WriterContext& context) { return context.file ? std::ftell(context.file) : -1; }

bool writerSeek(WriterContext& context, long offset)
{
    if (!context.file || std::fseek(context.file, offset, SEEK_SET) != 0) {
        context.writeFailed = true;
        return false;
    }
    return true;
}

bool writerFailed(const WriterContext& context) { return context.writeFailed; }

int writerClose(WriterContext& context)
{
    if (!context.file) return context.writeFailed ? ResultWriteError : ResultOk;
    if (std::fflush(context.file) != 0) context.writeFailed = true;
    // A replacement's stream is closed (and synced) when it is put in place.
    if (context.directWrite && std::fclose(context.file) != 0) context.writeFailed = true;
    if (context.directWrite) context.file = nullptr;
    return context.writeFailed ? ResultWriteError : ResultOk;
}

}  // namespace fotrix
