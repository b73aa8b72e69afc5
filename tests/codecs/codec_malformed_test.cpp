// Damaged files of the codec formats: short headers, cut-off files and
// garbage behind a valid signature give result codes, never a picture that
// claims success with made-up pixels (the sanitizers catch the rest).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "imagelib/codecs.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/readers/codec_readers.h"
#include "tests/codecs/codec_support.h"

using codectest::Load;
using testsupport::TempDir;

namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

int loadBytes(const std::vector<uint8_t>& bytes, const char* shortName, uint32_t options = 0)
{
    TempDir dir;
    const std::filesystem::path path = dir / "damaged.bin";
    testsupport::writeFile(path, bytes);
    Load load;
    codectest::loadRgba(path, load, [&](fotrix::LoadParams& p) {
        p.formatIndex = static_cast<int16_t>(codectest::formatIndex(shortName));
        p.options |= options;
    });
    return load.code;
}

// Encodes the photograph with a tool; the encoded bytes, or empty.
std::vector<uint8_t> encoded(const std::string& tool, const std::string& arguments, const char* extension)
{
    if (!testsupport::haveTool(tool)) return {};
    TempDir dir;
    const std::filesystem::path out = dir / (std::string("picture.") + extension);
    std::string command = tool + " " + arguments;
    command.replace(command.find("{in}"), 4, "'" + codectest::photo().string() + "'");
    command.replace(command.find("{out}"), 5, "'" + out.string() + "'");
    if (!codectest::runTool(command)) return {};
    return testsupport::readFile(out);
}

struct Sample {
    const char* name;
    const char* tool;
    const char* arguments;
    const char* extension;
};

const Sample samples[] = {
    {"webp", "cwebp", "-quiet -q 80 {in} -o {out}", "webp"},
    {"avif", "avifenc", "-j 1 {in} {out}", "avif"},
    {"heif", "heif-enc", "-q 50 {in} -o {out}", "heic"},
    {"jxl", "cjxl", "--quiet {in} {out}", "jxl"},
};

}  // namespace

TEST(CodecRows, every_built_codec_has_its_row)
{
#if FOTRIX_HAVE_WEBP
    EXPECT_GE(codectest::formatIndex("webp"), 28);
    EXPECT_NE(fotrix::formatEntry(codectest::formatIndex("webp"))->flags & fotrix::CanWrite, 0u);
#endif
#if FOTRIX_HAVE_AVIF
    EXPECT_GE(codectest::formatIndex("avif"), 28);
#endif
#if FOTRIX_HAVE_HEIF
    EXPECT_GE(codectest::formatIndex("heif"), 28);
#endif
#if FOTRIX_HAVE_JXL
    EXPECT_GE(codectest::formatIndex("jxl"), 28);
#endif
    const int count = fotrix::formatCount();
    fotrix::codecFormatsAttach();
    EXPECT_EQ(fotrix::formatCount(), count) << "attaching again must not add rows";
}

TEST(CodecMalformed, short_headers_are_refused)
{
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"webp", std::string("RIFF\x10\0\0\0WEBPVP8 ", 16)},
        {"webp", std::string("RIFF\x20\0\0\0WEBPVP8L\x04\0\0\0\x2f\0\0\0", 24)},
        {"avif", std::string("\0\0\0\x1c" "ftypavif\0\0\0\0avifmif1", 24)},  // the box says 28
        {"heif", std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic", 24)},
        {"jxl", std::string("\xff\x0a\xfa\x7f", 4)},
        {"jxl", std::string("\0\0\0\x0cJXL \x0d\x0a\x87\x0a", 12)},
    };
    for (const auto& [name, bytes] : cases) {
        if (codectest::formatIndex(name) < 0) continue;
        SCOPED_TRACE(name);
        const int code = loadBytes(bytesOf(bytes), name);
        EXPECT_NE(code, 0);
        EXPECT_NE(code, -2);
    }
}

TEST(CodecMalformed, other_formats_are_not_claimed)
{
    const std::vector<uint8_t> png = testsupport::readFile(codectest::alphaPicture());
    for (const Sample& sample : samples) {
        if (codectest::formatIndex(sample.name) < 0) continue;
        SCOPED_TRACE(sample.name);
        EXPECT_EQ(loadBytes(png, sample.name), fotrix::LoadUnknownFormat);
    }
}

TEST(CodecMalformed, cut_off_files_fail_or_deliver_what_they_hold)
{
    for (const Sample& sample : samples) {
        if (codectest::formatIndex(sample.name) < 0) continue;
        SCOPED_TRACE(sample.name);
        const std::vector<uint8_t> whole = encoded(sample.tool, sample.arguments, sample.extension);
        if (whole.empty()) SKIP_MISSING("no " << sample.tool);
        ASSERT_EQ(loadBytes(whole, sample.name), 0);
        for (const size_t keep : {whole.size() / 2, whole.size() - 7, size_t{40}}) {
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(keep));
            EXPECT_NE(loadBytes(cut, sample.name), 0) << keep << " of " << whole.size() << " bytes";
        }
    }
}

TEST(CodecMalformed, cut_off_webp_keeps_its_top_rows_when_tolerated)
{
    const std::vector<uint8_t> whole = encoded("cwebp", "-quiet -q 80 {in} -o {out}", "webp");
    if (codectest::formatIndex("webp") < 0 || whole.empty()) SKIP_MISSING("no WebP row or cwebp");
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() * 2 / 3));
    EXPECT_EQ(loadBytes(cut, "webp"), fotrix::LoadReadError);
    EXPECT_EQ(loadBytes(cut, "webp", fotrix::ToleratePartial), 0);
    // The rows it holds are the whole file's; the rest are black.
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "whole.webp", whole);
    testsupport::writeFile(dir / "cut.webp", cut);
    codectest::Load full, partial;
    codectest::loadRgba(dir / "whole.webp", full);
    codectest::loadRgba(dir / "cut.webp", partial, [](fotrix::LoadParams& p) { p.options |= fotrix::ToleratePartial; });
    ASSERT_EQ(full.code, 0);
    ASSERT_EQ(partial.code, 0) << partial.info.errorText;
    ASSERT_EQ(partial.pixels.data.size(), full.pixels.data.size());
    const size_t rowBytes = static_cast<size_t>(full.pixels.width) * 4;
    EXPECT_TRUE(std::equal(full.pixels.data.begin(), full.pixels.data.begin() + 8 * rowBytes,
                           partial.pixels.data.begin()))
        << "the top rows";
    const auto last = partial.pixels.data.end() - static_cast<long>(rowBytes);
    for (auto p = last; p != partial.pixels.data.end(); p += 4) ASSERT_EQ(p[0] | p[1] | p[2], 0) << "the last row";
}

TEST(CodecMalformed, garbage_after_the_signature_is_corrupt_data)
{
    // Lossy VP8 data has no redundancy to find damage by: a lossless stream,
    // whose prefix codes break, stands for WebP.
    const Sample damaged[] = {
        {"webp", "cwebp", "-quiet -lossless {in} -o {out}", "webp"},
        samples[1],
        samples[2],
        samples[3],
    };
    for (const Sample& sample : damaged) {
        if (codectest::formatIndex(sample.name) < 0) continue;
        SCOPED_TRACE(sample.name);
        std::vector<uint8_t> bytes = encoded(sample.tool, sample.arguments, sample.extension);
        if (bytes.empty()) SKIP_MISSING("no " << sample.tool);
        // Keep the first 64 bytes (signature and the start of the header), scramble the rest.
        uint32_t seed = 12345;
        for (size_t i = 64; i < bytes.size(); ++i) {
            seed = seed * 1103515245 + 12345;
            bytes[i] = static_cast<uint8_t>(seed >> 16);
        }
        const int code = loadBytes(bytes, sample.name);
        EXPECT_NE(code, 0);
        EXPECT_NE(code, -2);
    }
}

namespace {

// A TIFF structure whose IFD0 holds `entries` (tag, type, count, value) in
// the byte order of `little`.
std::vector<uint8_t> tiffWith(bool little, const std::vector<std::array<uint32_t, 4>>& entries)
{
    std::vector<uint8_t> bytes;
    const auto put16 = [&](uint32_t v) {
        little ? bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)})
               : bytes.insert(bytes.end(), {uint8_t(v >> 8), uint8_t(v)});
    };
    const auto put32 = [&](uint32_t v) { little ? (put16(v & 0xFFFF), put16(v >> 16)) : (put16(v >> 16), put16(v & 0xFFFF)); };
    bytes = little ? std::vector<uint8_t>{'I', 'I', 42, 0} : std::vector<uint8_t>{'M', 'M', 0, 42};
    put32(8);
    put16(static_cast<uint32_t>(entries.size()));
    for (const auto& e : entries) {
        put16(e[0]), put16(e[1]), put32(e[2]);
        put16(e[3]), put16(0);  // a SHORT value sits in the first two bytes
    }
    put32(0);
    return bytes;
}

int orientationOf(const std::vector<uint8_t>& tiff, size_t entry)
{
    const size_t at = 8 + 2 + entry * 12 + 8;
    return tiff[0] == 'I' ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
}

}  // namespace

// Pictures that HEIF, AVIF and JPEG XL turn upright themselves must not carry
// an orientation that turns them once more.
TEST(CodecExif, orientation_of_an_upright_picture_becomes_one_in_both_byte_orders)
{
    for (bool little : {true, false}) {
        auto tiff = tiffWith(little, {{0x010F, 2, 4, 0}, {0x0112, 3, 1, 6}});
        EXPECT_TRUE(fotrix::exifMarkUpright(tiff.data(), tiff.size()));
        EXPECT_EQ(orientationOf(tiff, 1), 1);
        EXPECT_FALSE(fotrix::exifMarkUpright(tiff.data(), tiff.size()));  // already 1
    }
}

TEST(CodecExif, damaged_or_odd_orientation_entries_are_left_alone)
{
    auto wrongType = tiffWith(true, {{0x0112, 4, 1, 6}});
    EXPECT_FALSE(fotrix::exifMarkUpright(wrongType.data(), wrongType.size()));
    EXPECT_EQ(orientationOf(wrongType, 0), 6);
    auto cut = tiffWith(true, {{0x0100, 3, 1, 9}, {0x0112, 3, 1, 8}});
    cut.resize(8 + 2 + 12 + 6);  // the second entry runs past the end
    EXPECT_FALSE(fotrix::exifMarkUpright(cut.data(), cut.size()));
    auto farDirectory = tiffWith(false, {{0x0112, 3, 1, 3}});
    farDirectory[7] = 0xF0;  // IFD0 beyond the bytes
    EXPECT_FALSE(fotrix::exifMarkUpright(farDirectory.data(), farDirectory.size()));
    std::vector<uint8_t> notTiff{'X', 'X', 42, 0, 8, 0, 0, 0};
    EXPECT_FALSE(fotrix::exifMarkUpright(notTiff.data(), notTiff.size()));
}
