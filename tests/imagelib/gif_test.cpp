// GIF reader: the pygif conformance suite, the peterdn and image-rs files, and
// files written by Pillow, ImageMagick and gifsicle, compared frame by frame
// (our frames are not composed onto the screen, so only what a single frame
// shows is compared); hand-built files for the block rules and damaged data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "imagelib/formats.h"
#include "raster_helpers.h"
#include "tests/support/conf_support.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using rastertest::Loaded;
using testsupport::Pixels;
using testsupport::testdata;

namespace {

// ---------------------------------------------------------------- builders

struct GifFrame {
    int width = 1;
    int height = 1;
    std::vector<uint8_t> pixels;     // one index a pixel, rows in picture order
    std::vector<uint8_t> localTable; // R, G, B entries; empty: none
    int transparent = -1;            // >= 0: a graphic control extension sets it
    bool interlaced = false;
    int codeSize = 2;
};

// LZW data that puts a clear code before every pixel, so the code width never
// grows: valid for every decoder, and easy to cut or damage on purpose.
std::vector<uint8_t> literalLzw(const std::vector<uint8_t>& pixels, int codeSize, bool endCode = true)
{
    const int clear = 1 << codeSize;
    const int width = codeSize + 1;
    std::vector<uint8_t> packed;
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](int code) {
        bits |= static_cast<uint32_t>(code) << count;
        count += width;
        while (count >= 8) {
            packed.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (uint8_t p : pixels) {
        put(clear);
        put(p);
    }
    if (endCode) put(clear + 1);
    if (count > 0) packed.push_back(static_cast<uint8_t>(bits));
    std::vector<uint8_t> blocks;
    for (size_t i = 0; i < packed.size(); i += 255) {
        const size_t n = std::min<size_t>(255, packed.size() - i);
        blocks.push_back(static_cast<uint8_t>(n));
        blocks.insert(blocks.end(), packed.begin() + static_cast<long>(i), packed.begin() + static_cast<long>(i + n));
    }
    blocks.push_back(0);
    return blocks;
}

int tableBits(size_t bytes)
{
    int bits = 1;
    while ((size_t{3} << bits) < bytes) ++bits;
    return bits;
}

std::vector<uint8_t> gifFile(const std::vector<uint8_t>& globalTable, const std::vector<GifFrame>& frames,
                             const std::vector<std::string>& comments = {})
{
    std::vector<uint8_t> f = {'G', 'I', 'F', '8', '9', 'a'};
    rastertest::putLe16(f, static_cast<unsigned>(frames.empty() ? 1 : frames[0].width));
    rastertest::putLe16(f, static_cast<unsigned>(frames.empty() ? 1 : frames[0].height));
    const int gbits = tableBits(globalTable.size());
    f.push_back(static_cast<uint8_t>(globalTable.empty() ? 0 : 0x80 | (gbits - 1)));
    f.push_back(0);
    f.push_back(0);
    std::vector<uint8_t> table = globalTable;
    if (!table.empty()) table.resize(size_t{3} << gbits);
    f.insert(f.end(), table.begin(), table.end());
    for (const std::string& text : comments) {
        f.push_back(0x21);
        f.push_back(0xFE);
        f.push_back(static_cast<uint8_t>(text.size()));
        f.insert(f.end(), text.begin(), text.end());
        f.push_back(0);
    }
    for (const GifFrame& frame : frames) {
        if (frame.transparent >= 0)
            f.insert(f.end(), {0x21, 0xF9, 4, 1, 0, 0, static_cast<uint8_t>(frame.transparent), 0});
        f.push_back(0x2C);
        rastertest::putLe16(f, 0);
        rastertest::putLe16(f, 0);
        rastertest::putLe16(f, static_cast<unsigned>(frame.width));
        rastertest::putLe16(f, static_cast<unsigned>(frame.height));
        const int lbits = tableBits(frame.localTable.size());
        uint8_t flags = frame.interlaced ? 0x40 : 0;
        if (!frame.localTable.empty()) flags |= static_cast<uint8_t>(0x80 | (lbits - 1));
        f.push_back(flags);
        std::vector<uint8_t> local = frame.localTable;
        if (!local.empty()) local.resize(size_t{3} << lbits);
        f.insert(f.end(), local.begin(), local.end());
        f.push_back(static_cast<uint8_t>(frame.codeSize));
        const std::vector<uint8_t> data = literalLzw(frame.pixels, frame.codeSize);
        f.insert(f.end(), data.begin(), data.end());
    }
    f.push_back(0x3B);
    return f;
}

GifFrame solidFrame(int width, int height, uint8_t index)
{
    GifFrame frame;
    frame.width = width;
    frame.height = height;
    frame.pixels.assign(static_cast<size_t>(width) * height, index);
    return frame;
}

const std::vector<uint8_t> FourColours = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

// ---------------------------------------------------------------- an independent block walk

struct ImageBlock {
    int left = 0, top = 0, width = 0, height = 0;
    bool control = false;  // a graphic control extension precedes it
    int transparent = -1;  // its index when the extension's flag is set
};

// The images of a GIF file as its blocks describe them (no pixel decoding).
std::vector<ImageBlock> walkImages(const std::vector<uint8_t>& f)
{
    std::vector<ImageBlock> images;
    size_t p = 13;
    if (f.size() < 13) return images;
    if (f[10] & 0x80) p += size_t{3} << ((f[10] & 7) + 1);
    auto skipBlocks = [&]() {
        while (p < f.size() && f[p] != 0) p += f[p] + 1u;
        ++p;
    };
    ImageBlock pending;
    while (p < f.size()) {
        const uint8_t b = f[p++];
        if (b == 0x3B) break;
        if (b == 0x21 && p < f.size()) {
            const uint8_t label = f[p++];
            if (label == 0xF9 && p + 4 < f.size() && f[p] == 4) {
                pending.control = true;
                pending.transparent = (f[p + 1] & 1) ? f[p + 4] : -1;
            }
            skipBlocks();
        } else if (b == 0x2C && p + 9 <= f.size()) {
            ImageBlock image = pending;
            image.left = f[p] | f[p + 1] << 8;
            image.top = f[p + 2] | f[p + 3] << 8;
            image.width = f[p + 4] | f[p + 5] << 8;
            image.height = f[p + 6] | f[p + 7] << 8;
            const uint8_t flags = f[p + 8];
            p += 9;
            if (flags & 0x80) p += size_t{3} << ((flags & 7) + 1);
            ++p;  // code size
            skipBlocks();
            images.push_back(image);
            pending = ImageBlock();
        }
    }
    return images;
}

// The transparent index in force for image k: its own extension decides; an
// image without one keeps the index of the images before it.
int transparentInForce(const std::vector<ImageBlock>& images, size_t k)
{
    int index = -1;
    for (size_t i = 0; i <= k && i < images.size(); ++i)
        if (images[i].control) index = images[i].transparent;
    return index;
}

// Whether image k's transparency comes from its own extension (or there is none).
bool ownTransparency(const std::vector<ImageBlock>& images, size_t k)
{
    return images[k].control || transparentInForce(images, k) == -1;
}

// ---------------------------------------------------------------- comparison

// Compares an uncomposed frame with a composed reference of the same size:
// every pixel the frame paints must match; where the frame is transparent,
// the first frame must show nothing either.
void expectFrameMatches(const Pixels& ours, const Pixels& reference, int frame, const std::string& what)
{
    ASSERT_EQ(ours.width, reference.width) << what;
    ASSERT_EQ(ours.height, reference.height) << what;
    int mismatches = 0;
    for (size_t i = 0; i < ours.data.size(); i += 4) {
        const uint8_t* a = &ours.data[i];
        const uint8_t* b = &reference.data[i];
        bool same;
        if (a[3] == 255)
            same = std::memcmp(a, b, 4) == 0;
        else
            same = frame > 0 || b[3] == 0;
        if (!same) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0) << what;
}

using testsupport::readConf;

std::vector<std::string> splitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) parts.push_back(part);
    return parts;
}

bool expectedFrame(const std::filesystem::path& folder, const std::map<std::string, std::string>& frame, int width,
                   int height, Pixels& out)
{
    if (frame.count("pixels")) {
        out.width = width;
        out.height = height;
        out.channels = 4;
        out.data = testsupport::readFile(folder / frame.at("pixels"));
        return out.data.size() == static_cast<size_t>(width) * height * 4;
    }
    return frame.count("image") && rastertest::magickFrame(folder / frame.at("image"), 0, out);
}

}  // namespace

// ---------------------------------------------------------------- public suites

TEST(GifReader, pygif_conformance_frames)
{
    const auto folder = testdata("gif-pygif");
    if (!std::filesystem::exists(folder)) SKIP_MISSING("no gif-pygif suite");
    // Files the suite expects to be refused but that this reader decodes as far
    // as their data goes (damaged LZW data is tolerated by design).
    // plain-text.gif holds a real image after its plain-text extension.
    const std::set<std::string> tolerated = {"invalid-code.gif", "invalid-colors.gif",
                                             "plain-text.gif"};
    int comparedFrames = 0, files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".conf") continue;
        const auto conf = readConf(entry.path());
        const auto& config = conf.at("config");
        const std::string input = config.at("input");
        const int width = std::stoi(config.at("width"));
        const int height = std::stoi(config.at("height"));
        const auto frames = config.count("frames") ? splitCommas(config.at("frames")) : std::vector<std::string>();
        ++files;
        if (frames.empty()) {
            Loaded loaded;
            rastertest::load(folder / input, loaded);
            if (!tolerated.count(input)) EXPECT_NE(loaded.code, 0) << input << " has no frame to show";
            else EXPECT_EQ(loaded.code, 0) << input << " is decoded as far as its data goes";
            continue;
        }
        const auto images = walkImages(testsupport::readFile(folder / input));
        for (size_t k = 0; k < frames.size(); ++k) {
            Loaded loaded;
            rastertest::load(folder / input, loaded, 0, static_cast<uint32_t>(k));
            // Code sizes above 8 are refused.
            if (input == "max-codes.gif") {
                EXPECT_EQ(loaded.code, ResultCorrupt) << input;
                EXPECT_STREQ(loaded.info.errorText, "GIF : Bad code's size !");
                break;
            }
            if (images.empty()) {
                EXPECT_EQ(loaded.code, LoadUnknownFormat) << input << " holds no image";
                break;
            }
            if (images[0].width == 0 || images[0].height == 0) {
                EXPECT_NE(loaded.code, 0) << input << " has an empty image";
                break;
            }
            ASSERT_EQ(loaded.code, 0) << input << " frame " << k;
            EXPECT_EQ(loaded.info.imageCount, images.size()) << input;
            // Only a frame that is exactly one image covering the screen can be
            // compared uncomposed.
            if (images.size() != frames.size()) break;
            const ImageBlock& image = images[k];
            if (image.left != 0 || image.top != 0 || image.width != width || image.height != height) continue;
            EXPECT_EQ(loaded.bitmap.transparentIndex, transparentInForce(images, k)) << input;
            if (!ownTransparency(images, k)) continue;
            Pixels expected;
            ASSERT_TRUE(expectedFrame(folder, conf.at(frames[k]), width, height, expected)) << input;
            expectFrameMatches(rastertest::rgbaOf(loaded.bitmap, true), expected, static_cast<int>(k),
                               input + " frame " + std::to_string(k));
            ++comparedFrames;
        }
    }
    EXPECT_GT(files, 80);
    EXPECT_GT(comparedFrames, 60);
}

TEST(GifReader, peterdn_frames_and_counts)
{
    const auto folder = testdata("gif-peterdn");
    if (!std::filesystem::exists(folder)) SKIP_MISSING("unavailable: !std::filesystem::exists(folder)");
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".gif") continue;
        const std::string stem = entry.path().stem().string();
        int frames = 0;
        while (std::filesystem::exists(folder / "frames" / (stem + "-" + std::to_string(frames) + ".png"))) ++frames;
        if (frames == 0) continue;
        Loaded first;
        rastertest::load(entry.path(), first);
        ASSERT_EQ(first.code, 0) << stem;
        EXPECT_EQ(first.info.imageCount, static_cast<uint32_t>(frames)) << stem;
        const auto images = walkImages(testsupport::readFile(entry.path()));
        ASSERT_EQ(images.size(), static_cast<size_t>(frames));
        for (int k = 0; k < frames; ++k) {
            Loaded loaded;
            rastertest::load(entry.path(), loaded, 0, static_cast<uint32_t>(k));
            ASSERT_EQ(loaded.code, 0) << stem << " frame " << k;
            Pixels expected;
            ASSERT_TRUE(rastertest::magickFrame(folder / "frames" / (stem + "-" + std::to_string(k) + ".png"), 0,
                                                expected));
            const ImageBlock& image = images[static_cast<size_t>(k)];
            if (image.left != 0 || image.top != 0 || image.width != expected.width ||
                image.height != expected.height || !ownTransparency(images, static_cast<size_t>(k)))
                continue;
            expectFrameMatches(rastertest::rgbaOf(loaded.bitmap, true), expected, k, stem + " frame " + std::to_string(k));
            ++compared;
        }
    }
    EXPECT_GE(compared, 10);
}

TEST(GifReader, image_rs_and_pillow_files_match_imagemagick_frames)
{
    std::vector<std::filesystem::path> files;
    for (const char* sub : {"image-rs/images/gif/simple", "image-rs/images/gif/anim", "pillow/gif",
                            "image-rs/regression/gif"}) {
        if (!std::filesystem::exists(testdata(sub))) continue;
        for (const auto& entry : std::filesystem::directory_iterator(testdata(sub)))
            if (entry.path().extension() == ".gif") files.push_back(entry.path());
    }
    if (files.empty()) SKIP_MISSING("unavailable: files.empty()");
    int compared = 0;
    for (const auto& path : files) {
        Loaded loaded;
        rastertest::load(path, loaded);
        Pixels magick;
        const bool magickReads = rastertest::magickFrame(path, 0, magick);
        if (!magickReads) continue;
        // LZW code sizes above 8 are refused as corrupt (ImageMagick takes up to 11).
        if (path.filename() == "issue_2811.gif") {
            EXPECT_EQ(loaded.code, ResultCorrupt);
            continue;
        }
        ASSERT_EQ(loaded.code, 0) << path << ": " << loaded.info.errorText;
        ASSERT_EQ(loaded.bitmap.width, magick.width) << path;
        ASSERT_EQ(loaded.bitmap.height, magick.height) << path;
        EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap, true), magick, true), 0) << path;
        ++compared;
    }
    EXPECT_GT(compared, 30);
}

// ---------------------------------------------------------------- files other tools write

namespace {

// Pillow GIFs of 2 to 256 colours (LZW code sizes 2 to 8), plain and interlaced.
std::filesystem::path pillowGif(const testsupport::TempDir& dir, int colours, bool interlace)
{
    const auto ppm = dir / "source.ppm";
    if (!std::filesystem::exists(ppm)) rastertest::writeRandomPpm(ppm, 97, 61, 7);
    const auto gif = dir / ("p" + std::to_string(colours) + (interlace ? "i" : "") + ".gif");
    const std::string script = "import sys\nfrom PIL import Image\n"
                               "im = Image.open(sys.argv[1]).quantize(int(sys.argv[3]))\n"
                               "im.save(sys.argv[2], interlace=sys.argv[4] == '1', optimize=False)\n";
    testsupport::writeFile(dir / "make.py", script);
    testsupport::run("/usr/bin/python3 '" + (dir / "make.py").string() + "' '" + ppm.string() + "' '" + gif.string() +
                     "' " + std::to_string(colours) + " " + (interlace ? "1" : "0"));
    return gif;
}

}  // namespace

TEST(GifReader, pillow_files_every_code_size_plain_and_interlaced)
{
    if (!rastertest::havePillow()) SKIP_MISSING("unavailable: !rastertest::havePillow()");
    testsupport::TempDir dir;
    for (int colours : {2, 4, 8, 16, 32, 64, 128, 256}) {
        for (bool interlace : {false, true}) {
            const auto gif = pillowGif(dir, colours, interlace);
            ASSERT_TRUE(std::filesystem::exists(gif));
            const auto bytes = testsupport::readFile(gif);
            ASSERT_GT(bytes.size(), 13u);
            Loaded loaded;
            rastertest::load(gif, loaded);
            ASSERT_EQ(loaded.code, 0) << colours;
            Pixels pillow;
            ASSERT_TRUE(rastertest::pillowRgba(gif, pillow));
            EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap), pillow, false), 0)
                << colours << (interlace ? " interlaced" : "");
            const std::string version(bytes.begin() + 3, bytes.begin() + 6);
            EXPECT_EQ(std::string(loaded.info.description),
                      "Compuserve GIF (Version " + version + (interlace ? " - Interlaced)" : ")"))
                << colours;
            // The depth comes from the file's colour table.
            EXPECT_EQ(loaded.bitmap.colorCount, 2 << (bytes[10] & 7)) << colours;
        }
    }
}

TEST(GifReader, imagemagick_animation_with_local_tables_and_gifsicle_optimised_frames)
{
    if (!testsupport::haveTool("gifsicle")) SKIP_MISSING("unavailable: !testsupport::haveTool(\"gifsicle\")");
    testsupport::TempDir dir;
    const auto anim = dir / "anim.gif";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 64x40 gradient:red-blue gradient:green-yellow "
                               "\\( -size 64x40 xc:white -fill black -draw 'circle 32,20 40,28' \\) "
                               "-seed 3 plasma:fractal -loop 0 '" + anim.string() + "' 2>/dev/null"),
              0);
    std::string info;
    testsupport::run("gifsicle --info '" + anim.string() + "'", &info);
    ASSERT_NE(info.find("local color table"), std::string::npos) << "test file should carry local tables";

    const auto optimised = dir / "optimised.gif";
    const auto interlaced = dir / "interlaced.gif";
    ASSERT_EQ(testsupport::run("gifsicle -O3 '" + anim.string() + "' > '" + optimised.string() + "'"), 0);
    ASSERT_EQ(testsupport::run("gifsicle --interlace '" + anim.string() + "' > '" + interlaced.string() + "'"), 0);

    for (const auto& file : {anim, optimised, interlaced}) {
        const auto images = walkImages(testsupport::readFile(file));
        Loaded counted;
        rastertest::load(file, counted);
        ASSERT_EQ(counted.code, 0);
        EXPECT_EQ(counted.info.imageCount, 4u) << file;
        for (int k = 0; k < 4; ++k) {
            Loaded loaded;
            rastertest::load(file, loaded, 0, static_cast<uint32_t>(k));
            ASSERT_EQ(loaded.code, 0) << file << " " << k;
            Pixels magick;
            ASSERT_TRUE(rastertest::magickFrame(file, k, magick));
            // Alpha is compared where the frame's transparency is its own, not
            // one carried over from an earlier frame.
            const bool own = ownTransparency(images, static_cast<size_t>(k));
            EXPECT_EQ(loaded.bitmap.transparentIndex, transparentInForce(images, static_cast<size_t>(k)));
            EXPECT_EQ(rastertest::opaqueDifference(rastertest::rgbaOf(loaded.bitmap, own), magick, own), 0)
                << file << " frame " << k;
        }
    }
}

TEST(GifReader, truncated_data_keeps_decoded_rows_and_leaves_the_rest_at_index_zero)
{
    if (!rastertest::havePillow()) SKIP_MISSING("unavailable: !rastertest::havePillow()");
    testsupport::TempDir dir;
    const auto gif = pillowGif(dir, 256, false);
    Loaded full;
    rastertest::load(gif, full);
    ASSERT_EQ(full.code, 0);
    auto bytes = testsupport::readFile(gif);
    bytes.resize(bytes.size() * 6 / 10);
    const auto cut = dir / "cut.gif";
    testsupport::writeFile(cut, bytes);

    Loaded loaded;
    rastertest::load(cut, loaded);
    ASSERT_EQ(loaded.code, 0);
    ASSERT_EQ(loaded.bitmap.type, Indexed);
    int sameRows = 0, zeroRows = 0;
    for (int y = 0; y < loaded.bitmap.height; ++y) {
        const uint8_t* a = bitmapRow(loaded.bitmap, y);
        const uint8_t* b = bitmapRow(full.bitmap, y);
        if (std::memcmp(a, b, static_cast<size_t>(loaded.bitmap.width)) == 0) ++sameRows;
        else if (std::all_of(a, a + loaded.bitmap.width, [](uint8_t v) { return v == 0; })) ++zeroRows;
    }
    EXPECT_GT(sameRows, 10);
    EXPECT_GT(zeroRows, 10);
    EXPECT_GE(sameRows + zeroRows, loaded.bitmap.height - 1);  // at most the row cut in the middle differs
}

// ---------------------------------------------------------------- block rules, built by hand

namespace {

void writeAndLoad(const testsupport::TempDir& dir, const std::vector<uint8_t>& file, Loaded& out,
                  uint32_t options = 0, uint32_t frame = 0)
{
    const auto path = dir / "test.gif";
    testsupport::writeFile(path, file);
    rastertest::load(path, out, options, frame);
}

}  // namespace

TEST(GifReader, frames_by_index_count_and_preview)
{
    testsupport::TempDir dir;
    std::vector<GifFrame> frames;
    for (int i = 0; i < 10; ++i) frames.push_back(solidFrame(3 + i, 2, static_cast<uint8_t>(i % 4)));
    const auto file = gifFile(FourColours, frames);

    Loaded all;
    writeAndLoad(dir, file, all);
    ASSERT_EQ(all.code, 0);
    EXPECT_EQ(all.info.imageCount, 10u);

    Loaded preview;
    writeAndLoad(dir, file, preview, Preview);
    ASSERT_EQ(preview.code, 0);
    EXPECT_EQ(preview.info.imageCount, 1u);

    Loaded fourth;
    writeAndLoad(dir, file, fourth, 0, 3);
    ASSERT_EQ(fourth.code, 0);
    EXPECT_EQ(fourth.bitmap.width, 6);  // the fourth image's own size
    EXPECT_EQ(bitmapRow(fourth.bitmap, 1)[5], 3);

    Loaded beyond;
    writeAndLoad(dir, file, beyond, 0, 10);
    EXPECT_EQ(beyond.code, LoadUnknownFormat);

    FileInfo info;
    ASSERT_EQ(getFileInfo((dir / "test.gif").string(), -1, 0, info), 0);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.formatIndex, FormatGif);
    EXPECT_EQ(info.compression, 2);
    freeFileInfo(info);
}

TEST(GifReader, colour_tables_local_for_its_image_global_for_the_others)
{
    testsupport::TempDir dir;
    GifFrame first = solidFrame(2, 2, 1);
    GifFrame second = solidFrame(2, 2, 1);
    second.localTable = {9, 9, 9, 200, 100, 50};
    GifFrame third = solidFrame(2, 2, 1);
    const auto file = gifFile(FourColours, {first, second, third});
    const uint8_t expected[3][3] = {{255, 0, 0}, {200, 100, 50}, {255, 0, 0}};
    for (int k = 0; k < 3; ++k) {
        Loaded loaded;
        writeAndLoad(dir, file, loaded, 0, static_cast<uint32_t>(k));
        ASSERT_EQ(loaded.code, 0);
        const Pixels p = rastertest::rgbaOf(loaded.bitmap);
        EXPECT_EQ(p.data[0], expected[k][0]) << k;
        EXPECT_EQ(p.data[1], expected[k][1]) << k;
        EXPECT_EQ(p.data[2], expected[k][2]) << k;
    }

    // Without a global table a later image keeps the latest local one.
    GifFrame onlyLocal = solidFrame(1, 1, 1);
    onlyLocal.localTable = {0, 0, 0, 10, 20, 30};
    Loaded loaded;
    writeAndLoad(dir, gifFile({}, {onlyLocal, solidFrame(1, 1, 1)}), loaded, 0, 1);
    ASSERT_EQ(loaded.code, 0);
    const Pixels p = rastertest::rgbaOf(loaded.bitmap);
    EXPECT_EQ(p.data[0], 10);
    EXPECT_EQ(p.data[2], 30);
}

TEST(GifReader, transparent_index_is_kept_for_later_frames)
{
    testsupport::TempDir dir;
    GifFrame first = solidFrame(2, 1, 0);
    first.transparent = 2;
    GifFrame third = solidFrame(2, 1, 0);
    third.transparent = 1;
    const auto file = gifFile(FourColours, {first, solidFrame(2, 1, 0), third});
    const int expected[3] = {2, 2, 1};
    for (int k = 0; k < 3; ++k) {
        Loaded loaded;
        writeAndLoad(dir, file, loaded, 0, static_cast<uint32_t>(k));
        ASSERT_EQ(loaded.code, 0);
        EXPECT_EQ(loaded.bitmap.transparentIndex, expected[k]) << k;
    }
    Loaded none;
    writeAndLoad(dir, gifFile(FourColours, {solidFrame(1, 1, 0)}), none);
    EXPECT_EQ(none.bitmap.transparentIndex, -1);
}

TEST(GifReader, two_black_entries_make_the_second_white)
{
    testsupport::TempDir dir;
    GifFrame frame = solidFrame(8, 1, 0);
    for (int x = 0; x < 8; x += 2) frame.pixels[static_cast<size_t>(x)] = 1;
    Loaded loaded;
    writeAndLoad(dir, gifFile({0, 0, 0, 0, 0, 0}, {frame}), loaded);
    ASSERT_EQ(loaded.code, 0);
    const Pixels p = rastertest::rgbaOf(loaded.bitmap);
    EXPECT_EQ(p.data[0], 255);  // index 1: white
    EXPECT_EQ(p.data[4], 0);    // index 0: black

    // Any other two-colour table is kept as it is.
    Loaded coloured;
    writeAndLoad(dir, gifFile({0, 0, 0, 0, 0, 9}, {frame}), coloured);
    ASSERT_EQ(coloured.code, 0);
    const Pixels c = rastertest::rgbaOf(coloured.bitmap);
    EXPECT_EQ(c.data[0], 0);
    EXPECT_EQ(c.data[2], 9);
}

TEST(GifReader, interlaced_rows_land_in_pass_order)
{
    testsupport::TempDir dir;
    GifFrame frame;
    frame.width = 1;
    frame.height = 10;
    frame.interlaced = true;
    frame.codeSize = 4;
    // Decoded row i holds value i; passes put them at rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
    for (int i = 0; i < 10; ++i) frame.pixels.push_back(static_cast<uint8_t>(i));
    std::vector<uint8_t> table(48, 0);
    Loaded loaded;
    writeAndLoad(dir, gifFile(table, {frame}), loaded);
    ASSERT_EQ(loaded.code, 0);
    const int rows[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(bitmapRow(loaded.bitmap, rows[i])[0], i) << "decoded row " << i;
}

TEST(GifReader, comments_extensions_and_stray_bytes)
{
    testsupport::TempDir dir;
    auto file = gifFile(FourColours, {solidFrame(2, 2, 1)}, {"first comment", "final words"});
    // An application extension and a plain-text extension before the image,
    // and a stray byte between blocks.
    const std::vector<uint8_t> extra = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                                        3,    1,    0,  0,   0,   0x21, 0x01, 2, 'h', 'i', 0, 0x00};
    const size_t tableEnd = 13 + FourColours.size();
    file.insert(file.begin() + static_cast<long>(tableEnd), extra.begin(), extra.end());
    Loaded loaded;
    writeAndLoad(dir, file, loaded, ReadComment);
    ASSERT_EQ(loaded.code, 0);
    ASSERT_NE(loaded.bitmap.comment, nullptr);
    EXPECT_STREQ(loaded.bitmap.comment, "final words");  // a later comment replaces an earlier one

    Loaded withoutOption;
    writeAndLoad(dir, file, withoutOption);
    EXPECT_EQ(withoutOption.bitmap.comment, nullptr);

    Loaded marker;
    writeAndLoad(dir, gifFile(FourColours, {solidFrame(1, 1, 1)}, {"nCC private"}), marker, ReadComment);
    ASSERT_EQ(marker.code, 0);
    EXPECT_EQ(marker.bitmap.comment, nullptr);
}

TEST(GifReader, bad_headers_give_their_codes_and_messages)
{
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        int code;
        const char* message;
    };
    auto withCodeSize = [](int size) {
        auto f = gifFile(FourColours, {solidFrame(1, 1, 0)});
        f[13 + 12 + 10] = static_cast<uint8_t>(size);
        return f;
    };
    auto zeroWidth = gifFile(FourColours, {solidFrame(1, 1, 0)});
    zeroWidth[13 + 12 + 5] = 0;
    auto cutDescriptor = gifFile(FourColours, {solidFrame(1, 1, 0)});
    cutDescriptor.resize(13 + 12 + 5);
    std::vector<Case> cases = {
        {"signature", {'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}, LoadUnknownFormat, ""},
        {"code size 1", withCodeSize(1), LoadBadData, "GIF : Bad code's size !"},
        {"code size 9", withCodeSize(9), ResultCorrupt, "GIF : Bad code's size !"},
        {"code size 10", withCodeSize(10), ResultCorrupt, "GIF : Bad code's size !"},
        {"code size 8", withCodeSize(8), LoadOk, ""},
        {"zero width", zeroWidth, LoadBadData, "GIF : Bad picture's size !"},
        {"no image", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}, LoadUnknownFormat, ""},
        // Ending before any image is accepted counts as "not a GIF file" for the loader.
        {"descriptor cut short", cutDescriptor, LoadUnknownFormat, ""},
    };
    for (const Case& c : cases) {
        const auto path = dir / "bad.gif";
        testsupport::writeFile(path, c.file);
        Loaded loaded;
        rastertest::load(path, loaded, 0, 0, FormatGif);
        EXPECT_EQ(loaded.code, c.code) << c.name;
        EXPECT_STREQ(loaded.info.errorText, c.message) << c.name;
        if (c.code != LoadOk) {
            EXPECT_EQ(loaded.bitmap.pixels, nullptr) << c.name;
        }
    }
}

TEST(GifReader, damaged_lzw_data_ends_the_picture_quietly)
{
    testsupport::TempDir dir;
    GifFrame frame = solidFrame(4, 4, 2);
    auto file = gifFile(FourColours, {frame});
    // The data starts after header, table, descriptor and code size; the
    // second code of the second pixel pair is replaced by one beyond the table.
    const size_t data = 13 + 12 + 10 + 1 + 1;
    Loaded good;
    writeAndLoad(dir, file, good);
    ASSERT_EQ(good.code, 0);
    EXPECT_EQ(bitmapRow(good.bitmap, 3)[3], 2);

    file[data + 1] = 0xFF;  // codes of 3 bits: an undefined code ends decoding
    Loaded damaged;
    writeAndLoad(dir, file, damaged);
    ASSERT_EQ(damaged.code, 0);
    EXPECT_EQ(bitmapRow(damaged.bitmap, 0)[0], 2);
    EXPECT_EQ(bitmapRow(damaged.bitmap, 3)[3], 0);

    // No end code and no terminator: the file simply stops.
    auto open = gifFile(FourColours, {frame});
    open.resize(open.size() - 3);
    Loaded unterminated;
    writeAndLoad(dir, open, unterminated);
    ASSERT_EQ(unterminated.code, 0);
    EXPECT_EQ(bitmapRow(unterminated.bitmap, 0)[0], 2);
}

// The description of any frame of an animation counts all its frames without
// decoding them; a frame the file lacks is refused.
TEST(GifReader, file_info_describes_each_frame_and_counts_them_all)
{
    testsupport::TempDir dir;
    const auto gif = dir / "anim.gif";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 6x4 xc:red -size 9x5 xc:blue -size 3x2 xc:green '" +
                               gif.string() + "'"), 0);
    const int widths[] = {6, 9, 3};
    for (uint32_t frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        FileInfo info;
        ASSERT_EQ(getFileInfo(gif.string(), -1, 0, info, frame), 0);
        EXPECT_EQ(info.imageCount, 3u);
        EXPECT_EQ(info.width, widths[frame]);
        freeFileInfo(info);
    }
    FileInfo missing;
    EXPECT_NE(getFileInfo(gif.string(), -1, 0, missing, 3), 0);
    freeFileInfo(missing);
    // A preview load of a later frame shows that frame.
    Loaded loaded;
    rastertest::load(gif, loaded, Preview, 1);
    ASSERT_EQ(loaded.code, 0);
    EXPECT_EQ(loaded.bitmap.width, 9);
}
