// The camera-raw reader: recognises the container, lets its parser collect
// the embedded JPEG pictures, and decodes the largest one through the JPEG
// reader. Raw sensor data itself is not decoded: the preview stands for the
// picture, reported with the size of the full picture.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "imagelib/formats.h"
#include "imagelib/core/codec_module.h"
#include "imagelib/embedded_jpeg.h"
#include "rawcodec/raw_internal.h"
#include "rawcodec/rawcodec.h"

namespace fotrix {

namespace {

// The LibRaw module's entries, or null when it cannot be loaded: raw files
// then give their previews only.
const CodecEntries* sensorDecoder() { return codecModule(CodecModule::LibRaw); }

using raw::RawScan;

// TIFF-based kinds: plain TIFF headers, Olympus ("RO", "RS") and Panasonic (0x55).
bool tiffKindScan(Stream& file, RawScan& scan)
{
    uint8_t header[4];
    if (!raw::readAt(file, 0, header, 4)) return false;
    const bool panasonic = header[0] == 'I' && header[1] == 'I' && header[2] == 0x55 && header[3] == 0;
    scan.kind = panasonic ? "Panasonic" : "TIFF-based";
    const auto flavour = panasonic ? raw::TiffFlavour::Panasonic : raw::TiffFlavour::Plain;
    return raw::tiffScan(file, {0, file.size}, flavour, scan);
}

bool scanContainer(Stream& file, RawScan& scan)
{
    using Parser = bool (*)(Stream&, RawScan&);
    // The CIFF test comes before the TIFF one: both begin with a byte-order mark.
    static constexpr Parser parsers[] = {raw::crwScan, raw::rafScan, raw::mrwScan, raw::x3fScan, tiffKindScan};
    for (Parser parse : parsers) {
        scan = RawScan{};
        if (parse(file, scan)) return true;
    }
    return false;
}

// The largest candidate our JPEG reader can decode, by pixels.
struct PreviewChoice {
    bool found = false;
    uint64_t offset = 0, length = 0;
    uint32_t width = 0, height = 0;
};

PreviewChoice choosePreview(Stream& file, const RawScan& scan)
{
    PreviewChoice best;
    for (const raw::PreviewCandidate& c : scan.candidates) {
        uint32_t w = 0, h = 0;
        if (!raw::jpegProbe(file, c.offset, c.length, w, h)) continue;
        if (!best.found || static_cast<uint64_t>(w) * h > static_cast<uint64_t>(best.width) * best.height)
            best = {true, c.offset, c.length, w, h};
    }
    return best;
}

// EXIF orientations 6 and 8 turn the picture a quarter; the application
// turns it back by the context's flag: 4 to the right, 2 to the left.
uint32_t quarterTurnFlag(int exifOrientation)
{
    return exifOrientation == 6 ? 4 : exifOrientation == 8 ? 2 : 0;
}

// Size of the whole picture as it is seen upright. When decoding, where the
// stored size and the preview disagree in their proportions (sensors with
// non-square sampling, thumbnails of another shape), the long side is kept
// and the proportions are the preview's: the pipeline reduces the preview
// with the proportions of the size we report, and must not distort it.
void fullSize(const RawScan& scan, const PreviewChoice& preview, uint32_t flag, bool decoding, uint32_t& width,
              uint32_t& height)
{
    width = scan.width;
    height = scan.height;
    if (width == 0 || height == 0) {
        width = preview.width;
        height = preview.height;
    }
    if (decoding && preview.found && width && height) {
        const double stored = static_cast<double>(std::max(width, height)) / std::min(width, height);
        const double shown = static_cast<double>(std::max(preview.width, preview.height)) /
                             std::min(preview.width, preview.height);
        if (std::fabs(stored / shown - 1.0) > 0.05) {
            const uint32_t shortSide = static_cast<uint32_t>(std::lround(std::max(width, height) / shown));
            (width >= height ? height : width) = std::max<uint32_t>(shortSide, 1);
        }
    }
    if (flag) std::swap(width, height);
}

// The information-only answer: the full picture as 24-bit RGB.
int describeFullPicture(ReaderContext& context, const RawScan& scan, uint32_t width, uint32_t height)
{
    if (width == 0 || height == 0) return readerFail(context, LoadUnknownFormat, "Camera RAW : unknown picture size");
    ImageHeader header;
    imageHeaderDefaults(header);
    header.width = static_cast<int32_t>(std::min<uint32_t>(width, INT32_MAX));
    header.height = static_cast<int32_t>(std::min<uint32_t>(height, INT32_MAX));
    header.planes = 1;
    header.bitsPerPlane = 24;
    header.bytesPerPlane = static_cast<uint32_t>(std::min<uint64_t>(3ull * width, UINT32_MAX));
    std::snprintf(header.description, sizeof header.description, "Camera RAW (%s)", scan.kind);
    return beginImage(context, header);
}

// The sensor data, when the caller asked for it or the preview cannot be
// shown. A failure before the picture began leaves the context as it was, so
// that the preview may stand in.
int readSensorOrKeep(Stream& file, ReaderContext& context, const char* kind)
{
    char kept[sizeof context.errorText];
    std::memcpy(kept, context.errorText, sizeof kept);
    const uint32_t orientation = context.orientation;
    const int result = sensorDecoder()->decodeSensor(file, context, kind);
    if (result != LoadOk && !context.headerAccepted) {
        std::memcpy(context.errorText, kept, sizeof kept);
        context.orientation = orientation;
    }
    return result;
}

int readRaw(Stream& file, ReaderContext& context)
{
    RawScan scan;
    if (!scanContainer(file, scan)) {
        // Kinds whose container we do not parse (Kyocera, ...): LibRaw may know them.
        const CodecEntries* libraw = sensorDecoder();
        return libraw ? libraw->decodeSensor(file, context, "LibRaw") : LoadUnknownFormat;
    }
    const PreviewChoice preview = choosePreview(file, scan);
    const uint32_t flag = quarterTurnFlag(scan.exifOrientation);
    uint32_t width = 0, height = 0;
    fullSize(scan, preview, flag, !context.infoOnly(), width, height);
    if (flag) context.orientation = flag;
    if (context.infoOnly()) return describeFullPicture(context, scan, width, height);

    if (sensorDecoder() && (context.option(DecodeRawSensor) || !preview.found)) {
        const int result = readSensorOrKeep(file, context, scan.kind);
        if (result == LoadOk || context.headerAccepted) return result;
    }
    context.params.options |= Preview | FullPicture;
    context.params.rawPreview = 1;
    if (!preview.found) return readerFail(context, LoadUnknownFormat, "Camera RAW : no preview picture found");
    file.failed = false;
    if (!streamSeek(file, preview.offset)) return LoadReadError;
    return jpegReadEmbedded(file, context, preview.length, width, height);
}

}  // namespace


int readCameraRaw(Stream& stream, ReaderContext& context)
{
    // The decoder reads the file through its own handle, so the pipeline's
    // stream position is never disturbed.
    Stream file;
    if (streamOpen(file, stream.name) != 0) return LoadCannotOpen;
    const int result = readRaw(file, context);
    streamClose(file);
    return result;
}

void rawcodecAttach()
{
    for (int index = FormatFirstRaw; index <= FormatLastRaw; ++index) formatAttachReader(index, readCameraRaw);
}

}  // namespace fotrix
