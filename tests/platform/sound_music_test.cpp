// Background music: plays a wave file on SDL's dummy audio device, refuses a
// file that is not sound, and gives up quietly without a device.
#include <gtest/gtest.h>

#include "platform/sound/music.h"
#include "tests/support/env_support.h"
#include "tests/support/test_support.h"

namespace {

void writeWave(const std::filesystem::path& path)
{
    std::string w = "RIFF";
    auto le = [&](uint32_t v, int n) {
        for (int k = 0; k < n; ++k) w += static_cast<char>(v >> (8 * k));
    };
    le(36 + 400, 4);
    w += "WAVEfmt ";
    le(16, 4);
    le(1, 2);
    le(1, 2);
    le(22050, 4);
    le(44100, 4);
    le(2, 2);
    le(16, 2);
    w += "data";
    le(400, 4);
    w += std::string(400, '\0');
    testsupport::writeFile(path, w);
}

TEST(Music, plays_loops_and_stops_on_the_dummy_device_and_refuses_non_sound)
{
    testsupport::TempDir dir;
    writeWave(dir / "a.wav");
    testsupport::writeFile(dir / "junk.mp3", std::string("this is not sound at all"));
    testsupport::EnvScope dummy("SDL_AUDIODRIVER", "dummy");
    ASSERT_TRUE(musicPlay((dir / "a.wav").string(), true));
    EXPECT_TRUE(musicPlaying());
    EXPECT_FALSE(musicPlay((dir / "junk.mp3").string(), true));
    EXPECT_FALSE(musicPlaying());  // the earlier music was stopped first
    musicStop();
    musicClose();
}

TEST(Music, without_a_device_nothing_plays)
{
    testsupport::TempDir dir;
    writeWave(dir / "a.wav");
    testsupport::EnvScope none("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_FALSE(musicPlay((dir / "a.wav").string(), false));
    EXPECT_FALSE(musicPlaying());
    musicClose();
}

}  // namespace
