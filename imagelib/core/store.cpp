// Row storers: one canonical row into a bitmap row, in the output kind and
// channel order the caller asked for. Chosen once per load.
#include <algorithm>
#include <cstring>

#include "imagelib/core/pipeline.h"

namespace fotrix {

namespace {

void storeBits(const uint8_t* in, int, uint8_t* out, int count, const RowGeometry&)
{
    std::memcpy(out, in, (static_cast<size_t>(count) + 7) / 8);
}

void storeBytes(const uint8_t* in, int, uint8_t* out, int count, const RowGeometry&)
{
    std::memcpy(out, in, static_cast<size_t>(count));
}

// Plane passes into one byte a pixel: plane 0 gives the value; further
// one-bit planes add their bit above it (two 1-bit planes form a 2-bit index).
void storePlanePassBytes(const uint8_t* in, int plane, uint8_t* out, int count, const RowGeometry& g)
{
    if (plane == 0) {
        std::memcpy(out, in, static_cast<size_t>(count));
    } else if (g.bitsPerPlane == 1 && plane < 8) {
        for (int x = 0; x < count; ++x) out[x] = static_cast<uint8_t>(out[x] | (in[x] & 1) << plane);
    }
}

// Palette indexes (or grey levels) into a colour pixel: the index stands
// where red will be; endImage replaces it through the palette.
template <int Size>
void storeIndexAtRed(const uint8_t* in, int, uint8_t* out, int count, const RowGeometry& g)
{
    const int red = g.channelPosition[0];
    std::memset(out, 0, static_cast<size_t>(count) * Size);
    for (int x = 0; x < count; ++x) out[x * Size + red] = in[x];
}

// Canonical R, G, B(, A) pixels of InSize bytes into output pixels of OutSize bytes.
template <int InSize, int OutSize>
void storeColour(const uint8_t* in, int, uint8_t* out, int count, const RowGeometry& g)
{
    const int r = g.channelPosition[0], gr = g.channelPosition[1], b = g.channelPosition[2], a = g.channelPosition[3];
    for (int x = 0; x < count; ++x, in += InSize, out += OutSize) {
        out[r] = in[0];
        out[gr] = in[1];
        out[b] = in[2];
        if constexpr (OutSize == 4) out[a] = InSize == 4 ? in[3] : g.fillAlpha;
    }
}

// CMYK and L*a*b* samples keep their file order whatever the channel order.
template <int InSize, int OutSize>
void storeFileOrder(const uint8_t* in, int, uint8_t* out, int count, const RowGeometry& g)
{
    for (int x = 0; x < count; ++x, in += InSize, out += OutSize) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        if constexpr (OutSize == 4) out[3] = InSize == 4 ? in[3] : g.fillAlpha;
    }
}

// One plane's samples into its channel of colour pixels.
template <int OutSize>
void storePlanePassColour(const uint8_t* in, int plane, uint8_t* out, int count, const RowGeometry& g)
{
    if (plane < 0 || plane >= OutSize) return;
    const int position = g.keepFileOrder ? plane : g.channelPosition[plane];
    if (plane == 0 && OutSize == 4 && !g.keepFileOrder) {
        // Files without an alpha plane still get the caller's alpha.
        for (int x = 0; x < count; ++x) out[x * 4 + g.channelPosition[3]] = g.fillAlpha;
    }
    for (int x = 0; x < count; ++x) out[x * OutSize + position] = in[x];
}

// Grey and alpha planes (components 2): the grey plane gives red, green and
// blue, the alpha plane the alpha (dropped from three-component output).
template <int OutSize>
void storeGreyAlphaPlanePass(const uint8_t* in, int plane, uint8_t* out, int count, const RowGeometry& g)
{
    const uint8_t* at = g.channelPosition;
    if (plane == 0) {
        for (int x = 0; x < count; ++x, out += OutSize) out[at[0]] = out[at[1]] = out[at[2]] = in[x];
    } else if (plane == 1 && OutSize == 4) {
        for (int x = 0; x < count; ++x) out[x * 4 + at[3]] = in[x];
    }
}

// Deep samples stay 16-bit words in R, G, B(, A) order; a missing alpha
// becomes the caller's alpha widened to 16 bits.
void storeDeep(const uint8_t* in, int, uint8_t* out, int count, const RowGeometry& g)
{
    const int inSize = g.canonicalBytes, outSize = g.outputPixelBytes;
    if (inSize == outSize) {
        std::memcpy(out, in, static_cast<size_t>(count) * inSize);
        return;
    }
    const int common = std::min(inSize, outSize);
    for (int x = 0; x < count; ++x, in += inSize, out += outSize) {
        std::memcpy(out, in, common);
        if (outSize > inSize) out[outSize - 2] = out[outSize - 1] = g.fillAlpha;
    }
}

RowStorer chooseColourStorer(const RowGeometry& g)
{
    const bool four = g.output == OutputKind::Four;
    if ((g.sampleFlags & SamplePlanePasses) && g.components == 2)
        return four ? storeGreyAlphaPlanePass<4> : storeGreyAlphaPlanePass<3>;
    if (g.sampleFlags & SamplePlanePasses) return four ? storePlanePassColour<4> : storePlanePassColour<3>;
    if (g.paletteIndexes) return four ? storeIndexAtRed<4> : storeIndexAtRed<3>;
    const bool inFour = g.canonicalBytes == 4;
    if (g.keepFileOrder) {
        if (four) return inFour ? storeFileOrder<4, 4> : storeFileOrder<3, 4>;
        return inFour ? storeFileOrder<4, 3> : storeFileOrder<3, 3>;
    }
    if (four) return inFour ? storeColour<4, 4> : storeColour<3, 4>;
    return inFour ? storeColour<4, 3> : storeColour<3, 3>;
}

}  // namespace

bool storerCopiesUnchanged(const RowGeometry& g)
{
    if (g.deep) return g.canonicalBytes == g.outputPixelBytes;
    if (g.sampleFlags & SamplePlanePasses) return false;
    switch (g.output) {
    case OutputKind::Bit: return true;
    case OutputKind::Byte: return true;
    case OutputKind::Three:
    case OutputKind::Four: {
        if (g.paletteIndexes) return false;
        const int size = g.output == OutputKind::Three ? 3 : 4;
        if (g.canonicalBytes != size) return false;
        if (g.keepFileOrder) return true;
        for (int c = 0; c < size; ++c)
            if (g.channelPosition[c] != c) return false;
        return true;
    }
    }
    return false;
}

RowStorer chooseStorer(const RowGeometry& g)
{
    if (g.deep) return storeDeep;
    switch (g.output) {
    case OutputKind::Bit: return storeBits;
    case OutputKind::Byte: return (g.sampleFlags & SamplePlanePasses) ? storePlanePassBytes : storeBytes;
    default: return chooseColourStorer(g);
    }
}

}  // namespace fotrix
