// Transparency when the caller asks for colour with alpha (ForceTrueColour +
// ForceAlpha): palette transparency and grey pictures' alpha become the fourth
// component, compared with ImageMagick's decode of files that other tools
// wrote. Without those options the pictures keep their palette, grey type and
// transparent index.
#include <gtest/gtest.h>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"
#include "reader_helpers.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using testsupport::Pixels;
using testsupport::testdata;

namespace {

bool haveMagick() { return testsupport::haveTool("convert"); }

// A 16x8 picture with a clear background, an opaque red block and a
// half-transparent blue one, written by ImageMagick as `name` with `type`.
std::filesystem::path magickPicture(const testsupport::TempDir& dir, const std::string& name, const std::string& type)
{
    const auto path = dir / name;
    const std::string command = "/usr/bin/convert -size 16x8 -depth 8 xc:none -fill '#c03010' -draw 'rectangle 2,1 9,6' "
                                "-fill '#20a0f080' -draw 'rectangle 6,3 14,7' -depth 8 -type " +
                                type + " '" + path.string() + "' 2>/dev/null";
    EXPECT_EQ(testsupport::run(command), 0) << command;
    return path;
}

// Our RGBA decode equals ImageMagick's in every sample, alpha included; colour
// under fully clear pixels is not compared (tools differ in what they keep there).
void expectSameRgba(const std::filesystem::path& path)
{
    const readertest::Load ours = readertest::loadRgba(path);
    ASSERT_EQ(ours.code, 0) << path;
    Pixels decoded;
    ASSERT_TRUE(testsupport::decodeWithMagick(path, decoded)) << path;
    const Pixels reference = testsupport::toRgba(decoded);
    ASSERT_EQ(ours.pixels.width, reference.width);
    ASSERT_EQ(ours.pixels.height, reference.height);
    int clear = 0, worstAlpha = 0;
    for (size_t i = 3; i < reference.data.size(); i += 4) {
        worstAlpha = std::max(worstAlpha, std::abs(ours.pixels.data[i] - reference.data[i]));
        clear += reference.data[i] == 0;
    }
    EXPECT_EQ(worstAlpha, 0) << path;
    EXPECT_EQ(readertest::maxColourDifference(ours.pixels, reference, true), 0) << path;
    EXPECT_GT(clear, 0) << path << ": the file should have clear pixels";
}

}  // namespace

TEST(AlphaRequest, PaletteAndGreyFilesFromImageMagickKeepTheirAlpha)
{
    if (!haveMagick()) SKIP_MISSING("no convert");
    testsupport::TempDir dir;
    expectSameRgba(magickPicture(dir, "palette.png", "PaletteAlpha"));
    expectSameRgba(magickPicture(dir, "palette.gif", "PaletteAlpha"));
    expectSameRgba(magickPicture(dir, "grey-alpha.png", "GrayscaleAlpha"));
}

TEST(AlphaRequest, PngSuiteTransparencyFiles)
{
    if (!haveMagick()) SKIP_MISSING("no convert");
    // Palette with tRNS (full and partial alpha), grey with a transparent level
    // (8 bits or less: 16-bit samples are cut where ImageMagick rounds).
    for (const char* name : {"tbbn3p08.png", "tm3n3p02.png", "tp1n3p08.png", "tbbn0g04.png"}) {
        const auto path = testdata("pngsuite/png") / name;
        if (!std::filesystem::exists(path)) SKIP_MISSING("missing " << path);
        SCOPED_TRACE(name);
        expectSameRgba(path);
    }
}

TEST(AlphaRequest, DefaultsKeepPaletteGreyAndTransparentIndex)
{
    if (!haveMagick()) SKIP_MISSING("no convert");
    testsupport::TempDir dir;
    LoadParams params;
    loadParamsDefaults(params);

    Bitmap palette;
    ASSERT_EQ(loadBitmap(magickPicture(dir, "palette.png", "PaletteAlpha").string(), palette, params, nullptr), 0);
    EXPECT_EQ(palette.type, Indexed);
    EXPECT_GE(palette.transparentIndex, 0);
    bitmapFree(palette);

    Bitmap grey;
    ASSERT_EQ(loadBitmap(magickPicture(dir, "grey-alpha.png", "GrayscaleAlpha").string(), grey, params, nullptr), 0);
    EXPECT_EQ(grey.type, Grey);
    bitmapFree(grey);

    // Colour without alpha asked for: every pixel opaque.
    const readertest::Load opaque =
        readertest::loadRgba(dir / "palette.png", [](LoadParams& p) { p.options &= ~ForceAlpha; });
    ASSERT_EQ(opaque.code, 0);
    for (size_t i = 3; i < opaque.pixels.data.size(); i += 4) ASSERT_EQ(opaque.pixels.data[i], 255);
}
