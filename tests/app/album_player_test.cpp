// The album player on the headless screen: pictures in turn on its timer,
// the sound member taken out of the pictures, the no-loop close, a tap ends
// the show, and albums that do not open show nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/album/core/album_build.h"
#include "app/album/slideshow_player.h"
#include "app/viewer/view_window.h"
#include "archive/zip.h"
#include "imagelib/bitmap.h"
#include "imagelib/formats.h"
#include "imagelib/save.h"
#include "platform/screen/metrics.h"
#include "platform/shell/taskbar.h"
#include "platform/sound/music.h"
#include "platform/sound/sound.h"
#include "tests/support/env_support.h"
#include "tests/support/platform_support.h"

using namespace fotrix;
namespace fs = std::filesystem;

namespace {

void writePicture(const fs::path& path, int w, int h)
{
    libraryInit();
    Bitmap bitmap;
    ASSERT_EQ(bitmapAllocate(bitmap, Rgb, 4, w, h), 1);
    SaveParams save;
    saveParamsDefaults(save);
    save.format = formatFindByName("jpeg");
    EXPECT_EQ(saveBitmap(path.string(), bitmap, save), 0);
    bitmapFree(bitmap);
}

// A minimal PCM wave file: 16-bit mono, 100 samples.
void writeWave(const fs::path& path)
{
    std::string w = "RIFF";
    auto le = [&](uint32_t v, int n) {
        for (int k = 0; k < n; ++k) w += static_cast<char>(v >> (8 * k));
    };
    le(36 + 200, 4);
    w += "WAVEfmt ";
    le(16, 4), le(1, 2), le(1, 2), le(22050, 4), le(44100, 4), le(2, 2), le(16, 2);
    w += "data";
    le(200, 4);
    w += std::string(200, '\0');
    testsupport::writeFile(path, w);
}

class AlbumPlayer : public platformtest::Headless {
protected:
    std::string build(int loop, bool sound)
    {
        BuildJob job;
        for (int i = 0; i < 4; ++i) {
            job.pictures.push_back((dir / ("p" + std::to_string(i) + ".jpg")).string());
            writePicture(job.pictures.back(), 40 + 10 * i, 30);
        }
        writeWave(dir / "music.wav");
        job.settings.loop = loop;
        job.settings.audio = sound;
        job.settings.soundPath = (dir / "music.wav").string();
        job.settings.outputDir = dir.path().string() + "/";
        job.settings.outputName = "show.alb";
        job.temporaryFolder = dir.path().string();
        EXPECT_EQ(albumBuild(job), BuildResult::Done);
        return (dir / "show.alb").string();
    }
    HWND slideWindow() { return FindWindow("slideClass", ""); }
    void tick() { SendMessage(slideWindow(), WM_TIMER, 1000, 0); }
    testsupport::TempDir dir;
};

TEST_F(AlbumPlayer, four_pictures_and_a_sound_then_closes_after_the_last_without_loop)
{
    // No audio device: the wave file falls back to the wave player.
    testsupport::EnvScope noAudio("SDL_AUDIODRIVER", "no-such-driver");
    ASSERT_TRUE(slideshowStart(build(0, true)));
    ASSERT_NE(slideWindow(), nullptr);
    EXPECT_TRUE(slideshowRunning());
    EXPECT_EQ(slideshowShownIndex(), 0);
    EXPECT_EQ(slideshowSoundMember(), "0004");  // count 5 with Audio: the fifth member is the sound
    PlatformSoundState sound{};
    PlatformSoundStatus(&sound);
    EXPECT_EQ(fs::path(sound.current).filename(), "0004.wav");
    for (int i = 1; i < 4; ++i) {
        tick();
        EXPECT_EQ(slideshowShownIndex(), i);
        SIZE size = GetPictureSize(GetWindow(slideWindow(), GW_CHILD));
        EXPECT_EQ(size.cx, 40 + 10 * i);
    }
    EXPECT_FALSE(slideshowStart(build(0, true)));  // one show at a time
    tick();  // the last picture has had its delay: the show ends
    EXPECT_FALSE(slideshowRunning());
    EXPECT_EQ(slideWindow(), nullptr);
    PlatformSoundStatus(&sound);
    EXPECT_STREQ(sound.current, "");
}

TEST_F(AlbumPlayer, the_show_hides_the_task_bar_and_the_bar_comes_back_when_it_ends)
{
    HWND taskBar = screenTaskBar();
    ASSERT_NE(taskBar, nullptr);
    ASSERT_TRUE(IsWindowVisible(taskBar));
    ASSERT_TRUE(slideshowStart(build(0, false)));
    EXPECT_FALSE(IsWindowVisible(taskBar));
    RECT area = screenWorkArea();
    EXPECT_EQ(area.top, 0);  // the show's window has the whole screen
    slideshowStop();
    EXPECT_FALSE(slideshowRunning());
    EXPECT_TRUE(IsWindowVisible(taskBar));
}

TEST_F(AlbumPlayer, loop_wraps_to_the_first_and_a_tap_ends_the_show)
{
    ASSERT_TRUE(slideshowStart(build(1, false)));
    for (int i = 0; i < 4; ++i) tick();
    EXPECT_EQ(slideshowShownIndex(), 0);
    EXPECT_EQ(slideshowSoundMember(), "");
    HWND view = GetWindow(slideWindow(), GW_CHILD);
    ASSERT_NE(view, nullptr);
    // The lift waits in the queue, so the press is a tap and not a hold.
    PostMessage(view, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    SendMessage(view, WM_LBUTTONDOWN, 0, MAKELPARAM(100, 100));
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    EXPECT_FALSE(slideshowRunning());
}

TEST_F(AlbumPlayer, sound_plays_through_the_mixer_when_the_device_opens)
{
    testsupport::EnvScope dummy("SDL_AUDIODRIVER", "dummy");
    ASSERT_TRUE(slideshowStart(build(1, true)));
    EXPECT_EQ(slideshowSoundMember(), "0004");
    EXPECT_TRUE(musicPlaying());
    PlatformSoundState sound{};
    PlatformSoundStatus(&sound);
    EXPECT_STREQ(sound.current, "");  // not the wave player
    DestroyWindow(slideWindow());
    EXPECT_FALSE(musicPlaying());
    musicClose();
}

TEST_F(AlbumPlayer, albums_that_do_not_open_show_nothing)
{
    testsupport::writeFile(dir / "bad.alb", std::string("#Fotrix Album\ncount = 1\n"));
    EXPECT_FALSE(slideshowStart((dir / "bad.alb").string()));
    EXPECT_FALSE(slideshowStart((dir / "missing.alb").string()));
    EXPECT_EQ(slideWindow(), nullptr);
    EXPECT_FALSE(slideshowRunning());
}

TEST_F(AlbumPlayer, a_sound_member_that_is_no_sound_leaves_the_show_silent)
{
    testsupport::EnvScope noAudio("SDL_AUDIODRIVER", "no-such-driver");
    BuildJob job;
    job.pictures = {(dir / "a.jpg").string(), (dir / "b.jpg").string()};
    writePicture(job.pictures[0], 40, 30);
    writePicture(job.pictures[1], 50, 30);
    testsupport::writeFile(dir / "fake.wav", std::string("this is text, not a wave file"));
    job.settings.audio = 1;
    job.settings.loop = 1;
    job.settings.soundPath = (dir / "fake.wav").string();
    job.settings.outputDir = dir.path().string() + "/";
    job.settings.outputName = "fake.alb";
    job.temporaryFolder = dir.path().string();
    ASSERT_EQ(albumBuild(job), BuildResult::Done);
    ASSERT_TRUE(slideshowStart((dir / "fake.alb").string()));
    EXPECT_EQ(slideshowSoundMember(), "");  // nothing plays
    tick();
    EXPECT_EQ(slideshowShownIndex(), 1);     // the pictures go on
    DestroyWindow(slideWindow());
    EXPECT_FALSE(slideshowRunning());
}

TEST_F(AlbumPlayer, an_upper_case_sound_extension_is_kind_0_and_extracted_without_one)
{
    // A temporary folder of its own: tests running beside this one make
    // their own "Fotrix-" folders under the shared one.
    testsupport::TempDir temporary;
    testsupport::EnvScope ownTemporary("TMPDIR", temporary.path().c_str());
    BuildJob job;
    job.pictures = {(dir / "a.jpg").string()};
    writePicture(job.pictures[0], 40, 30);
    writeWave(dir / "SONG.WAV");
    job.settings.audio = 1;
    job.settings.soundPath = (dir / "SONG.WAV").string();
    job.settings.outputDir = dir.path().string() + "/";
    job.settings.outputName = "upper.alb";
    job.temporaryFolder = dir.path().string();
    ASSERT_EQ(albumBuild(job), BuildResult::Done);
    ASSERT_TRUE(slideshowStart((dir / "upper.alb").string()));
    std::vector<std::string> extracted;
    for (const auto& entry : fs::recursive_directory_iterator(slideshowTemporaryRoot()))
        if (entry.path().parent_path().filename().string().starts_with("Fotrix-"))
            extracted.push_back(entry.path().filename().string());
    EXPECT_EQ(extracted, std::vector<std::string>{"0001"});
    DestroyWindow(slideWindow());
    musicClose();
}

TEST_F(AlbumPlayer, a_huge_delay_in_the_config_starts_the_show_without_overflow)
{
    writePicture(dir / "a.jpg", 40, 30);
    const auto jpeg = testsupport::readFile(dir / "a.jpg");
    const std::string config = "#Fotrix Album\ncount = 1\n0000,a.jpg\nDelay = 2147483647\nLoop = 1\n";
    ZipHandle* zip = zipCreate((dir / "slow.alb").c_str());
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(zipAdd(zip, "config", zipSourceMemory(config.data(), config.size())), ZipOk);
    ASSERT_EQ(zipAdd(zip, "0000", zipSourceMemory(jpeg.data(), jpeg.size())), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);
    ASSERT_TRUE(slideshowStart((dir / "slow.alb").string()));  // the period is capped at a day
    EXPECT_EQ(slideshowShownIndex(), 0);
    DestroyWindow(slideWindow());
}

}  // namespace
