// The rows of the formats whose codec modules this build made
// (imagelib/CMakeLists.txt). The rows are in the table from the start, so that
// the browser lists the files and probing names them; their reader and writer
// load the module when a picture first needs it (codec_module.h).
// AVIF stands before HEIF: an AVIF file is also a HEIF file, and probing
// should name it by its own format.
#include "imagelib/codecs.h"

#include "imagelib/core/codec_module.h"
#include "imagelib/readers/codec_readers.h"
#include "imagelib/result.h"

namespace fotrix {

namespace {

template <CodecModule Module>
int readThroughModule(Stream& stream, ReaderContext& context)
{
    // Without its module the row cannot tell its files from others: probing
    // goes on to the next row (the module's loader has said why it failed).
    const CodecEntries* entries = codecModule(Module);
    return entries && entries->read ? entries->read(stream, context) : LoadUnknownFormat;
}

template <CodecModule Module>
int writeThroughModule(WriterContext& context)
{
    const CodecEntries* entries = codecModule(Module);
    return entries && entries->write ? entries->write(context) : ResultNoWriter;
}

struct CodecRow {
    FormatEntry entry;
    ReadFunction read;
};

const CodecRow codecRows[] = {
#if FOTRIX_HAVE_WEBP
    {{ProbeBySignature, "webp", "WebP", nullptr, writeThroughModule<CodecModule::Webp>, webpWriterTypes, {"webp"}},
     readThroughModule<CodecModule::Webp>},
#endif
#if FOTRIX_HAVE_AVIF
    {{ProbeBySignature, "avif", "AV1 Image File Format", nullptr, nullptr, nullptr, {"avif", "avifs"}},
     readThroughModule<CodecModule::Avif>},
#endif
#if FOTRIX_HAVE_HEIF
    {{ProbeBySignature, "heif", "HEIF / HEIC", nullptr, nullptr, nullptr, {"heic", "heif", "hif", "heics", "heifs"}},
     readThroughModule<CodecModule::Heif>},
#endif
#if FOTRIX_HAVE_JXL
    {{ProbeBySignature, "jxl", "JPEG XL", nullptr, nullptr, nullptr, {"jxl"}}, readThroughModule<CodecModule::Jxl>},
#endif
    {{}, nullptr},  // keeps the table non-empty in a build without any of them
};

}  // namespace

// What the WebP writer takes; in the program, as the save pipeline asks it
// before any picture is written.
void webpWriterTypes(AcceptedLayout* slots)
{
    constexpr unsigned FourComponentColour = Rgba | Abgr | Bgra | Argb;
    slots[0].typeMask = FourComponentColour;
    slots[1].typeMask = Any24;
    slots[2].typeMask = Grey;
    slots[3].typeMask = Indexed;
    slots[4].typeMask = Binary;
}

void codecFormatsAttach()
{
    for (const CodecRow& row : codecRows) {
        if (!row.read) continue;
        const int index = formatAddRow(row.entry);
        if (index >= 0) formatAttachReader(index, row.read);
    }
}

}  // namespace fotrix
