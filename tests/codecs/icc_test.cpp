// ConvertToSrgb: pictures with an embedded profile (TIFF, JPEG APP2, PNG
// iCCP, Photoshop resource 1039) come out as lcms2's tificc converts them,
// CMYK JPEG files through their profile as jpgicc converts them; plain
// decodes keep the file's values and the profile.
#include <gtest/gtest.h>

#include "imagelib/load.h"
#include "tests/codecs/codec_support.h"
#include "tests/support/bitmap_support.h"

using codectest::Load;
using testsupport::TempDir;

namespace {

const char* const ProfileFolder = "/usr/share/color/icc/ghostscript/";

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

bool haveColourTools()
{
    return testsupport::haveTool("convert") && testsupport::haveTool("tificc") && testsupport::haveTool("jpgicc") &&
           std::filesystem::exists(std::string(ProfileFolder) + "a98.icc");
}

#define REQUIRE_COLOUR_TOOLS()                                                                        \
    do {                                                                                              \
        if (!haveColourTools()) SKIP_MISSING("no ImageMagick, liblcms2-utils or the ghostscript profiles"); \
    } while (0)

void loadManaged(const std::filesystem::path& path, Load& load)
{
    codectest::loadRgba(path, load, [](fotrix::LoadParams& p) { p.options |= fotrix::ConvertToSrgb; });
}

// The photograph with the Adobe RGB (1998) compatible profile assigned, as `extension`.
std::filesystem::path tagged(const TempDir& dir, const std::string& extension)
{
    const std::filesystem::path out = dir / ("a98." + extension);
    return codectest::runTool("convert " + quoted(codectest::photo()) + " -profile " + ProfileFolder + "a98.icc " +
                              (extension == "jpg" ? "-quality 95 " : "") + quoted(out))
               ? out
               : std::filesystem::path();
}

// tificc's conversion of `picture`'s plain decode (by fotrix-cli, so that the
// samples are ours) carrying `profile`.
bool tificcReference(const std::filesystem::path& picture, const std::string& profile, const TempDir& dir,
                     Load& reference)
{
    const std::filesystem::path cli = testsupport::binaryDir() / "cli" / "fotrix-cli";
    const std::filesystem::path plain = dir / "plain.pam", tiff = dir / "plain.tif", converted = dir / "srgb.tif";
    if (!codectest::runTool(quoted(cli) + " decode " + quoted(picture) + " " + quoted(plain) + " >/dev/null") ||
        !codectest::runTool("convert " + quoted(plain) + " -profile " + ProfileFolder + profile + " " + quoted(tiff)) ||
        !codectest::runTool("tificc " + quoted(tiff) + " " + quoted(converted)))
        return false;
    codectest::loadRgba(converted, reference);
    return reference.code == 0;
}

void expectLikeTificc(const std::string& extension)
{
    REQUIRE_COLOUR_TOOLS();
    TempDir dir;
    const std::filesystem::path picture = tagged(dir, extension);
    ASSERT_FALSE(picture.empty());
    Load ours, plain, reference;
    loadManaged(picture, ours);
    codectest::loadRgba(picture, plain);
    ASSERT_EQ(ours.code, 0) << ours.info.errorText;
    ASSERT_EQ(plain.code, 0);
    ASSERT_TRUE(tificcReference(picture, "a98.icc", dir, reference));
    EXPECT_EQ(testsupport::maxDifference(ours.pixels, reference.pixels), 0);
    // The profile matters for this picture: the plain decode is far off.
    EXPECT_GT(testsupport::maxDifference(plain.pixels, reference.pixels), 20);
}

}  // namespace

TEST(ColourManagement, tiff_profile_matches_tificc)
{
    REQUIRE_COLOUR_TOOLS();
    TempDir dir;
    const std::filesystem::path picture = tagged(dir, "tif");
    ASSERT_FALSE(picture.empty());
    ASSERT_TRUE(codectest::runTool("tificc " + quoted(picture) + " " + quoted(dir / "srgb.tif")));
    Load ours, reference;
    loadManaged(picture, ours);
    codectest::loadRgba(dir / "srgb.tif", reference);
    ASSERT_EQ(ours.code, 0) << ours.info.errorText;
    ASSERT_EQ(reference.code, 0);
    EXPECT_EQ(testsupport::maxDifference(ours.pixels, reference.pixels), 0);
}

TEST(ColourManagement, jpeg_app2_profile_matches_tificc) { expectLikeTificc("jpg"); }

TEST(ColourManagement, png_iccp_profile_matches_tificc) { expectLikeTificc("png"); }

TEST(ColourManagement, photoshop_profile_resource_matches_tificc) { expectLikeTificc("psd"); }

TEST(ColourManagement, cmyk_jpeg_converts_through_its_profile_like_jpgicc)
{
    REQUIRE_COLOUR_TOOLS();
    TempDir dir;
    const std::filesystem::path cmyk = dir / "cmyk.jpg", reference = dir / "reference.jpg";
    ASSERT_TRUE(codectest::runTool("convert " + quoted(codectest::photo()) + " -colorspace CMYK -profile " +
                                   ProfileFolder + "ps_cmyk.icc -quality 98 " + quoted(cmyk)));
    // jpgicc writes a JPEG again: its finest quality leaves a level of difference.
    ASSERT_TRUE(codectest::runTool("jpgicc -q100 " + quoted(cmyk) + " " + quoted(reference)));
    Load ours, naive, theirs;
    loadManaged(cmyk, ours);
    codectest::loadRgba(cmyk, naive);
    codectest::loadRgba(reference, theirs);
    ASSERT_EQ(ours.code, 0) << ours.info.errorText;
    ASSERT_EQ(naive.code, 0);
    ASSERT_EQ(theirs.code, 0);
    EXPECT_LE(testsupport::maxDifference(ours.pixels, theirs.pixels), 2);
    EXPECT_GT(testsupport::maxDifference(naive.pixels, theirs.pixels), 20);
}

TEST(ColourManagement, profile_is_dropped_once_applied_and_kept_otherwise)
{
    REQUIRE_COLOUR_TOOLS();
    TempDir dir;
    const std::filesystem::path picture = tagged(dir, "jpg");
    ASSERT_FALSE(picture.empty());
    for (const bool managed : {false, true}) {
        SCOPED_TRACE(managed ? "converted" : "plain");
        testsupport::OwnedPicture loaded;
        fotrix::LoadParams params;
        fotrix::loadParamsDefaults(params);
        params.options |= fotrix::ReadMetadata | (managed ? fotrix::ConvertToSrgb : 0u);
        ASSERT_EQ(fotrix::loadBitmap(picture.string(), loaded.bitmap, params, &loaded.info), 0);
        EXPECT_EQ(fotrix::metadataFind(loaded.bitmap.metadata, fotrix::MetaIcc) != nullptr, !managed);
    }
    // Without ReadMetadata the profile read for the conversion is not handed on.
    testsupport::OwnedPicture bare;
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options |= fotrix::ConvertToSrgb;
    ASSERT_EQ(fotrix::loadBitmap(picture.string(), bare.bitmap, params, &bare.info), 0);
    EXPECT_EQ(bare.bitmap.metadata, nullptr);
}

TEST(ColourManagement, cmyk_kept_by_the_caller_stays_cmyk)
{
    REQUIRE_COLOUR_TOOLS();
    TempDir dir;
    const std::filesystem::path cmyk = dir / "cmyk.jpg";
    ASSERT_TRUE(codectest::runTool("convert " + quoted(codectest::photo()) + " -colorspace CMYK -profile " +
                                   ProfileFolder + "ps_cmyk.icc " + quoted(cmyk)));
    testsupport::OwnedPicture loaded;
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options |= fotrix::ConvertToSrgb | fotrix::KeepCmyk;
    ASSERT_EQ(fotrix::loadBitmap(cmyk.string(), loaded.bitmap, params, &loaded.info), 0);
    EXPECT_EQ(loaded.bitmap.type, fotrix::Cmyk);
}
