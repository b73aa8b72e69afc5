// Colour management after a load: the part that needs no colour library.
#include "imagelib/core/colour_manage.h"

#include "imagelib/core/codec_module.h"

#include <cstdlib>

namespace fotrix {

namespace {

void dropBlocks(MetadataBlock*& list, uint32_t kind)
{
    MetadataBlock** link = &list;
    while (*link) {
        MetadataBlock* block = *link;
        if (block->kind != kind) {
            link = &block->next;
            continue;
        }
        *link = block->next;
        block->next = nullptr;
        metadataFreeList(block);
    }
}

// Ink amounts to RGB by the formula the load pipeline uses for CMYK files:
// R = (255 - C) x (255 - K) / 255, and likewise G and B.
int cmykToRgb(Bitmap& bitmap, uint16_t rgbType)
{
    Bitmap rgb;
    if (bitmapAllocate(rgb, rgbType, bitmap.rowAlignment, bitmap.width, bitmap.height) != 1) return ResultNoMemory;
    const bool bgr = rgbType == Bgr;
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* in = bitmapRow(bitmap, y);
        uint8_t* out = bitmapRow(rgb, y);
        for (int x = 0; x < bitmap.width; ++x, in += 4, out += 3) {
            const int white = 255 - in[3];
            const uint8_t r = static_cast<uint8_t>((255 - in[0]) * white / 255);
            const uint8_t g = static_cast<uint8_t>((255 - in[1]) * white / 255);
            const uint8_t b = static_cast<uint8_t>((255 - in[2]) * white / 255);
            out[0] = bgr ? b : r;
            out[1] = g;
            out[2] = bgr ? r : b;
        }
    }
    bitmapCopyAttributes(rgb, bitmap);
    bitmapMove(bitmap, rgb);
    return ResultOk;
}

}  // namespace

uint32_t colourManagedOptions(uint32_t options)
{
    return (options & ConvertToSrgb) ? options | ReadMetadata | KeepCmyk : options;
}

int colourManageToSrgb(Bitmap& bitmap, uint32_t options, uint16_t channelOrder)
{
    if (!(options & ConvertToSrgb) || !bitmap.pixels) return ResultOk;
    // Three-component output of CMYK files, as the pipeline gives it.
    const uint16_t rgbType = (channelOrder == 1 || channelOrder == 2) ? Bgr : Rgb;
    const bool keepCmyk = (options & KeepCmyk) != 0;
    const MetadataBlock* icc = metadataFind(bitmap.metadata, MetaIcc);
    int result = ResultOk;
    bool converted = false;
    if (icc && !(bitmap.type == Cmyk && keepCmyk))
        if (const CodecEntries* lcms = codecModule(CodecModule::Lcms2))
            converted = lcms->convertToSrgb(bitmap, icc->data, icc->size, rgbType);
    if (converted) dropBlocks(bitmap.metadata, MetaIcc);
    if (!converted && bitmap.type == Cmyk && !keepCmyk) result = cmykToRgb(bitmap, rgbType);
    if (!(options & ReadMetadata)) metadataFreeList(bitmap.metadata);
    return result;
}

}  // namespace fotrix
