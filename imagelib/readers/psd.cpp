// Adobe Photoshop documents (version 1, big-endian): the merged picture or one
// layer, chosen by frameIndex, handed to the pipeline one channel at a time.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/bytes.h"
#include "imagelib/readers/iptc_block.h"
#include "imagelib/readers/packbits.h"
#include "imagelib/readers/readers.h"
#include "imagelib/result.h"

namespace fotrix {

namespace {

enum PsdMode : uint16_t {
    ModeBitmap = 0,
    ModeGrey = 1,
    ModeIndexed = 2,
    ModeRgb = 3,
    ModeCmyk = 4,
    ModeMultichannel = 7,
    ModeDuotone = 8,
    ModeLab = 9,
};

constexpr uint16_t ResourceResolution = 1005;
constexpr uint16_t ResourceIptc = 1028;
constexpr uint16_t ResourceIccProfile = 1039;
constexpr int MaxLayerChannels = 56;

struct PsdChannel {
    int16_t id = 0;         // 0.. colour channels, -1 transparency, -2 and below masks
    uint64_t offset = 0;    // of its compression word
    uint32_t length = 0;    // compression word and data
};

struct PsdLayer {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    std::vector<PsdChannel> channels;

    bool empty() const { return bottom <= top || right <= left; }
};

struct PsdFile {
    uint16_t channels = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t depth = 0;
    uint16_t mode = 0;
    std::vector<uint8_t> modeData;  // colour-mode data: the palette of indexed files
    uint32_t dpiX = 0;
    uint32_t dpiY = 0;
    std::vector<PsdLayer> layers;   // the layers whose rectangle is not empty
    bool hasLayerRecords = false;
    uint64_t mergedOffset = 0;      // the merged picture's compression word
};

// Colour channels of a mode (the ones a layer's channel ids 0.. refer to).
int colourChannels(const PsdFile& file)
{
    switch (file.mode) {
    case ModeRgb:
    case ModeLab:
        return 3;
    case ModeCmyk:
        return 4;
    case ModeMultichannel:
        return std::min<int>(file.channels, 4);
    default:
        return 1;
    }
}

bool singlePlaneMode(uint16_t mode)
{
    return mode == ModeBitmap || mode == ModeGrey || mode == ModeIndexed || mode == ModeDuotone;
}

size_t fileRowBytes(const PsdFile& file, uint32_t width)
{
    return (static_cast<size_t>(width) * file.depth + 7) / 8;
}

// Resources: resolution (16.16 fixed point, the unit fields skipped), IPTC
// and the ICC profile.
void readResources(ReaderContext& context, std::span<const uint8_t> section, PsdFile& file)
{
    ByteReader reader(section, true);
    while (reader.remaining() >= 12) {
        if (reader.u32be() != 0x3842494D) break;  // "8BIM"
        const uint16_t id = reader.u16be();
        const uint8_t nameLength = reader.u8();
        reader.skip(nameLength + ((nameLength + 1) & 1));
        const uint32_t size = reader.u32be();
        if (reader.failed || !reader.has(size)) break;
        std::span<const uint8_t> data = reader.take(size);
        if (size & 1) reader.skip(1);
        if (id == ResourceResolution && size >= 16) {
            ByteReader res(data, true);
            file.dpiX = res.u32be() >> 16;
            res.skip(4);
            file.dpiY = res.u32be() >> 16;
        } else if (id == ResourceIptc && size > 0 && context.option(ReadMetadata)) {
            std::vector<uint8_t> block = iptcResourceBlock(data.data(), size);
            addMetadata(context, MetaIptc, block.data(), static_cast<uint32_t>(block.size()));
        } else if (id == ResourceIccProfile && size > 0 && context.option(ReadMetadata)) {
            addMetadata(context, MetaIcc, data.data(), size);
        }
    }
}

// Layer records: rectangles and channel lists; the channel data follows the
// records in the same order, each channel `length` bytes long.
int readLayers(Stream& stream, uint64_t sectionEnd, PsdFile& file)
{
    const uint32_t infoLength = streamU32be(stream);
    if (streamFailed(stream)) return ResultReadError;
    if (infoLength == 0) return ResultOk;
    const uint64_t infoEnd = streamTell(stream) + infoLength;
    if (infoEnd > sectionEnd) return ResultOk;  // not a layer list we understand: merged picture only
    int count = static_cast<int16_t>(streamU16be(stream));
    count = std::abs(count);  // negative: the first alpha channel holds the merged transparency
    std::vector<PsdLayer> all;
    for (int i = 0; i < count; i++) {
        PsdLayer layer;
        layer.top = static_cast<int32_t>(streamU32be(stream));
        layer.left = static_cast<int32_t>(streamU32be(stream));
        layer.bottom = static_cast<int32_t>(streamU32be(stream));
        layer.right = static_cast<int32_t>(streamU32be(stream));
        const uint16_t channels = streamU16be(stream);
        if (streamFailed(stream) || channels > MaxLayerChannels) return ResultCorrupt;
        for (int c = 0; c < channels; c++) {
            PsdChannel channel;
            channel.id = static_cast<int16_t>(streamU16be(stream));
            channel.length = streamU32be(stream);
            layer.channels.push_back(channel);
        }
        streamSkip(stream, 12);  // "8BIM", blend key, opacity, clipping, flags, filler
        const uint32_t extra = streamU32be(stream);
        if (streamFailed(stream) || streamTell(stream) + extra > infoEnd) return ResultCorrupt;
        streamSkip(stream, extra);  // mask, blending ranges and name
        all.push_back(std::move(layer));
    }
    if (streamFailed(stream)) return ResultReadError;
    uint64_t offset = streamTell(stream);
    for (PsdLayer& layer : all) {
        for (PsdChannel& channel : layer.channels) {
            channel.offset = offset;
            offset += channel.length;
        }
        if (!layer.empty()) file.layers.push_back(std::move(layer));
    }
    file.hasLayerRecords = count > 0;
    return ResultOk;
}

int readStructure(Stream& stream, ReaderContext& context, PsdFile& file)
{
    uint8_t signature[4];
    if (!streamReadExact(stream, signature, 4)) return ResultReadError;
    if (std::memcmp(signature, "8BPS", 4) != 0) return ResultUnknownFormat;
    if (streamU16be(stream) != 1) return ResultUnknownFormat;
    streamSkip(stream, 6);
    file.channels = streamU16be(stream);
    file.height = streamU32be(stream);
    file.width = streamU32be(stream);
    file.depth = streamU16be(stream);
    file.mode = streamU16be(stream);
    if (streamFailed(stream)) return ResultReadError;
    if (file.depth == 0 || (file.depth > 8 && file.depth != 16))
        return readerFail(context, ResultBadHeader, "PSD: Depth != 8/16!");
    switch (file.mode) {
    case ModeBitmap: case ModeGrey: case ModeIndexed: case ModeRgb:
    case ModeCmyk: case ModeMultichannel: case ModeDuotone: case ModeLab:
        break;
    default:
        return readerFail(context, ResultBadHeader, "PSD: Invalid Picture Mode !");
    }
    if (file.channels == 0 || file.width == 0 || file.height == 0)
        return readerFail(context, ResultBadHeader, "PSD: Bad picture's size !");

    const uint32_t modeLength = streamU32be(stream);
    if (streamFailed(stream) || modeLength > streamRemaining(stream)) return ResultReadError;
    file.modeData.resize(modeLength);
    if (!streamReadExact(stream, file.modeData.data(), modeLength)) return ResultReadError;

    const uint32_t resourceLength = streamU32be(stream);
    if (streamFailed(stream) || resourceLength > streamRemaining(stream)) return ResultReadError;
    std::vector<uint8_t> resources(resourceLength);
    if (!streamReadExact(stream, resources.data(), resourceLength)) return ResultReadError;
    readResources(context, resources, file);

    const uint32_t layerLength = streamU32be(stream);
    if (streamFailed(stream) || layerLength > streamRemaining(stream)) return ResultReadError;
    const uint64_t sectionEnd = streamTell(stream) + layerLength;
    if (layerLength > 0) {
        const int result = readLayers(stream, sectionEnd, file);
        if (result != 0) return result == ResultCorrupt ? readerFail(context, ResultCorrupt, "PSD: Bad layer records !") : result;
    }
    file.mergedOffset = sectionEnd;
    return ResultOk;
}

// One row of a channel: raw or PackBits through its byte count, reduced to 8
// bits a sample (the high byte of big-endian 16-bit samples).
bool readChannelRow(Stream& stream, const PsdFile& file, uint32_t width, uint32_t packedSize, bool packed,
                    std::vector<uint8_t>& packedBuffer, std::vector<uint8_t>& fileRow, uint8_t* out,
                    bool& corrupt)
{
    const size_t rowBytes = fileRowBytes(file, width);
    if (packed) {
        packedBuffer.resize(packedSize);
        if (!streamReadExact(stream, packedBuffer.data(), packedSize)) return false;
        std::fill(fileRow.begin(), fileRow.end(), 0);
        PackBitsResult r = packBitsDecode(packedBuffer.data(), packedSize, fileRow.data(), rowBytes);
        if (r.produced < rowBytes) corrupt = true;
    } else if (!streamReadExact(stream, fileRow.data(), rowBytes)) {
        return false;
    }
    if (file.depth == 16) {
        for (uint32_t x = 0; x < width; x++) out[x] = fileRow[2 * x];
    } else {
        std::memcpy(out, fileRow.data(), rowBytes);
    }
    return true;
}

struct ChannelPlan {
    int plane = 0;
    uint64_t offset = 0;         // compression word (layers), or data start (merged)
    uint32_t length = 0;
};

// Reads the channels of one picture (merged or layer) as plane passes. The
// merged picture shares one compression word and one byte-count table.
int deliverChannels(Stream& stream, ReaderContext& context, ImageHeader& header, const PsdFile& file,
                    uint32_t width, uint32_t height, const std::vector<ChannelPlan>& plan, bool merged,
                    int mergedCompression, const std::vector<uint16_t>& mergedCounts)
{
    std::vector<uint8_t> packedBuffer;
    std::vector<uint8_t> fileRow(fileRowBytes(file, width) + 1);
    bool corrupt = false;
    uint64_t mergedPosition = file.mergedOffset + 2 + (mergedCompression == 1 ? mergedCounts.size() * 2 : 0);
    for (size_t index = 0; index < plan.size(); index++) {
        const ChannelPlan& channel = plan[index];
        int compression = mergedCompression;
        std::vector<uint16_t> counts;
        const std::vector<uint16_t>* rowCounts = &mergedCounts;
        if (merged) {
            if (!streamSeek(stream, mergedPosition)) return ResultReadError;
        } else {
            if (!streamSeek(stream, channel.offset)) return ResultReadError;
            compression = streamU16be(stream);
            if (compression > 1) {
                corrupt = true;  // compressed with zip: leave the plane empty
                continue;
            }
            if (compression == 1) {
                counts.resize(height);
                for (uint32_t y = 0; y < height; y++) counts[y] = streamU16be(stream);
                rowCounts = &counts;
            }
            if (streamFailed(stream)) return ResultReadError;
        }
        const size_t countBase = merged ? static_cast<size_t>(channel.plane) * height : 0;
        for (uint32_t y = 0; y < height; y++) {
            const uint32_t packedSize = compression == 1 ? (*rowCounts)[countBase + y] : 0;
            if (!readChannelRow(stream, file, width, packedSize, compression == 1, packedBuffer, fileRow,
                                header.rowBuffer, corrupt))
                return ResultReadError;
            const int result = putRows(context, channel.plane, static_cast<int>(y), 1);
            if (result != 0) return result;
        }
        mergedPosition = streamTell(stream);
    }
    return corrupt ? ResultCorrupt : ResultOk;
}

}  // namespace

int readPsd(Stream& stream, ReaderContext& context)
{
    PsdFile file;
    int result = readStructure(stream, context, file);
    if (result != 0) return result;

    const uint32_t imageCount = 1 + static_cast<uint32_t>(file.layers.size());
    context.imageCount = imageCount;
    const uint32_t frame = context.params.frameIndex;
    const bool merged = frame == 0 || frame >= imageCount;
    const PsdLayer* layer = merged ? nullptr : &file.layers[frame - 1];

    ImageHeader header;
    imageHeaderDefaults(header);
    std::strcpy(header.description, "Adobe Photoshop Document");
    uint32_t width = file.width;
    uint32_t height = file.height;
    if (layer) {
        width = static_cast<uint32_t>(static_cast<int64_t>(layer->right) - layer->left);
        height = static_cast<uint32_t>(static_cast<int64_t>(layer->bottom) - layer->top);
        context.readerValues[0] = static_cast<uint32_t>(layer->top);
        context.readerValues[1] = static_cast<uint32_t>(layer->left);
    }
    if (width >= 400000 || height >= 400000) return readerFail(context, ResultBadHeader, "PSD: Bad picture's size !");

    // Which channel goes to which plane. A grey picture's alpha (its second
    // merged channel, or a layer's transparency) is read only when the
    // caller asks for colour with alpha; by default the picture stays grey.
    const bool greyAlpha = file.mode == ModeGrey && file.depth >= 8 && context.option(ForceTrueColour) &&
                           context.option(ForceAlpha);
    std::vector<ChannelPlan> plan;
    int planes = 1;
    if (merged) {
        planes = singlePlaneMode(file.mode) ? (greyAlpha && file.channels >= 2 ? 2 : 1) : std::min<int>(file.channels, 4);
        if (planes >= 4 && file.mode != ModeCmyk && file.mode != ModeLab && !file.hasLayerRecords &&
            context.params.psdDropExtraChannels)
            planes = 3;
        for (int c = 0; c < planes; c++) plan.push_back({c, 0, 0});
    } else {
        const int colours = colourChannels(file);
        bool alpha = false;
        for (const PsdChannel& channel : layer->channels) alpha |= channel.id == -1;
        planes = singlePlaneMode(file.mode) ? (greyAlpha && alpha ? 2 : 1) : std::min(colours + (alpha ? 1 : 0), 4);
        for (const PsdChannel& channel : layer->channels) {
            const int plane = channel.id == -1 ? colours : channel.id;
            if (channel.id < -1 || plane >= planes) continue;
            plan.push_back({plane, channel.offset, channel.length});
        }
    }

    header.width = static_cast<int32_t>(width);
    header.height = static_cast<int32_t>(height);
    header.planes = static_cast<int16_t>(planes);
    header.bitsPerPlane = static_cast<int16_t>(std::min<int>(file.depth, 8));
    header.bytesPerPlane = file.depth == 1 ? (width + 7) / 8 : width;
    header.sampleFlags = SamplePlanePasses;
    if (singlePlaneMode(file.mode) && planes == 2) header.components = 2;  // grey and alpha
    if (file.mode == ModeCmyk) {
        header.sampleFlags |= SampleCmykInverted;
        header.colourModel = 3;
    } else if (file.mode == ModeLab) {
        header.sampleFlags |= SampleLabVariant;
        header.colourModel = 6;
    }
    header.dpiX = file.dpiX;
    header.dpiY = file.dpiY;
    header.fullBits = file.depth;

    // The merged picture's compression word and byte-count table come before beginImage,
    // so that an unknown compression is refused cleanly.
    int mergedCompression = 0;
    std::vector<uint16_t> mergedCounts;
    if (merged) {
        if (!streamSeek(stream, file.mergedOffset)) return ResultReadError;
        mergedCompression = streamU16be(stream);
        if (streamFailed(stream)) return ResultReadError;
        header.compression = mergedCompression == 1 ? 1 : 0;
        if (mergedCompression > 1) return readerFail(context, ResultBadHeader, "PSD: Unsupported compression !");
        if (mergedCompression == 1) {
            size_t entries = 0;
            if (!checkedMultiply(file.channels, height, entries) || entries * 2 > streamRemaining(stream))
                return ResultReadError;
            mergedCounts.resize(entries);
            std::vector<uint8_t> raw(entries * 2);
            if (!streamReadExact(stream, raw.data(), raw.size())) return ResultReadError;
            ByteReader counts(raw, true);
            for (size_t i = 0; i < entries; i++) mergedCounts[i] = counts.u16At(2 * i);
        }
    }

    result = beginImage(context, header);
    if (result != 0) return result;

    const int rows = deliverChannels(stream, context, header, file, width, height, plan, merged, mergedCompression,
                                     mergedCounts);
    if (rows == 15) return rows;

    int end = 0;
    if (file.mode == ModeDuotone) {
        end = endImage(context, 0, 0, nullptr);
    } else if (file.mode == ModeIndexed && file.modeData.size() >= 768) {
        end = endImage(context, PalettePlanes, 8, file.modeData.data());
    } else if (file.depth == 1) {
        end = endImage(context, PaletteGrey, 0, nullptr);
    } else {
        end = endImage(context, 0, 0, nullptr);
    }
    if (rows == ResultReadError) return ResultReadError;
    if (rows == ResultCorrupt) return readerFail(context, ResultCorrupt, "PSD: Corrupt channel data !");
    return end;
}

}  // namespace fotrix
