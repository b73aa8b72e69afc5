// The codec modules: every module this build made loads into a program that
// uses nothing else of the library; programs map a codec library only when a
// picture needs it; a missing module or one of another build is refused with
// its reason (the row still names the file, so the reason is the module's).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_support.h"

using testsupport::TempDir;

namespace {

const std::string cli = (testsupport::binaryDir() / "cli/fotrix-cli").string();

std::string builtModules()
{
    std::string names;
#if FOTRIX_HAVE_WEBP
    names += " webp";
#endif
#if FOTRIX_HAVE_AVIF
    names += " avif";
#endif
#if FOTRIX_HAVE_HEIF
    names += " heif";
#endif
#if FOTRIX_HAVE_JXL
    names += " jxl";
#endif
#if FOTRIX_HAVE_LCMS2
    names += " lcms2";
#endif
#if FOTRIX_HAVE_LIBRAW
    names += " libraw";
#endif
    return names;
}

// The shared objects the loader maps for a run of fotrix-cli (LD_DEBUG lists
// each one as it is opened).
std::string librariesOpened(const std::string& arguments, int* status = nullptr)
{
    std::string output;
    const int code = testsupport::run("LD_DEBUG=files " + cli + " " + arguments + " 2>&1", &output);
    if (status) *status = code;
    std::string opened;
    for (size_t at = output.find("file="); at != std::string::npos; at = output.find("file=", at + 5)) {
        const size_t end = output.find_first_of(" \t\n[", at + 5);
        opened += output.substr(at + 5, end - at - 5) + "\n";
    }
    return opened;
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(CodecModules, EveryModuleOfThisBuildLoadsIntoAProgramThatUsesNothingElse)
{
    const std::string names = builtModules();
    if (names.empty()) GTEST_SKIP() << "this build made no codec module";
    std::string output;
    EXPECT_EQ(testsupport::run(std::string(PROBE_PROGRAM) + names + " 2>&1", &output), 0) << output;
    for (size_t at = 0; (at = output.find(':', at)) != std::string::npos; ++at)
        EXPECT_EQ(output.compare(at, 8, ": loaded"), 0) << output;
}

#if FOTRIX_HAVE_WEBP
TEST(CodecModules, ACodecLibraryIsMappedOnlyWhenAPictureNeedsIt)
{
    TempDir dir;
    const std::string bmp = (dir.path() / "a.bmp").string(), webp = (dir.path() / "a.webp").string();
    const std::string png = (dir.path() / "a.png").string();
    ASSERT_EQ(testsupport::run("convert -size 8x8 xc:red " + bmp), 0);
    ASSERT_EQ(testsupport::run("convert -size 8x8 xc:red " + png), 0);
    ASSERT_EQ(testsupport::run("cwebp -quiet " + png + " -o " + webp), 0);

    int status = -1;
    const std::string forBmp = librariesOpened("info " + bmp, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(contains(forBmp, "libjpeg")) << forBmp;  // the listing works
    EXPECT_FALSE(contains(forBmp, "fotrix-codec-")) << forBmp;
    EXPECT_FALSE(contains(forBmp, "libwebp")) << forBmp;
    EXPECT_FALSE(contains(forBmp, "libheif")) << forBmp;

    const std::string forWebp = librariesOpened("info " + webp, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(contains(forWebp, "fotrix-codec-webp.so")) << forWebp;
    EXPECT_TRUE(contains(forWebp, "libwebp")) << forWebp;
    EXPECT_FALSE(contains(forWebp, "libheif")) << forWebp;
    EXPECT_FALSE(contains(forWebp, "libraw")) << forWebp;
}

TEST(CodecModules, AMissingModuleOrOneOfAnotherBuildIsRefusedWithItsReason)
{
    TempDir dir;
    const std::string webp = (dir.path() / "a.webp").string();
    ASSERT_EQ(testsupport::run("convert -size 8x8 xc:blue " + (dir.path() / "a.png").string()), 0);
    ASSERT_EQ(testsupport::run("cwebp -quiet " + (dir.path() / "a.png").string() + " -o " + webp), 0);

    std::string output;
    EXPECT_NE(testsupport::run("FOTRIX_CODEC_DIR=" + dir.path().string() + " " + cli + " info " + webp + " 2>&1",
                               &output), 0);
    EXPECT_TRUE(contains(output, "no webp codec module")) << output;
    EXPECT_TRUE(contains(output, "unknown format")) << output;
    EXPECT_TRUE(contains(output, "fotrix-codec-webp.so")) << output;

    output.clear();
    EXPECT_NE(testsupport::run(std::string("FOTRIX_CODEC_DIR=") + FOREIGN_MODULE_DIR + " " + cli + " info " + webp +
                                   " 2>&1",
                               &output),
              0);
    EXPECT_TRUE(contains(output, "made by another build")) << output;
}
#endif
