// Pictures made by each codec's own encoder decode as its own decoder
// decodes them (same library: exact, or within 1 for lossy streams), with
// alpha, reduced decoding for thumbnails and the file information agreeing
// with the decode.
#include <gtest/gtest.h>

#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "tests/codecs/codec_support.h"

using codectest::Load;
using testsupport::TempDir;

namespace {

struct Codec {
    const char* name;     // short name of the row
    const char* encoder;  // tool and its command line: {in} {out}
    const char* decoder;  // to PNG: {in} {out}
    const char* extension;
};

const Codec webpLossy{"webp", "cwebp -quiet -q 80 {in} -o {out}", "dwebp -quiet {in} -o {out}", "webp"};
const Codec webpLossless{"webp", "cwebp -quiet -lossless -exact {in} -o {out}", "dwebp -quiet {in} -o {out}", "webp"};
const Codec avif{"avif", "avifenc -j 1 {in} {out}", "avifdec -d 8 {in} {out}", "avif"};
const Codec avif420{"avif", "avifenc -j 1 -y 420 {in} {out}", "avifdec -d 8 {in} {out}", "avif"};
const Codec avifLossless{"avif", "avifenc -j 1 -l {in} {out}", "avifdec -d 8 {in} {out}", "avif"};
const Codec heif{"heif", "heif-enc -q 70 {in} -o {out}", "heif-convert {in} {out}", "heic"};
const Codec jxl{"jxl", "cjxl --quiet {in} {out}", "djxl {in} {out}", "jxl"};
const Codec jxlLossless{"jxl", "cjxl --quiet -d 0 {in} {out}", "djxl {in} {out}", "jxl"};

std::string fill(std::string command, const std::filesystem::path& in, const std::filesystem::path& out)
{
    command.replace(command.find("{in}"), 4, "'" + in.string() + "'");
    command.replace(command.find("{out}"), 5, "'" + out.string() + "'");
    return command;
}

std::string toolOf(const char* command) { return std::string(command).substr(0, std::string(command).find(' ')); }

// Encodes `source` with the codec's encoder into `dir`; empty when it cannot.
std::filesystem::path encode(const Codec& codec, const std::filesystem::path& source, const TempDir& dir)
{
    const std::filesystem::path out = dir / (std::string("picture.") + codec.extension);
    return codectest::runTool(fill(codec.encoder, source, out)) ? out : std::filesystem::path();
}

bool haveCodec(const Codec& codec)
{
    return codectest::formatIndex(codec.name) >= 0 && testsupport::haveTool(toolOf(codec.encoder)) &&
           testsupport::haveTool(toolOf(codec.decoder));
}

#define REQUIRE_CODEC(codec)                                                                   \
    do {                                                                                       \
        if (!haveCodec(codec)) SKIP_MISSING("no " << (codec).name << " row or its tools");    \
    } while (0)

// Our decode of the encoded source against the codec's own decoder's.
void expectLikeReference(const Codec& codec, const std::filesystem::path& source, int tolerance)
{
    TempDir dir;
    const std::filesystem::path encoded = encode(codec, source, dir);
    ASSERT_FALSE(encoded.empty());
    const std::filesystem::path reference = dir / "reference.png";
    ASSERT_TRUE(codectest::runTool(fill(codec.decoder, encoded, reference)));
    Load ours, theirs;
    codectest::loadRgba(encoded, ours);
    codectest::loadRgba(reference, theirs);
    ASSERT_EQ(ours.code, 0) << ours.info.errorText;
    ASSERT_EQ(theirs.code, 0);
    EXPECT_EQ(ours.info.formatIndex, codectest::formatIndex(codec.name));
    EXPECT_LE(testsupport::maxDifference(ours.pixels, theirs.pixels), tolerance);
    EXPECT_GE(testsupport::maxDifference(ours.pixels, theirs.pixels), 0) << "sizes differ";
}

// A lossless stream gives back the source's pixels, alpha included.
void expectSourcePixels(const Codec& codec, const std::filesystem::path& source)
{
    TempDir dir;
    const std::filesystem::path encoded = encode(codec, source, dir);
    ASSERT_FALSE(encoded.empty());
    Load ours, original;
    codectest::loadRgba(encoded, ours);
    codectest::loadRgba(source, original);
    ASSERT_EQ(ours.code, 0) << ours.info.errorText;
    ASSERT_EQ(original.code, 0);
    EXPECT_EQ(testsupport::maxDifference(ours.pixels, original.pixels), 0);
}

// Information without decoding, and a decode into a thumbnail box, agree
// with the full decode.
void expectInfoAndThumbnail(const Codec& codec)
{
    TempDir dir;
    const std::filesystem::path encoded = encode(codec, codectest::photo(), dir);
    ASSERT_FALSE(encoded.empty());
    fotrix::FileInfo info;
    ASSERT_EQ(fotrix::getFileInfo(encoded.string(), -1, 0, info), 0) << info.errorText;
    EXPECT_EQ(info.width, 120);
    EXPECT_EQ(info.height, 96);
    EXPECT_EQ(info.formatIndex, codectest::formatIndex(codec.name));
    EXPECT_EQ(info.imageCount, 1u);
    fotrix::freeFileInfo(info);

    Load thumbnail;
    codectest::loadRgba(encoded, thumbnail, [](fotrix::LoadParams& p) {
        p.options |= fotrix::Preview;
        p.maxWidth = 60;
        p.maxHeight = 60;
    });
    ASSERT_EQ(thumbnail.code, 0) << thumbnail.info.errorText;
    EXPECT_EQ(thumbnail.pixels.width, 60);
    EXPECT_EQ(thumbnail.pixels.height, 48);
    EXPECT_EQ(thumbnail.info.width, 120);
    EXPECT_EQ(thumbnail.info.height, 96);
}

}  // namespace

TEST(WebpReader, lossy_matches_dwebp)
{
    REQUIRE_CODEC(webpLossy);
    expectLikeReference(webpLossy, codectest::photo(), 0);
}

TEST(WebpReader, lossy_alpha_matches_dwebp)
{
    REQUIRE_CODEC(webpLossy);
    expectLikeReference(webpLossy, codectest::alphaPicture(), 0);
}

TEST(WebpReader, lossless_gives_the_source)
{
    REQUIRE_CODEC(webpLossless);
    expectSourcePixels(webpLossless, codectest::photo());
}

// (cwebp does not keep this file's colours exactly where alpha is low: the
// reference is dwebp's decode.)
TEST(WebpReader, lossless_alpha_matches_dwebp)
{
    REQUIRE_CODEC(webpLossless);
    expectLikeReference(webpLossless, codectest::alphaPicture(), 0);
}

TEST(WebpReader, info_and_scaled_thumbnail)
{
    REQUIRE_CODEC(webpLossy);
    expectInfoAndThumbnail(webpLossy);
}

TEST(WebpReader, animation_counts_and_picks_frames)
{
    REQUIRE_CODEC(webpLossless);
    REQUIRE_TOOL("img2webp");
    TempDir dir;
    // Two frames: the photograph, then a red picture of its size.
    const std::filesystem::path red = dir / "red.ppm";
    std::string ppm = "P6\n120 96\n255\n";
    for (int i = 0; i < 120 * 96; ++i) ppm += std::string("\xFF\x00\x00", 3);
    testsupport::writeFile(red, ppm);
    const std::filesystem::path animation = dir / "animation.webp";
    ASSERT_TRUE(codectest::runTool("img2webp -lossless '" + codectest::photo().string() + "' '" + red.string() +
                                   "' -o '" + animation.string() + "'"));
    fotrix::FileInfo info;
    ASSERT_EQ(fotrix::getFileInfo(animation.string(), -1, 0, info), 0) << info.errorText;
    EXPECT_EQ(info.imageCount, 2u);
    fotrix::freeFileInfo(info);
    Load second;
    codectest::loadRgba(animation, second, [](fotrix::LoadParams& p) { p.frameIndex = 1; });
    ASSERT_EQ(second.code, 0) << second.info.errorText;
    ASSERT_EQ(second.pixels.width, 120);
    for (size_t i = 0; i < second.pixels.data.size(); i += 4)
        ASSERT_EQ(second.pixels.data[i] << 16 | second.pixels.data[i + 1] << 8 | second.pixels.data[i + 2], 0xFF0000)
            << "pixel " << i / 4;
    Load first;
    codectest::loadRgba(animation, first);
    Load source;
    codectest::loadRgba(codectest::photo(), source);
    EXPECT_EQ(testsupport::maxDifference(first.pixels, source.pixels), 0);
}

TEST(AvifReader, lossy_matches_avifdec)
{
    REQUIRE_CODEC(avif);
    expectLikeReference(avif, codectest::photo(), 1);
}

TEST(AvifReader, alpha_matches_avifdec)
{
    REQUIRE_CODEC(avif);
    expectLikeReference(avif, codectest::alphaPicture(), 1);
}

// 4:2:0 pictures, whose rows are converted to RGB a block at a time, equal
// avifdec's conversion of the whole picture, also with an odd height and alpha.
TEST(AvifReader, subsampled_chroma_matches_avifdec_exactly)
{
    REQUIRE_CODEC(avif420);
    REQUIRE_TOOL("convert");
    TempDir dir;
    const std::filesystem::path odd = dir / "odd.png";
    ASSERT_TRUE(codectest::runTool("convert '" + codectest::photo().string() + "' -crop 117x93+1+1 +repage '" +
                                   odd.string() + "'"));
    for (const std::filesystem::path& source : {odd, codectest::alphaPicture()}) {
        SCOPED_TRACE(source.string());
        expectLikeReference(avif420, source, 0);
    }
}

TEST(AvifReader, lossless_gives_the_source)
{
    REQUIRE_CODEC(avifLossless);
    expectSourcePixels(avifLossless, codectest::photo());
}

TEST(AvifReader, info_and_thumbnail)
{
    REQUIRE_CODEC(avif);
    expectInfoAndThumbnail(avif);
}

TEST(AvifReader, turned_picture_is_shown_upright)
{
    REQUIRE_CODEC(avifLossless);
    TempDir dir;
    const std::filesystem::path turned = dir / "turned.avif";
    // irot 1: the stored picture is turned a quarter anticlockwise for display.
    ASSERT_TRUE(codectest::runTool("avifenc -j 1 -l --irot 1 '" + codectest::photo().string() + "' '" +
                                   turned.string() + "'"));
    Load ours, source;
    codectest::loadRgba(turned, ours);
    codectest::loadRgba(codectest::photo(), source);
    ASSERT_EQ(ours.code, 0) << ours.info.errorText;
    const int w = source.pixels.width, h = source.pixels.height;
    ASSERT_EQ(ours.pixels.width, h);
    ASSERT_EQ(ours.pixels.height, w);
    // Source pixel (x, y) shows at (y, w - 1 - x).
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(ours.pixels.data[(static_cast<size_t>(w - 1 - x) * h + y) * 4 + c],
                          source.pixels.data[(static_cast<size_t>(y) * w + x) * 4 + c])
                    << x << "," << y;
}

TEST(HeifReader, matches_heif_convert)
{
    REQUIRE_CODEC(heif);
    expectLikeReference(heif, codectest::photo(), 1);
}

TEST(HeifReader, alpha_matches_heif_convert)
{
    REQUIRE_CODEC(heif);
    expectLikeReference(heif, codectest::alphaPicture(), 1);
}

TEST(HeifReader, info_and_thumbnail)
{
    REQUIRE_CODEC(heif);
    expectInfoAndThumbnail(heif);
}

TEST(JxlReader, lossy_matches_djxl)
{
    REQUIRE_CODEC(jxl);
    expectLikeReference(jxl, codectest::photo(), 1);
}

TEST(JxlReader, lossless_alpha_gives_the_source)
{
    REQUIRE_CODEC(jxlLossless);
    expectSourcePixels(jxlLossless, codectest::alphaPicture());
}

TEST(JxlReader, info_and_thumbnail)
{
    REQUIRE_CODEC(jxl);
    expectInfoAndThumbnail(jxl);
}

// A plain load lets the codec decode into the bitmap itself (rows padded to
// four bytes here, so apart by more than a row); one with alpha added goes
// through the pipeline's rows. Both give the same pixels, whole pictures and
// frames alike.
TEST(CodecRows, decoding_into_the_bitmap_gives_the_pipelines_pixels)
{
    REQUIRE_TOOL("convert");
    TempDir dir;
    const std::filesystem::path odd = dir / "odd.png";
    ASSERT_TRUE(codectest::runTool("convert '" + codectest::photo().string() + "' -crop 119x95+0+0 +repage '" +
                                   odd.string() + "'"));
    for (const Codec* codec : {&webpLossy, &webpLossless, &avif, &jxl, &jxlLossless}) {
        SCOPED_TRACE(codec->encoder);
        if (!haveCodec(*codec)) continue;
        const std::filesystem::path encoded = encode(*codec, odd, dir);
        ASSERT_FALSE(encoded.empty());
        Load placed, piped;
        codectest::loadRgba(encoded, placed, [](fotrix::LoadParams& p) {
            p.options &= ~static_cast<uint32_t>(fotrix::ForceAlpha);
            p.rowAlignment = 4;
        });
        codectest::loadRgba(encoded, piped);
        ASSERT_EQ(placed.code, 0) << placed.info.errorText;
        ASSERT_EQ(piped.code, 0) << piped.info.errorText;
        EXPECT_EQ(placed.pixels.width, 119);
        EXPECT_EQ(testsupport::maxDifference(placed.pixels, piped.pixels), 0);
    }
}

TEST(CodecRows, listed_by_extension_and_found_by_probing)
{
    for (const Codec* codec : {&webpLossy, &avif, &heif, &jxl}) {
        SCOPED_TRACE(codec->name);
        const int index = codectest::formatIndex(codec->name);
        if (index < 0) continue;
        EXPECT_GE(index, 28);
        EXPECT_EQ(fotrix::extensionBelongsTo(std::string("a.") + codec->extension, index), 1);
        EXPECT_EQ(fotrix::extensionIsKnown(std::string("A.") + codec->extension), 1);
        if (!haveCodec(*codec)) continue;
        TempDir dir;
        const std::filesystem::path encoded = encode(*codec, codectest::photo(), dir);
        ASSERT_FALSE(encoded.empty());
        const std::filesystem::path misnamed = dir / "picture.png";
        std::filesystem::rename(encoded, misnamed);
        Load load;
        codectest::loadRgba(misnamed, load);
        EXPECT_EQ(load.code, 0) << load.info.errorText;
        EXPECT_EQ(load.info.formatIndex, index);
    }
}

// An animation made by cjxl from a GIF whose later frames are pieces blended
// over the earlier ones: every frame comes composed on the canvas, as
// ImageMagick composes the GIF's frames.
TEST(JxlReader, animation_counts_and_composes_frames)
{
    REQUIRE_CODEC(jxlLossless);
    REQUIRE_TOOL("convert");
    TempDir dir;
    const std::filesystem::path gif = dir / "animation.gif", animation = dir / "animation.jxl";
    // Frames 1 and 2 are small pieces at an offset, drawn over what is there.
    ASSERT_TRUE(codectest::runTool("convert -dispose none -delay 10 -size 40x30 xc:red"
                                   " \\( -size 16x11 xc:blue -repage 40x30+5+5 \\)"
                                   " \\( -size 11x11 xc:lime -repage 40x30+25+15 \\) '" +
                                   gif.string() + "'"));
    ASSERT_TRUE(codectest::runTool("cjxl --quiet -d 0 '" + gif.string() + "' '" + animation.string() + "'"));
    ASSERT_TRUE(codectest::runTool("convert '" + gif.string() + "' -coalesce '" + (dir / "frame-%d.png").string() +
                                   "'"));
    fotrix::FileInfo info;
    ASSERT_EQ(fotrix::getFileInfo(animation.string(), -1, 0, info), 0) << info.errorText;
    EXPECT_EQ(info.imageCount, 3u);
    EXPECT_EQ(info.width, 40);
    fotrix::freeFileInfo(info);

    Load frames[3];
    for (uint32_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        codectest::loadRgba(animation, frames[n], [n](fotrix::LoadParams& p) { p.frameIndex = n; });
        Load composed;
        codectest::loadRgba(dir / ("frame-" + std::to_string(n) + ".png"), composed);
        ASSERT_EQ(frames[n].code, 0) << frames[n].info.errorText;
        ASSERT_EQ(composed.code, 0);
        EXPECT_EQ(frames[n].info.imageCount, 3u);
        EXPECT_EQ(testsupport::maxDifference(frames[n].pixels, composed.pixels), 0);
    }
    EXPECT_GT(testsupport::maxDifference(frames[1].pixels, frames[0].pixels), 0);
    EXPECT_GT(testsupport::maxDifference(frames[2].pixels, frames[1].pixels), 0);
    // A frame beyond the last gives the first, as for the other animations.
    Load beyond;
    codectest::loadRgba(animation, beyond, [](fotrix::LoadParams& p) { p.frameIndex = 9; });
    ASSERT_EQ(beyond.code, 0) << beyond.info.errorText;
    EXPECT_EQ(testsupport::maxDifference(beyond.pixels, frames[0].pixels), 0);
}
