#pragma once
// The codec libraries of the newer formats, colour management and camera raw
// decoding live in modules (fotrix-codec-NAME.so) that are loaded when a
// picture first needs them, not when a program starts: libheif, libjxl or
// LibRaw cost a short run such as `fotrix-cli info` more than its own work.
//
// A module is built from the same sources as the rest of the library; what it
// calls of the library (the pipeline, streams, bitmaps) it finds in the
// program, which exports the library's symbols for it.
#include <cstddef>
#include <cstdint>

#include "imagelib/bitmap.h"
#include "imagelib/formats.h"
#include "imagelib/reader.h"

namespace fotrix {

enum class CodecModule : int { Webp, Avif, Heif, Jxl, Lcms2, LibRaw };
constexpr int CodecModuleCount = 6;

// What a module offers; the entries that do not apply are null.
struct CodecEntries {
    const char* buildToken;  // the build the module belongs to (see codecModule)
    ReadFunction read;
    WriteFunction write;
    bool (*convertToSrgb)(Bitmap& bitmap, const uint8_t* profile, size_t size, uint16_t rgbType);
    int (*decodeSensor)(Stream& file, ReaderContext& context, const char* kind);
};

// The module's entries, loading it on the first call (thread-safe); null when
// this build has no such module or it cannot be loaded. A module of another
// build is refused, since the structures it was compiled against may differ.
const CodecEntries* codecModule(CodecModule which);

// Why codecModule gave null ("" when it loaded); asks for the module first.
const char* codecModuleError(CodecModule which);

}  // namespace fotrix

// Each module defines its entries with this, under this name.
#define FOTRIX_CODEC_ENTRIES \
    extern "C" __attribute__((visibility("default"))) const fotrix::CodecEntries fotrix_codec_entries
