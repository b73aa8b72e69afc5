#pragma once
// Readers (and the writer) of the formats whose codecs are optional
// libraries; only those of the libraries found at build time exist.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imagelib/formats.h"
#include "imagelib/reader.h"

namespace fotrix {

int readWebp(Stream& stream, ReaderContext& context);
int writeWebp(WriterContext& context);
void webpWriterTypes(AcceptedLayout* slots);
int readAvif(Stream& stream, ReaderContext& context);
int readHeif(Stream& stream, ReaderContext& context);
int readJxl(Stream& stream, ReaderContext& context);

// The whole file in memory, for codecs that decode from a buffer. False (and
// the stream marked failed) when it cannot be read or exceeds `limit` bytes.
bool streamReadAll(Stream& stream, std::vector<uint8_t>& bytes, uint64_t limit);

// Largest file these readers take into memory.
constexpr uint64_t CodecFileLimit = uint64_t{1} << 30;
// Largest picture (in pixels) they let a codec decode: the pipeline's own
// ceiling of 1 GiB for the bitmap, at four bytes a pixel.
constexpr uint64_t CodecPixelLimit = uint64_t{1} << 28;

// Describes an 8-bit RGB or RGBA picture of interleaved samples (R, G, B[, A]).
void describeInterleaved(ImageHeader& header, int width, int height, bool alpha);
// Hands a decoded picture to the pipeline row by row (rows `stride` bytes
// apart, each header.bytesPerPlane long) and ends the image.
int deliverInterleaved(ReaderContext& context, ImageHeader& header, const uint8_t* pixels, size_t stride);

// Where a codec may decode the whole picture itself: the bitmap, when the
// pipeline would store the rows exactly as decoded (no reduction, no change
// of channel order, top row first, no writer taking rows as they load).
// Null otherwise. Rows are `stride` bytes apart there; hand them over with
// deliverPlaced once decoded.
struct PlacedPicture {
    uint8_t* pixels = nullptr;
    size_t stride = 0;
    size_t rowBytes = 0;
    int height = 0;
    // From the first row to the end of the last one.
    size_t bytes() const { return height < 1 ? 0 : stride * static_cast<size_t>(height - 1) + rowBytes; }
};
PlacedPicture pictureInBitmap(ReaderContext& context, const ImageHeader& header);
// Hands over the rows decoded into the bitmap and ends the image.
int deliverPlaced(ReaderContext& context, const PlacedPicture& picture);

// Keeps an EXIF block given as the codec stores it: a TIFF structure, maybe
// behind "Exif\0\0" or a 4-byte offset to the TIFF header (ISO/IEC 23008-12
// Exif items). It is kept the way JPEG keeps it, "Exif\0\0" and the TIFF data.
// With `pictureUpright` (codecs whose container or codestream turns the
// picture, as HEIF, AVIF and JPEG XL do) the block's orientation tag is set
// to 1, so that no one turns the delivered picture a second time.
void addExifBlock(ReaderContext& context, const uint8_t* data, size_t size, bool pictureUpright = false);

// Sets the orientation tag (0x0112) of IFD0 in a TIFF structure to 1, where
// the tag is there and within the bytes; returns whether it changed a value.
bool exifMarkUpright(uint8_t* tiff, size_t size);

// The size a picture is reduced to in the caller's box (maxWidth x maxHeight),
// as the pipeline computes it; the picture's own size when it fits or there is
// no box. For codecs that can decode at a smaller size themselves.
void boxedSize(const LoadParams& params, int width, int height, int& outWidth, int& outHeight);

}  // namespace fotrix
