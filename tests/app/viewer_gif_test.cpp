// The animation reader against the composed frames of two public GIF suites,
// its delays, bad files, and the frames advancing on timer 1002.
#include "app/viewer/gif_animation.h"
#include "imagelib/readers/gif_lzw.h"
#include "tests/app/viewer_main_fixture.h"
#include "tests/support/conf_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace fotrix;
namespace fs = std::filesystem;

namespace {

// Our frame as RGB against an RGBA reference; pixels the reference leaves
// transparent are not compared (the view has no transparency to show).
int mismatches(const Bitmap& frame, const uint8_t* rgba, int width, int height)
{
    if (frame.width != width || frame.height != height) return -1;
    int bad = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* want = rgba + 4 * (static_cast<size_t>(y) * width + x);
            if (want[3] != 255) continue;
            const uint8_t* bgr = bitmapRow(frame, y) + 3 * x;
            const uint8_t got[3] = {bgr[2], bgr[1], bgr[0]};
            if (got[0] != want[0] || got[1] != want[1] || got[2] != want[2]) ++bad;
        }
    return bad;
}

struct Frames {
    std::vector<AnimationFrame> list;
    ~Frames() { FreeAnimationFrames(list); }
};

TEST(AnimationReader, frames_match_the_composed_frames_of_gif_peterdn)
{
    fs::path folder = testsupport::testdata("gif-peterdn");
    if (!fs::exists(folder) || !testsupport::haveTool("convert")) SKIP_MISSING("no suite or no ImageMagick");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".gif") continue;
        std::string stem = entry.path().stem().string();
        Frames frames;
        ASSERT_EQ(ReadAnimatedGif(entry.path().string(), frames.list), 0) << stem;
        int expected = 0;
        while (fs::exists(folder / "frames" / (stem + "-" + std::to_string(expected) + ".png"))) ++expected;
        if (expected == 0) continue;
        ++files;
        EXPECT_EQ(static_cast<int>(frames.list.size()), expected) << stem;
        for (int n = 0; n < expected && n < static_cast<int>(frames.list.size()); ++n) {
            testsupport::Pixels reference;
            ASSERT_TRUE(testsupport::decodeWithMagick(folder / "frames" / (stem + "-" + std::to_string(n) + ".png"),
                                                      reference));
            EXPECT_EQ(mismatches(frames.list[n].bitmap, reference.data.data(), reference.width, reference.height), 0)
                << stem << " frame " << n;
        }
    }
    EXPECT_GE(files, 10);
}

using testsupport::readConf;

TEST(AnimationReader, frames_and_delays_match_gif_pygif)
{
    fs::path folder = testsupport::testdata("gif-pygif");
    if (!fs::exists(folder)) SKIP_MISSING("no suite");
    // The animations whose images each make a frame of their own (the suite
    // merges an image without a control block into the next frame; the
    // viewer shows every image as a frame, so those files are left out).
    const char* names[] = {"animation", "animation-speed", "animation-zero-delays", "animation-no-delays",
                           "dispose-keep", "dispose-none", "dispose-restore-background"};
    for (const char* name : names) {
        auto conf = readConf(folder / (std::string(name) + ".conf"));
        if (conf.empty()) continue;
        std::vector<std::string> frameNames;
        std::stringstream list(conf["config"]["frames"]);
        for (std::string f; std::getline(list, f, ',');) frameNames.push_back(f);
        int width = std::stoi(conf["config"]["width"]), height = std::stoi(conf["config"]["height"]);
        Frames frames;
        ASSERT_EQ(ReadAnimatedGif((folder / conf["config"]["input"]).string(), frames.list), 0) << name;
        ASSERT_EQ(frames.list.size(), frameNames.size()) << name;
        for (size_t n = 0; n < frameNames.size(); ++n) {
            auto& section = conf[frameNames[n]];
            std::vector<uint8_t> rgba = testsupport::readFile(folder / section["pixels"]);
            ASSERT_EQ(rgba.size(), static_cast<size_t>(width * height * 4)) << name;
            EXPECT_EQ(mismatches(frames.list[n].bitmap, rgba.data(), width, height), 0) << name << " frame " << n;
            int hundredths = section.count("delay") ? std::stoi(section["delay"]) : 0;
            EXPECT_EQ(frames.list[n].delayMs, AnimationDelayMs(hundredths)) << name << " frame " << n;
        }
    }
}

TEST(AnimationReader, delays_of_zero_and_one_count_as_a_tenth_of_a_second)
{
    EXPECT_EQ(AnimationDelayMs(0), 100);
    EXPECT_EQ(AnimationDelayMs(1), 100);
    EXPECT_EQ(AnimationDelayMs(2), 20);
    EXPECT_EQ(AnimationDelayMs(65535), 655350);
}

// A 2 x 2 GIF with `frames` frames of 2 colours.
std::vector<uint8_t> tinyGif(int frames, int delay, int width = 2, int height = 2)
{
    std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', static_cast<uint8_t>(width), 0, static_cast<uint8_t>(height),
                              0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
    for (int i = 0; i < frames; ++i) {
        const uint8_t control[] = {0x21, 0xF9, 4, 0, static_cast<uint8_t>(delay & 0xFF), static_cast<uint8_t>(delay >> 8),
                                   0, 0};
        g.insert(g.end(), std::begin(control), std::end(control));
        // 2 x 2 at (0, 0); LZW code size 2: clear (4), 1, 6 (1 1), 1, end (5, in 4 bits by then).
        const uint8_t image[] = {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 2, 0x8C, 0x53, 0};
        g.insert(g.end(), std::begin(image), std::end(image));
    }
    g.push_back(';');
    return g;
}

TEST(AnimationReader, bad_files_give_result_codes)
{
    std::vector<AnimationFrame> frames;
    const std::string notGif = "PNG89a-----------";
    EXPECT_EQ(ReadAnimatedGifBytes(reinterpret_cast<const uint8_t*>(notGif.data()), notGif.size(), frames), 2);
    const std::string badVersion = "GIFxxa-----------";
    EXPECT_EQ(ReadAnimatedGifBytes(reinterpret_cast<const uint8_t*>(badVersion.data()), badVersion.size(), frames), 2);
    EXPECT_EQ(ReadAnimatedGif("/nonexistent/file.gif", frames), 3);
    std::vector<uint8_t> good = tinyGif(3, 7);
    ASSERT_EQ(ReadAnimatedGifBytes(good.data(), good.size(), frames), 0);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].delayMs, 70);
    EXPECT_EQ(frames[0].bitmap.type, Bgr);
    EXPECT_EQ(bitmapRow(frames[2].bitmap, 1)[3], 255);  // index 1 of the table: white
    // Cut anywhere: never a crash; after the first frame the frames read stay.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        int result = ReadAnimatedGifBytes(good.data(), cut, frames);
        if (result == 0) EXPECT_GE(frames.size(), 1u) << cut;
        else EXPECT_TRUE(frames.empty()) << cut;
    }
    // An LZW code size outside 2 to 9 and a zero-sized screen.
    std::vector<uint8_t> badCode = tinyGif(1, 0);
    badCode[19 + 8 + 10] = 12;
    EXPECT_EQ(ReadAnimatedGifBytes(badCode.data(), badCode.size(), frames), 9);
    std::vector<uint8_t> huge = tinyGif(1, 0);
    huge[19 + 8 + 5] = 0xFF;  // frame width 0xFF02: wider than any canvas may be
    huge[19 + 8 + 6] = 0xFF;
    EXPECT_EQ(ReadAnimatedGifBytes(huge.data(), huge.size(), frames), 9);
    EXPECT_TRUE(frames.empty());
}

TEST(AnimationReader, thousands_of_frames_stay_within_the_memory_budget)
{
    // 5000 frames of a 200 x 200 canvas would be 600 MB composed.
    std::vector<uint8_t> gif = tinyGif(5000, 0, 200, 200);
    std::vector<AnimationFrame> frames;
    ASSERT_EQ(ReadAnimatedGifBytes(gif.data(), gif.size(), frames), 0);
    size_t bytes = 0;
    for (const AnimationFrame& f : frames) bytes += static_cast<size_t>(f.bitmap.bytesPerRow) * f.bitmap.height;
    EXPECT_LE(bytes, kAnimationMemoryBudget);
    EXPECT_GT(frames.size(), 100u);
    EXPECT_LT(frames.size(), 5000u);
    EXPECT_EQ(frames[0].delayMs, 100);
    FreeAnimationFrames(frames);
}

bool samePixels(const Bitmap& a, const Bitmap& b)
{
    if (a.width != b.width || a.height != b.height) return false;
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(bitmapRow(a, y), bitmapRow(b, y), 3 * static_cast<size_t>(a.width)) != 0) return false;
    return true;
}

TEST(AnimationReader, a_read_cut_by_the_budget_says_so)
{
    std::vector<uint8_t> gif = tinyGif(3, 0, 10, 10);  // 300 bytes a frame
    Frames frames;
    bool cut = true;
    ASSERT_EQ(ReadAnimatedGifBytes(gif.data(), gif.size(), frames.list, kAnimationMemoryBudget, &cut), 0);
    EXPECT_FALSE(cut);
    EXPECT_EQ(frames.list.size(), 3u);
    ASSERT_EQ(ReadAnimatedGifBytes(gif.data(), gif.size(), frames.list, 700, &cut), 0);
    EXPECT_TRUE(cut);
    EXPECT_EQ(frames.list.size(), 2u);
}

// Composing frame by frame gives the frames composed at once, disposal and
// "restore to previous" included, loop after loop.
TEST(AnimationStream, frames_equal_those_read_at_once_over_two_loops)
{
    fs::path folder = testsupport::testdata("gif-pygif");
    if (!fs::exists(folder)) SKIP_MISSING("no suite");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".gif") continue;
        Frames held;
        if (ReadAnimatedGif(entry.path().string(), held.list) != AnimationOk || held.list.size() < 2) continue;
        ++files;
        AnimationStream stream;
        ASSERT_EQ(stream.open(entry.path().string()), AnimationOk) << entry.path();
        const int count = static_cast<int>(held.list.size());
        EXPECT_EQ(stream.count(), count) << entry.path();
        for (int step = 0; step < 2 * count; ++step) {
            if (step > 0) {
                ASSERT_EQ(stream.next(), AnimationOk) << entry.path() << " step " << step;
            }
            const AnimationFrame& want = held.list[static_cast<size_t>(step % count)];
            EXPECT_EQ(stream.index(), step % count) << entry.path();
            EXPECT_TRUE(samePixels(stream.current().bitmap, want.bitmap)) << entry.path() << " step " << step;
            EXPECT_EQ(stream.current().delayMs, want.delayMs) << entry.path() << " step " << step;
        }
    }
    EXPECT_GE(files, 5);
}

TEST(AnimationStream, the_frame_shown_outlives_the_next_step_and_bad_files_do_not_open)
{
    testsupport::TempDir dir;
    std::vector<uint8_t> gif = tinyGif(2, 0, 4, 4);
    testsupport::writeFile(dir.path() / "two.gif", gif);
    AnimationStream stream;
    ASSERT_EQ(stream.open((dir.path() / "two.gif").string()), AnimationOk);
    const uint8_t* shown = stream.current().bitmap.pixels;
    std::vector<uint8_t> copy(shown, shown + stream.current().bitmap.bytesPerRow * 4);
    ASSERT_EQ(stream.next(), AnimationOk);
    // Still readable (ASan would report a use after free) and unchanged.
    EXPECT_EQ(std::memcmp(shown, copy.data(), copy.size()), 0);
    ASSERT_EQ(stream.next(), AnimationOk);  // back to frame 0
    EXPECT_EQ(stream.index(), 0);
    EXPECT_EQ(stream.count(), 2);
    AnimationStream missing;
    EXPECT_EQ(missing.open((dir.path() / "none.gif").string()), AnimationCannotOpen);
    EXPECT_FALSE(missing.isOpen());
    testsupport::writeFile(dir.path() / "text.gif", std::string("not a picture"));
    EXPECT_EQ(missing.open((dir.path() / "text.gif").string()), AnimationNotGif);
    EXPECT_FALSE(missing.isOpen());
}

TEST(GifLzw, invalid_codes_are_reported_and_output_is_bounded)
{
    // Code size 2, 3-bit codes: clear, then code 7 (not yet defined).
    const uint8_t bad[] = {0x3C, 0x00};
    uint8_t out[16];
    EXPECT_EQ(gifDecodeLzwJoined(2, bad, sizeof bad, out, sizeof out), -1);
    const uint8_t good[] = {0x8C, 0x53, 0};  // clear, 1, 6 (1 1), 1, end
    EXPECT_EQ(gifDecodeLzwJoined(2, good, 2, out, sizeof out), 4);
    EXPECT_EQ(gifDecodeLzwJoined(2, good, 2, out, 3), 3);
}

}  // namespace

namespace {

using namespace viewertest;

// 5000 frames of a 200 x 200 canvas are 600 MB composed: the view plays
// them one at a time, past the frames the budget would hold.
TEST_F(MainView, an_animation_beyond_the_memory_budget_plays_every_frame)
{
    std::vector<uint8_t> gif = tinyGif(5000, 2, 200, 200);
    testsupport::writeFile(dir.path() / "long.gif", gif);
    int index = addFile((dir.path() / "long.gif").string());
    LoadIntoView(index, 0, false);
    EXPECT_EQ(gApp.gifFrameCount, 5000);
    const int held = static_cast<int>(kAnimationMemoryBudget / (200 * 200 * 3));
    for (int step = 1; step <= held + 10; ++step) {
        PlatformAdvanceClock(20);
        pump();
    }
    EXPECT_EQ(gApp.gifFrame, held + 10);
    ASSERT_NE(GetViewBitmap(gApp.viewWindow), nullptr);
    EXPECT_EQ(GetViewBitmap(gApp.viewWindow)->width, 200);
}

}  // namespace
