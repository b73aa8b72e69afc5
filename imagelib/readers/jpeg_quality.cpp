// Quality estimate of a JPEG file from its quantisation tables.
//
// An encoder that follows the sample tables of ITU-T T.81 (Annex K.1)
// scales them by the quality factor q: by 5000 / q below 50, by 200 - 2q
// from 50 on, in percent, each entry limited to 1..255. For every q we keep
// two fingerprints of the scaled tables: a "hash" of a few entries that move
// early (luminance entries 2 and 53, and for colour files chrominance
// entries 0 and 63) and the sum of all entries. Both fall as q rises, so the
// first q whose fingerprint the file's tables reach is the estimate; files
// written with the sample tables at quality q come out as exactly q.
#include <array>

#include "imagelib/readers/jpeg_glue.h"

namespace fotrix {

namespace {

constexpr std::array<int, 64> luminanceTable = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

constexpr std::array<int, 64> chrominanceTable = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

constexpr int scaledEntry(int value, int quality)
{
    const int percent = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    const int v = (value * percent + 50) / 100;
    return v < 1 ? 1 : (v > 255 ? 255 : v);
}

struct QualityTables {
    std::array<int, 100> hash1, sum1;  // files with one table (grey)
    std::array<int, 100> hash2, sum2;  // files with two tables (colour)
};

constexpr QualityTables buildTables()
{
    QualityTables t{};
    for (int i = 0; i < 100; ++i) {
        const int q = i + 1;
        int lumSum = 0, chromSum = 0;
        for (int k = 0; k < 64; ++k) {
            lumSum += scaledEntry(luminanceTable[k], q);
            chromSum += scaledEntry(chrominanceTable[k], q);
        }
        const int lumHash = scaledEntry(luminanceTable[2], q) + scaledEntry(luminanceTable[53], q);
        t.hash1[i] = lumHash;
        t.sum1[i] = lumSum;
        t.hash2[i] = lumHash + scaledEntry(chrominanceTable[0], q) + scaledEntry(chrominanceTable[63], q);
        t.sum2[i] = lumSum + chromSum;
    }
    // The last entry catches every table set finer than quality 99.
    t.hash1[99] = t.sum1[99] = t.hash2[99] = t.sum2[99] = 0;
    return t;
}

constexpr QualityTables qualityTables = buildTables();

static_assert(qualityTables.hash1[0] == 510 && qualityTables.hash1[5] == 338);
static_assert(qualityTables.sum1[0] == 16320 && qualityTables.sum1[5] == 14073);
static_assert(qualityTables.hash2[0] == 1020 && qualityTables.hash2[5] == 735);
static_assert(qualityTables.sum2[0] == 32640 && qualityTables.sum2[5] == 29804);

int firstReached(const std::array<int, 100>& hashes, const std::array<int, 100>& sums, long hash, long sum)
{
    for (int i = 0; i < 100; ++i)
        if (hash >= hashes[i] || sum >= sums[i]) return i + 1;
    return -1;
}

}  // namespace

int jpegQualityFromTables(const uint16_t* const tables[4])
{
    if (!tables[0]) return -1;
    long sum = 0;
    for (int t = 0; t < 4; ++t)
        if (tables[t])
            for (int k = 0; k < 64; ++k) sum += tables[t][k];
    const uint16_t* q0 = tables[0];
    if (!tables[1]) return firstReached(qualityTables.hash1, qualityTables.sum1, q0[2] + q0[53], sum);
    const uint16_t* q1 = tables[1];
    return firstReached(qualityTables.hash2, qualityTables.sum2, q0[2] + q0[53] + q1[0] + q1[63], sum);
}

int jpegEstimateQuality(const jpeg_decompress_struct& info)
{
    const uint16_t* tables[4] = {};
    for (int t = 0; t < 4; ++t)
        if (info.quant_tbl_ptrs[t]) tables[t] = info.quant_tbl_ptrs[t]->quantval;
    return jpegQualityFromTables(tables);
}

}  // namespace fotrix
