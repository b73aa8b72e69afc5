// The rows of the formats whose codecs this build found (imagelib/CMakeLists.txt).
// AVIF stands before HEIF: an AVIF file is also a HEIF file, and probing
// should name it by its own format.
#include "imagelib/codecs.h"

#include "imagelib/readers/codec_readers.h"

namespace fotrix {

namespace {

struct CodecRow {
    FormatEntry entry;
    ReadFunction read;
};

const CodecRow codecRows[] = {
#if FOTRIX_HAVE_WEBP
    {{ProbeBySignature, "webp", "WebP", nullptr, writeWebp, webpWriterTypes, {"webp"}}, readWebp},
#endif
#if FOTRIX_HAVE_AVIF
    {{ProbeBySignature, "avif", "AV1 Image File Format", nullptr, nullptr, nullptr, {"avif", "avifs"}}, readAvif},
#endif
#if FOTRIX_HAVE_HEIF
    {{ProbeBySignature, "heif", "HEIF / HEIC", nullptr, nullptr, nullptr, {"heic", "heif", "hif", "heics", "heifs"}},
     readHeif},
#endif
#if FOTRIX_HAVE_JXL
    {{ProbeBySignature, "jxl", "JPEG XL", nullptr, nullptr, nullptr, {"jxl"}}, readJxl},
#endif
    {{}, nullptr},  // keeps the table non-empty in a build without any of them
};

}  // namespace

void codecFormatsAttach()
{
    for (const CodecRow& row : codecRows) {
        if (!row.read) continue;
        const int index = formatAddRow(row.entry);
        if (index >= 0) formatAttachReader(index, row.read);
    }
}

}  // namespace fotrix
