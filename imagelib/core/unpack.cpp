// Row unpackers: one raw file row to one canonical row. Chosen once per load;
// each is a tight loop without branches on the layout.
#include <cstdint>
#include <cstring>

#include "imagelib/core/pipeline.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <tmmintrin.h>
#endif

namespace fotrix {

namespace {

inline uint16_t word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Widens an n-bit channel value to 8 bits.
template <int Bits>
inline uint8_t widen(unsigned v)
{
    return static_cast<uint8_t>(v * 255 / ((1u << Bits) - 1));
}

void copyPackedBits(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    std::memcpy(out, raw, (static_cast<size_t>(width) + 7) / 8);
}

void packLowBits(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    std::memset(out, 0, (static_cast<size_t>(width) + 7) / 8);
    for (int x = 0; x < width; ++x) out[x >> 3] |= static_cast<uint8_t>((raw[x] & 1) << (7 - (x & 7)));
}

// Planes one after another in the row: bit n of every plane forms pixel n's
// index, plane 0 the least significant.
void combinePlaneBits(const uint8_t* raw, uint8_t* out, int width, const RowGeometry& g)
{
    const int bits = g.bitsPerPlane;
    const unsigned mask = (1u << bits) - 1;
    std::memset(out, 0, static_cast<size_t>(width));
    for (int p = 0; p < g.planes; ++p) {
        const uint8_t* plane = raw + static_cast<size_t>(p) * g.bytesPerPlane;
        for (int x = 0; x < width; ++x) {
            // A value of 3, 5, 6 or 7 bits may straddle two bytes: read both
            // (the row buffer has slack behind every row).
            const int bit = x * bits;
            const unsigned window = static_cast<unsigned>(plane[bit >> 3]) << 8 | plane[(bit >> 3) + 1];
            const unsigned v = (window >> (16 - bits - (bit & 7))) & mask;
            out[x] = static_cast<uint8_t>(out[x] | v << (p * bits));
        }
    }
}

// Planes of 8 bits one after another in the row: gather R, G, B(, A).
void gatherPlaneBytes(const uint8_t* raw, uint8_t* out, int width, const RowGeometry& g)
{
    const int channels = g.canonicalBytes;
    for (int p = 0; p < channels && p < g.planes; ++p) {
        const uint8_t* plane = raw + static_cast<size_t>(p) * g.bytesPerPlane;
        for (int x = 0; x < width; ++x) out[x * channels + p] = plane[x];
    }
    if (channels == 4 && g.planes < 4)
        for (int x = 0; x < width; ++x) out[x * 4 + 3] = 255;
}

void copyPlanePass(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    std::memcpy(out, raw, static_cast<size_t>(width));
}

// 16-bit plane passes: the high byte of each little-endian sample.
void highBytesOfPlanePass(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    for (int x = 0; x < width; ++x) out[x] = raw[2 * x + 1];
}

void copyBytePixels(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    std::memcpy(out, raw, static_cast<size_t>(width));
}

template <int Bits>
void spreadPixels(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    constexpr int perByte = 8 / Bits;
    constexpr unsigned mask = (1u << Bits) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - Bits * (x % perByte + 1);
        out[x] = static_cast<uint8_t>((raw[x / perByte] >> shift) & mask);
    }
}

// Two pixels in three bytes, 4 bits a channel, high nibble first.
void unpack12(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    for (int x = 0; x < width; ++x) {
        const int nibble = x * 3;
        for (int c = 0; c < 3; ++c) {
            const int n = nibble + c;
            const unsigned v = (raw[n >> 1] >> ((n & 1) ? 0 : 4)) & 15;
            out[x * 3 + c] = widen<4>(v);
        }
    }
}

template <int RedShift, int RedBits, int GreenShift, int GreenBits, int BlueShift, int BlueBits>
void unpackPacked16(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    for (int x = 0; x < width; ++x) {
        const unsigned v = word(raw + 2 * x);
        out[3 * x] = widen<RedBits>((v >> RedShift) & ((1u << RedBits) - 1));
        out[3 * x + 1] = widen<GreenBits>((v >> GreenShift) & ((1u << GreenBits) - 1));
        out[3 * x + 2] = widen<BlueBits>((v >> BlueShift) & ((1u << BlueBits) - 1));
    }
}

// Reorders fixed-size pixels: output byte i takes input byte Order[i].
template <int Size, int O0, int O1, int O2, int O3 = 3>
void reorder(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    for (int x = 0; x < width; ++x, raw += Size, out += Size) {
        out[0] = raw[O0];
        out[1] = raw[O1];
        out[2] = raw[O2];
        if constexpr (Size == 4) out[3] = raw[O3];
    }
}

// B, G, R pixels to R, G, B (and back), with the pixels that follow `done`
// swapped one by one.
void swapRedBlueTail(const uint8_t* raw, uint8_t* out, int done, int width)
{
    raw += static_cast<size_t>(done) * 3;
    out += static_cast<size_t>(done) * 3;
    for (int x = done; x < width; ++x, raw += 3, out += 3) {
        const uint8_t b = raw[0], g = raw[1], r = raw[2];
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Five pixels a step with one byte shuffle of 16 bytes; the 16th byte stored
// is the next step's first, so a step needs six pixels left.
[[gnu::target("ssse3")]] void swapRedBlueShuffled(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    int x = 0;
    for (; x + 6 <= width; x += 5) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + static_cast<size_t>(x) * 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + static_cast<size_t>(x) * 3), _mm_shuffle_epi8(pixels, order));
    }
    swapRedBlueTail(raw, out, x, width);
}
#endif

void swapRedBluePlain(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    swapRedBlueTail(raw, out, 0, width);
}

// The row unpacker of 24-bit B, G, R files, the byte shuffle where the
// processor has one. The processor is asked once, when the first such file
// is read: __builtin_cpu_supports would link in a constructor that asks it
// at every start of the program, which a short fotrix-cli run notices.
RowUnpacker swapRedBlue24()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool shuffles = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_SSSE3) != 0;
    }();
    if (shuffles) return swapRedBlueShuffled;
#endif
    return swapRedBluePlain;
}

template <int Size>
void copyPixels(const uint8_t* raw, uint8_t* out, int width, const RowGeometry&)
{
    std::memcpy(out, raw, static_cast<size_t>(width) * Size);
}

// Interleaved samples (components >= 1) to canonical pixels: grey,
// grey+alpha widened to R, G, B, A, or the first four samples. Deep samples
// contribute their high byte.
void unpackSamples(const uint8_t* raw, uint8_t* out, int width, const RowGeometry& g)
{
    const int c = g.components;
    const int step = g.sampleBytes;
    const int high = step - 1;  // little-endian words: the high byte is last
    const int stride = c * step;
    for (int x = 0; x < width; ++x, raw += stride) {
        if (c == 1) {
            *out++ = raw[high];
        } else if (c == 2) {
            out[0] = out[1] = out[2] = raw[high];
            out[3] = raw[step + high];
            out += 4;
        } else {
            const int keep = c >= 4 ? 4 : 3;
            for (int i = 0; i < keep; ++i) out[i] = raw[i * step + high];
            out += keep;
        }
    }
}

// Deep samples kept at 16 bits: copy the words, grey+alpha widened.
void unpackDeepSamples(const uint8_t* raw, uint8_t* out, int width, const RowGeometry& g)
{
    const int c = g.components;
    if (c != 2) {
        const int keep = c >= 4 ? 4 : c;
        for (int x = 0; x < width; ++x) std::memcpy(out + x * keep * 2, raw + x * c * 2, keep * 2);
        return;
    }
    for (int x = 0; x < width; ++x) {
        const uint8_t* s = raw + x * 4;
        uint8_t* d = out + x * 8;
        for (int i = 0; i < 3; ++i) std::memcpy(d + 2 * i, s, 2);
        std::memcpy(d + 6, s + 2, 2);
    }
}

RowUnpacker choosePacked16(uint32_t flags)
{
    if (flags & Sample444High) return unpackPacked16<12, 4, 8, 4, 4, 4>;
    if (flags & Sample444Low) return unpackPacked16<8, 4, 4, 4, 0, 4>;
    if (flags & Sample565) return unpackPacked16<11, 5, 5, 6, 0, 5>;
    if (flags & Sample555GapLow) return unpackPacked16<11, 5, 6, 5, 0, 5>;
    if (flags & Sample555GapMid) return unpackPacked16<11, 5, 5, 5, 0, 5>;
    return unpackPacked16<10, 5, 5, 5, 0, 5>;
}

RowUnpacker chooseOnePlane(const RowGeometry& g)
{
    const uint32_t flags = g.sampleFlags;
    switch (g.bitsPerPlane) {
    case 1: return (flags & SampleBytePerPixel) ? copyBytePixels : spreadPixels<1>;
    case 2: return (flags & SampleBytePerPixel) ? copyBytePixels : spreadPixels<2>;
    case 4: return (flags & SampleBytePerPixel) ? copyBytePixels : spreadPixels<4>;
    case 8: return copyBytePixels;
    case 12: return unpack12;
    case 15: return (flags & Sample555RedLow) ? unpackPacked16<0, 5, 5, 5, 10, 5> : unpackPacked16<10, 5, 5, 5, 0, 5>;
    case 16: return choosePacked16(flags);
    case 24: return (flags & (SampleReversed | SampleBgra)) ? swapRedBlue24() : copyPixels<3>;
    case 32:
        if (flags & SampleReversed) return reorder<4, 3, 2, 1, 0>;
        if (flags & SampleAlphaFirst) return reorder<4, 1, 2, 3, 0>;
        if (flags & SampleBgra) return reorder<4, 2, 1, 0, 3>;
        return copyPixels<4>;
    default:
        return (g.bitsPerPlane < 8) ? copyBytePixels : nullptr;
    }
}

// Several interleaved planes of up to 8 bits in all are packed pixels of
// bitsPerPixel bits.
RowUnpacker chooseInterleavedSmall(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 2: return spreadPixels<2>;
    case 4: return spreadPixels<4>;
    case 8: return copyBytePixels;
    default: return nullptr;
    }
}

}  // namespace

RowUnpacker chooseUnpacker(const RowGeometry& g)
{
    const uint32_t flags = g.sampleFlags;
    if (g.output == OutputKind::Bit)
        return (flags & SampleBytePerPixel) ? packLowBits : copyPackedBits;
    if (flags & SamplePlanePasses) return g.sampleBytes == 2 ? highBytesOfPlanePass : copyPlanePass;
    if (g.components >= 1 && (g.components >= 2 || g.bitsPerPlane > 8))
        return g.deep ? unpackDeepSamples : unpackSamples;
    if (flags & SamplePlanesInRow) return g.bitsPerPlane >= 8 ? gatherPlaneBytes : combinePlaneBits;
    if (g.planes > 1 && g.bitsPerPixel <= 8) return chooseInterleavedSmall(g.bitsPerPixel);
    if (g.planes > 1) {
        if (flags & SampleReversed) return g.bitsPerPixel == 32 ? reorder<4, 3, 2, 1, 0> : swapRedBlue24();
        if (flags & SampleAlphaFirst) return reorder<4, 1, 2, 3, 0>;
        return g.bitsPerPixel == 32 ? copyPixels<4> : copyPixels<3>;
    }
    return chooseOnePlane(g);
}

bool unpackerCopiesUnchanged(RowUnpacker unpack)
{
    return unpack == copyPixels<3> || unpack == copyPixels<4> || unpack == copyBytePixels;
}

void mirrorCanonicalRow(uint8_t* row, int width, const RowGeometry& g)
{
    if (g.output == OutputKind::Bit) {
        for (int a = 0, b = width - 1; a < b; ++a, --b) {
            const int va = bitGet(row, a), vb = bitGet(row, b);
            bitSet(row, a, vb);
            bitSet(row, b, va);
        }
        return;
    }
    const int size = g.canonicalBytes;
    uint8_t tmp[8];
    for (int a = 0, b = width - 1; a < b; ++a, --b) {
        std::memcpy(tmp, row + a * size, size);
        std::memcpy(row + a * size, row + b * size, size);
        std::memcpy(row + b * size, tmp, size);
    }
}

}  // namespace fotrix
