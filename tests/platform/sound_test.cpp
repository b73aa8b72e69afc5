// The wave player: .wav files start, loop, replace and stop one another; files
// that are not PCM wave files are refused (with the default beep unless asked
// not to). Headless the player only keeps count; one test plays through
// SDL2_mixer on SDL's dummy audio driver.
#include "tests/support/platform_support.h"

#include <SDL.h>

#include <cstdlib>

using namespace platformtest;

namespace {

void put16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}
void put32(std::vector<uint8_t>& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A RIFF wave file: `samples` 8-bit mono samples at 8000 Hz, with the format
// tag and the data length as given (to make damaged ones).
std::vector<uint8_t> wave(uint32_t samples, uint16_t formatTag = 1, int64_t dataLength = -1)
{
    std::vector<uint8_t> b;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 36 + samples);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, formatTag);
    put16(b, 1);      // channels
    put32(b, 8000);   // rate
    put32(b, 8000);   // bytes per second
    put16(b, 1);      // block
    put16(b, 8);      // bits
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, dataLength < 0 ? samples : static_cast<uint32_t>(dataLength));
    for (uint32_t i = 0; i < samples; ++i) b.push_back((i / 8) % 2 ? 160 : 96);
    return b;
}

PlatformSoundState status()
{
    PlatformSoundState s{};
    PlatformSoundStatus(&s);
    return s;
}

class Sound : public Headless {
protected:
    std::string file(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::string path = (dir / name).string();
        testsupport::writeFile(path, bytes);
        return path;
    }
    testsupport::TempDir dir;
};

// The flags the slideshow uses for its sound, and to stop it.
constexpr DWORD kLoopFromFile = SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT;

TEST_F(Sound, a_looping_sound_plays_until_stopped_or_replaced)
{
    std::string a = file("a.wav", wave(800)), b = file("b.wav", wave(400));
    ASSERT_TRUE(PlaySound(a.c_str(), nullptr, kLoopFromFile));
    PlatformSoundState s = status();
    EXPECT_EQ(s.started, 1);
    EXPECT_STREQ(s.current, a.c_str());
    EXPECT_TRUE(s.looping);
    // Another sound replaces it.
    ASSERT_TRUE(sndPlaySound(b.c_str(), SND_ASYNC));
    s = status();
    EXPECT_EQ(s.started, 2);
    EXPECT_EQ(s.stopped, 1);
    EXPECT_STREQ(s.current, b.c_str());
    EXPECT_FALSE(s.looping);
    // With SND_NOSTOP a playing sound is left alone.
    EXPECT_FALSE(PlaySound(a.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NOSTOP));
    EXPECT_STREQ(status().current, b.c_str());
    // A null sound stops it.
    ASSERT_TRUE(PlaySound(nullptr, nullptr, SND_NODEFAULT));
    s = status();
    EXPECT_EQ(s.stopped, 2);
    EXPECT_STREQ(s.current, "");
    // Stopping when nothing plays counts no stop.
    ASSERT_TRUE(PlaySound(nullptr, nullptr, SND_NODEFAULT));
    EXPECT_EQ(status().stopped, 2);
    // A synchronous sound has played when the call returns.
    ASSERT_TRUE(PlaySound(a.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_LOOP));
    s = status();
    EXPECT_EQ(s.started, 3);
    EXPECT_STREQ(s.current, "");
}

TEST_F(Sound, files_that_are_not_pcm_wave_are_refused_and_the_sound_playing_goes_on)
{
    std::string good = file("good.wav", wave(800));
    std::vector<uint8_t> truncated = wave(100, 1, 5000);  // data longer than the file
    std::vector<uint8_t> noData = wave(0);
    noData.resize(noData.size() - 8);                     // no data chunk at all
    std::vector<uint8_t> mp3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0, 0xFF, 0xFB, 0x90, 0x64};
    std::vector<std::string> bad = {
        file("float.wav", wave(100, 3)), file("truncated.wav", truncated), file("nodata.wav", noData),
        file("song.mp3", mp3), (dir / "missing.wav").string(),
    };
    ASSERT_TRUE(PlaySound(good.c_str(), nullptr, kLoopFromFile));
    int beeps = PlatformBeepCount();
    for (const std::string& path : bad) {
        EXPECT_FALSE(PlaySound(path.c_str(), nullptr, kLoopFromFile)) << path;
        EXPECT_STREQ(status().current, good.c_str()) << path;
    }
    EXPECT_EQ(PlatformBeepCount(), beeps);  // SND_NODEFAULT: silent
    EXPECT_FALSE(PlaySound(bad[0].c_str(), nullptr, SND_FILENAME | SND_ASYNC));
    EXPECT_EQ(PlatformBeepCount(), beeps + 1);  // otherwise the default sound
    // Memory images and named system sounds are not kept here.
    EXPECT_FALSE(PlaySound("SystemAsterisk", nullptr, SND_ASYNC | SND_NODEFAULT));
    EXPECT_EQ(status().started, 1);
}

class SoundOnSdl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startOffscreenSdl());
        ASSERT_STREQ(PlatformBackendName(), "sdl");
    }
    void TearDown() override { stopOffscreenSdl(); }
    testsupport::TempDir dir;
};

TEST_F(SoundOnSdl, the_mixer_plays_loops_and_stops)
{
    std::string path = (dir / "tone.wav").string();
    testsupport::writeFile(path, wave(400));  // 50 ms
    ASSERT_TRUE(PlaySound(path.c_str(), nullptr, kLoopFromFile));
    EXPECT_STREQ(status().current, path.c_str());
    EXPECT_TRUE(status().looping);
    ASSERT_TRUE(PlaySound(nullptr, nullptr, SND_NODEFAULT));
    EXPECT_STREQ(status().current, "");
    // A synchronous play waits for the end of the sound (50 ms; the dummy
    // driver consumes sound in real time, so the wait cannot be shorter).
    Uint32 before = SDL_GetTicks();
    ASSERT_TRUE(PlaySound(path.c_str(), nullptr, SND_FILENAME | SND_SYNC));
    EXPECT_GE(SDL_GetTicks() - before, 45u);
    EXPECT_STREQ(status().current, "");
    EXPECT_EQ(status().started, 2);
}

}  // namespace
