// The WebP writer: lossless pictures come back exactly (alpha included),
// lossy ones decode with dwebp as with our reader and stay near the source,
// grey and palette pictures go out as colour, EXIF and ICC blocks survive,
// and fotrix-cli convert writes WebP by extension.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "tests/codecs/codec_support.h"
#include "tests/support/bitmap_support.h"

using codectest::Load;
using testsupport::TempDir;

namespace {

// A 64 x 48 RGBA picture: colour ramps, alpha falling from left to right.
void makeRamp(fotrix::Bitmap& bitmap)
{
    ASSERT_EQ(fotrix::bitmapAllocate(bitmap, fotrix::Rgba, 4, 64, 48), 1);
    for (int y = 0; y < 48; ++y) {
        uint8_t* row = fotrix::bitmapRow(bitmap, y);
        for (int x = 0; x < 64; ++x) {
            row[4 * x] = static_cast<uint8_t>(x * 4);
            row[4 * x + 1] = static_cast<uint8_t>(y * 5);
            row[4 * x + 2] = static_cast<uint8_t>((x + y) * 2);
            row[4 * x + 3] = static_cast<uint8_t>(255 - x * 3);
        }
    }
}

testsupport::Pixels pixelsOf(const fotrix::Bitmap& bitmap)
{
    testsupport::Pixels p;
    p.width = bitmap.width;
    p.height = bitmap.height;
    p.channels = 4;
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = fotrix::bitmapRow(bitmap, y);
        p.data.insert(p.data.end(), row, row + 4 * bitmap.width);
    }
    return p;
}

int save(const fotrix::Bitmap& bitmap, const std::filesystem::path& path, bool lossless, int quality = 90)
{
    fotrix::SaveParams params;
    fotrix::saveParamsDefaults(params);
    params.format = codectest::formatIndex("webp");
    params.lossless = lossless ? 1 : 0;
    params.quality = static_cast<uint16_t>(quality);
    return fotrix::saveBitmap(path.string(), bitmap, params);
}

#define REQUIRE_WEBP()                                                     \
    do {                                                                   \
        if (codectest::formatIndex("webp") < 0) SKIP_MISSING("no WebP row"); \
    } while (0)

}  // namespace

TEST(WebpWriter, lossless_rgba_comes_back_exactly)
{
    REQUIRE_WEBP();
    testsupport::OwnedBitmap ramp;
    makeRamp(ramp.bitmap);
    TempDir dir;
    ASSERT_EQ(save(ramp.bitmap, dir / "ramp.webp", true), 0);
    Load back;
    codectest::loadRgba(dir / "ramp.webp", back);
    ASSERT_EQ(back.code, 0) << back.info.errorText;
    EXPECT_EQ(testsupport::maxDifference(back.pixels, pixelsOf(ramp.bitmap)), 0);
    EXPECT_STREQ(back.info.description, "WebP (lossless)");
}

TEST(WebpWriter, lossy_decodes_like_dwebp_and_near_the_source)
{
    REQUIRE_WEBP();
    REQUIRE_TOOL("dwebp");
    testsupport::OwnedBitmap ramp;
    makeRamp(ramp.bitmap);
    TempDir dir;
    ASSERT_EQ(save(ramp.bitmap, dir / "ramp.webp", false, 90), 0);
    ASSERT_TRUE(codectest::runTool("dwebp -quiet '" + (dir / "ramp.webp").string() + "' -o '" +
                                   (dir / "ramp.png").string() + "'"));
    Load ours, theirs;
    codectest::loadRgba(dir / "ramp.webp", ours);
    codectest::loadRgba(dir / "ramp.png", theirs);
    ASSERT_EQ(ours.code, 0) << ours.info.errorText;
    ASSERT_EQ(theirs.code, 0);
    EXPECT_EQ(testsupport::maxDifference(ours.pixels, theirs.pixels), 0);
    EXPECT_STREQ(ours.info.description, "WebP (lossy)");
    // Smooth ramps at quality 90 stay within a few levels of the source.
    const testsupport::Pixels source = pixelsOf(ramp.bitmap);
    long total = 0;
    for (size_t i = 0; i < source.data.size(); ++i) total += std::abs(source.data[i] - ours.pixels.data[i]);
    EXPECT_LT(static_cast<double>(total) / static_cast<double>(source.data.size()), 4.0);
}

TEST(WebpWriter, grey_pictures_go_out_as_colour)
{
    REQUIRE_WEBP();
    testsupport::OwnedBitmap grey;
    ASSERT_EQ(fotrix::bitmapAllocate(grey.bitmap, fotrix::Grey, 4, 30, 20), 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) fotrix::bitmapRow(grey.bitmap, y)[x] = static_cast<uint8_t>(x * 8 + y);
    TempDir dir;
    ASSERT_EQ(save(grey.bitmap, dir / "grey.webp", true), 0);
    Load back;
    codectest::loadRgba(dir / "grey.webp", back);
    ASSERT_EQ(back.code, 0) << back.info.errorText;
    ASSERT_EQ(back.pixels.width, 30);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(back.pixels.data[(static_cast<size_t>(y) * 30 + x) * 4 + c], x * 8 + y) << x << "," << y;
}

TEST(WebpWriter, exif_and_profile_survive)
{
    REQUIRE_WEBP();
    testsupport::OwnedBitmap ramp;
    makeRamp(ramp.bitmap);
    // An EXIF block as JPEG keeps it: the prefix, a little-endian TIFF header
    // and an empty first directory.
    const uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> icc(200);
    for (size_t i = 0; i < icc.size(); ++i) icc[i] = static_cast<uint8_t>(i * 7);
    fotrix::metadataAppend(ramp.bitmap.metadata, fotrix::MetaExif, exif, sizeof exif);
    fotrix::metadataAppend(ramp.bitmap.metadata, fotrix::MetaIcc, icc.data(), static_cast<uint32_t>(icc.size()));
    TempDir dir;
    ASSERT_EQ(save(ramp.bitmap, dir / "tagged.webp", true), 0);

    testsupport::OwnedPicture back;
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options |= fotrix::ReadMetadata;
    ASSERT_EQ(fotrix::loadBitmap((dir / "tagged.webp").string(), back.bitmap, params, &back.info), 0);
    const fotrix::MetadataBlock* exifBack = fotrix::metadataFind(back.bitmap.metadata, fotrix::MetaExif);
    const fotrix::MetadataBlock* iccBack = fotrix::metadataFind(back.bitmap.metadata, fotrix::MetaIcc);
    ASSERT_NE(exifBack, nullptr);
    ASSERT_NE(iccBack, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(exifBack->data, exifBack->data + exifBack->size),
              std::vector<uint8_t>(exif, exif + sizeof exif));
    EXPECT_EQ(std::vector<uint8_t>(iccBack->data, iccBack->data + iccBack->size), icc);
}

TEST(WebpWriter, cli_convert_writes_webp_by_extension)
{
    REQUIRE_WEBP();
    TempDir dir;
    const std::string cli = (testsupport::binaryDir() / "cli" / "fotrix-cli").string();
    const std::filesystem::path out = dir / "photo.webp";
    ASSERT_TRUE(codectest::runTool("'" + cli + "' convert '" + codectest::photo().string() + "' '" + out.string() +
                                   "' --lossless"));
    Load back, source;
    codectest::loadRgba(out, back);
    codectest::loadRgba(codectest::photo(), source);
    ASSERT_EQ(back.code, 0) << back.info.errorText;
    EXPECT_EQ(back.info.formatIndex, codectest::formatIndex("webp"));
    EXPECT_EQ(testsupport::maxDifference(back.pixels, source.pixels), 0);
}
