// TIFF reader, LogLuv data: 24-bit pixels written here word by word and
// files written by libtiff's own LogLuv encoder, compared with tiff2rgba;
// the 24-bit and 32-bit forms of the same colours compared with each other.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "imagelib/load.h"
#include "reader_helpers.h"
#include "tests/support/test_support.h"
#include "tiff_test_files.h"

using namespace fotrix;
using testsupport::Pixels;
using tifftest::loadBytes;
using tifftest::TiffBuilder;
namespace fs = std::filesystem;

namespace {

constexpr uint16_t SgiLog = 34676, SgiLog24 = 34677, LogLuv = 32845, LogL = 32844;

// 24-bit LogLuv words (10-bit log luminance over a 14-bit chroma cell index),
// three bytes each, most significant first, in one uncompressed strip.
std::vector<uint8_t> logLuv24File(uint32_t width, uint32_t height, const std::vector<uint32_t>& words,
                                  uint16_t photometric = LogLuv)
{
    std::vector<uint8_t> strip;
    for (uint32_t w : words)
        for (int shift : {16, 8, 0}) strip.push_back(static_cast<uint8_t>(w >> shift));
    TiffBuilder b = TiffBuilder::picture(width, height, 8, photometric, SgiLog24, strip);
    b.shortTag(277, 3);
    return b.bytes();
}

uint32_t word24(uint32_t luminance, uint32_t cell) { return luminance << 14 | cell; }

// libtiff's LogLuv encoder, reached through the shared library (no headers
// needed): writes float CIE XYZ pixels as SGILog or SGILog24 data.
class LibtiffWriter {
public:
    LibtiffWriter()
    {
        handle_ = dlopen("libtiff.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!handle_) return;
        open_ = reinterpret_cast<Open>(dlsym(handle_, "TIFFOpen"));
        setField_ = reinterpret_cast<SetField>(dlsym(handle_, "TIFFSetField"));
        writeScanline_ = reinterpret_cast<WriteScanline>(dlsym(handle_, "TIFFWriteScanline"));
        close_ = reinterpret_cast<Close>(dlsym(handle_, "TIFFClose"));
    }
    ~LibtiffWriter()
    {
        if (handle_) dlclose(handle_);
    }
    bool available() const { return open_ && setField_ && writeScanline_ && close_; }

    // `xyz`: width x height pixels of three floats.
    bool write(const fs::path& path, uint32_t width, uint32_t height, uint16_t compression, std::vector<float> xyz)
    {
        void* tif = open_(path.c_str(), "w");
        if (!tif) return false;
        // Codec pseudo-tags: the caller's data are float XYZ; no dithering.
        constexpr uint32_t DataFormat = 65560, EncodeMethod = 65561;
        const std::pair<uint32_t, int> fields[] = {
            {256, static_cast<int>(width)}, {257, static_cast<int>(height)}, {259, compression}, {262, LogLuv},
            {277, 3}, {284, 1}, {278, static_cast<int>(height)}, {DataFormat, 0}, {EncodeMethod, 0},
        };
        bool ok = true;
        for (const auto& [tag, value] : fields) ok = ok && setField_(tif, tag, value) == 1;
        for (uint32_t y = 0; ok && y < height; y++)
            ok = writeScanline_(tif, xyz.data() + static_cast<size_t>(y) * width * 3, y, 0) == 1;
        close_(tif);
        return ok;
    }

private:
    using Open = void* (*)(const char*, const char*);
    using SetField = int (*)(void*, uint32_t, ...);
    using WriteScanline = int (*)(void*, void*, uint32_t, uint16_t);
    using Close = void (*)(void*);
    void* handle_ = nullptr;
    Open open_ = nullptr;
    SetField setField_ = nullptr;
    WriteScanline writeScanline_ = nullptr;
    Close close_ = nullptr;
};

// CIE XYZ of linear R, G, B under the reader's RGB primaries (the inverse of
// its XYZ to RGB matrix), so that every colour written here is displayable.
void rgbToXyz(const double rgb[3], float* xyz)
{
    const double m[3][3] = {{2.69, -1.276, -0.414}, {-1.022, 1.978, 0.044}, {0.061, -0.224, 1.163}};
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int i = 0; i < 3; i++) {
        double sum = 0;
        for (int j = 0; j < 3; j++) {
            // Inverse element (i, j): cofactor of (j, i) over the determinant.
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            sum += (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det * rgb[j];
        }
        xyz[i] = static_cast<float>(sum);
    }
}

using testsupport::rgbDifference;

}  // namespace

TEST(TiffLogLuv, EveryChromaCellMatchesTiff2rgba)
{
    // All 16384 cell indices, the last 95 past the grid, at luminances from
    // about 0.1 to 0.9. libtiff turns the same words into 8-bit RGB with the
    // same formulas but through single-precision XYZ, which may move a
    // truncated channel by one level.
    std::vector<uint32_t> words;
    for (uint32_t cell = 0; cell < 16384; cell++) words.push_back(word24(560 + cell * 37 % 200, cell));
    testsupport::TempDir dir;
    const auto path = dir / "cells.tif";
    testsupport::writeFile(path, logLuv24File(128, 128, words));
    Pixels reference;
    ASSERT_TRUE(tifftest::tiff2rgba(path, reference));
    readertest::Load load = readertest::loadRgba(path);
    ASSERT_EQ(load.code, 0) << load.info.errorText;
    EXPECT_EQ(load.info.colourModel, 7);
    EXPECT_STREQ(load.info.compressionText, "SGILog24");
    EXPECT_LE(rgbDifference(load.pixels, testsupport::toRgba(reference)), 1);
}

TEST(TiffLogLuv, KnownPackedWords)
{
    // Luminance 640 is Y = 2^(640.5 / 64 - 12) = 0.2514; past the grid the
    // chroma is the equal-energy white, where X = Y = Z and the reader's
    // matrix gives R = G = B = Y: 256 x sqrt(0.2514) = 128. Luminance 0 is
    // black whatever the chroma; the last cell of the grid (16288) is a
    // strongly coloured one, unlike the first index past it.
    const std::vector<uint32_t> words = {word24(640, 16383), word24(640, 16289), word24(0, 16383), word24(0, 5000),
                                         word24(640, 16288)};
    readertest::Load load = loadBytes(logLuv24File(5, 1, words));
    ASSERT_EQ(load.code, 0) << load.info.errorText;
    for (int x = 0; x < 2; x++)
        for (int c = 0; c < 3; c++) EXPECT_EQ(load.pixels.data[4 * x + c], 128) << x << " " << c;
    for (int x = 2; x < 4; x++)
        for (int c = 0; c < 3; c++) EXPECT_EQ(load.pixels.data[4 * x + c], 0) << x << " " << c;
    const uint8_t* last = &load.pixels.data[16];
    EXPECT_GT(std::max({last[0], last[1], last[2]}) - std::min({last[0], last[1], last[2]}), 64);
}

TEST(TiffLogLuv, DamagedPackedData)
{
    // A strip holding one and a half rows of three: 4, or the first row with ToleratePartial.
    std::vector<uint8_t> file = logLuv24File(2, 3, {word24(640, 16383), word24(640, 16383), word24(640, 16383)});
    readertest::Load cut = loadBytes(file);
    EXPECT_EQ(cut.code, 4);
    readertest::Load partial = loadBytes(file, [](LoadParams& p) { p.options |= ToleratePartial; });
    ASSERT_EQ(partial.code, 0);
    EXPECT_EQ(partial.pixels.data[0], 128);
    EXPECT_EQ(partial.pixels.data[4], 128);

    // There is no 24-bit form of luminance-only data.
    readertest::Load logL = loadBytes(logLuv24File(1, 1, {word24(640, 16383)}, LogL));
    EXPECT_EQ(logL.code, 9);
    EXPECT_STREQ(logL.info.errorText, "TIFF : Bad photometric interpretation !");
}

TEST(TiffLogLuv, LibtiffEncodedColoursInBothForms)
{
    LibtiffWriter libtiff;
    if (!libtiff.available()) SKIP_MISSING("libtiff.so.6 not loadable");
    // Linear R, G, B from 0.05 to 0.95 in every combination, and a grey ramp.
    const double levels[] = {0.05, 0.2, 0.45, 0.7, 0.95};
    std::vector<float> xyz;
    for (double r : levels)
        for (double g : levels)
            for (double b : levels) {
                const double rgb[3] = {r, g, b};
                xyz.resize(xyz.size() + 3);
                rgbToXyz(rgb, &xyz[xyz.size() - 3]);
            }
    for (int i = 0; i < 25; i++) {
        const double grey[3] = {0.02 + i * 0.04, 0.02 + i * 0.04, 0.02 + i * 0.04};
        xyz.resize(xyz.size() + 3);
        rgbToXyz(grey, &xyz[xyz.size() - 3]);
    }
    const uint32_t width = 25, height = static_cast<uint32_t>(xyz.size() / 3 / width);
    ASSERT_EQ(xyz.size(), size_t{width} * height * 3);

    testsupport::TempDir dir;
    Pixels ours[2];
    int form = 0;
    for (uint16_t compression : {SgiLog24, SgiLog}) {
        SCOPED_TRACE(compression);
        const auto path = dir / (std::to_string(compression) + ".tif");
        ASSERT_TRUE(libtiff.write(path, width, height, compression, xyz));
        Pixels reference;
        ASSERT_TRUE(tifftest::tiff2rgba(path, reference));
        readertest::Load load = readertest::loadRgba(path);
        ASSERT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_STREQ(load.info.compressionText, compression == SgiLog24 ? "SGILog24" : "SGILog");
        EXPECT_LE(rgbDifference(load.pixels, testsupport::toRgba(reference)), 1);
        ours[form++] = load.pixels;
    }
    // The two forms quantise differently: chroma to cells of 0.0035 against
    // steps of 1/410 in u' and v', so the two decoded chromaticities lie up
    // to 0.003 apart; near the white point Z / Y changes by about 12 per unit
    // of v', so a channel's linear value may move by some 0.04 Y. Luminance
    // steps (1/64 against 1/256 of an octave) add under 1% of Y. Compared in
    // linear light: at most 0.05 Y apart, plus one 8-bit step of the output.
    // Swapped u' and v', or a wrong luminance scale, would move colours by
    // far more; the cell table itself is checked cell by cell above.
    ASSERT_EQ(ours[0].data.size(), ours[1].data.size());
    double worst = 0;
    for (size_t i = 0; i < ours[0].data.size(); i += 4) {
        const double luminance = xyz[3 * (i / 4) + 1];
        for (int c = 0; c < 3; c++) {
            const int a = ours[0].data[i + c], b = ours[1].data[i + c];
            const double apart = std::abs(a * a - b * b) / 65536.0;
            const double step = (2.0 * std::max(a, b) + 1) / 65536.0;
            worst = std::max(worst, (apart - step) / luminance);
        }
    }
    EXPECT_LE(worst, 0.05);
    EXPECT_GT(worst, 0);  // the forms do differ: both files were really decoded in their own form
}
