// The self-running slideshow as a user gets it: three pictures built behind
// the real fotrix-slide program, run headless with a script; each slide's
// screenshot shows its own picture, the show ends by itself without loop,
// its working folder goes, and damaged tails play nothing.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/album/core/album_build.h"
#include "app/album/core/self_running.h"
#include "imagelib/bitmap.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "tests/support/test_support.h"

using namespace fotrix;
namespace fs = std::filesystem;

namespace {

struct Colour {
    int r, g, b;
};
constexpr Colour kColours[3] = {{220, 30, 30}, {30, 200, 40}, {40, 50, 210}};

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

std::string readText(const fs::path& path)
{
    if (!fs::exists(path)) return {};
    const auto bytes = testsupport::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string stub() { return (testsupport::binaryDir() / "app" / "fotrix-slide").string(); }

void writeSolid(const fs::path& path, int w, int h, Colour c)
{
    libraryInit();
    Bitmap bitmap;
    ASSERT_EQ(bitmapAllocate(bitmap, Rgb, 4, w, h), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = bitmapRow(bitmap, y) + 3 * x;
            p[0] = static_cast<uint8_t>(c.r), p[1] = static_cast<uint8_t>(c.g), p[2] = static_cast<uint8_t>(c.b);
        }
    SaveParams save;
    saveParamsDefaults(save);
    save.format = formatFindByName("jpeg");
    save.quality = 95;
    EXPECT_EQ(saveBitmap(path.string(), bitmap, save), 0);
    bitmapFree(bitmap);
}

// The screenshot's pixel at (x, y) as R, G, B.
Colour pixelAt(const fs::path& png, int x, int y)
{
    LoadParams params;
    loadParamsDefaults(params);
    Bitmap bitmap;
    if (loadBitmap(png.string(), bitmap, params, nullptr) != 0) {
        ADD_FAILURE() << "no screenshot " << png;
        return {-1, -1, -1};
    }
    EXPECT_EQ(bitmap.width, 240);
    EXPECT_EQ(bitmap.height, 320);
    const int step = bitmap.type == Rgba || bitmap.type == Bgra || bitmap.type == Abgr || bitmap.type == Argb ? 4 : 3;
    const uint8_t* p = bitmapRow(bitmap, y) + step * x;
    Colour c = bitmap.type == Bgr || bitmap.type == Bgra ? Colour{p[2], p[1], p[0]} : Colour{p[0], p[1], p[2]};
    bitmapFree(bitmap);
    return c;
}

bool near(Colour a, Colour b) { return std::abs(a.r - b.r) < 24 && std::abs(a.g - b.g) < 24 && std::abs(a.b - b.b) < 24; }

class SlideProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(stub())) SKIP_MISSING("fotrix-slide is not built");
        fs::create_directories(dir / "tmp");
        BuildJob job;
        for (int i = 0; i < 3; ++i) {
            job.pictures.push_back((dir / ("p" + std::to_string(i) + ".jpg")).string());
            writeSolid(job.pictures.back(), 200 - 40 * i, 150, kColours[i]);
        }
        job.settings.delay = 2;
        job.settings.loop = 0;
        job.settings.outputDir = dir.path().string() + "/";
        job.settings.outputName = "show.run";
        job.temporaryFolder = (dir / "tmp").string();
        ASSERT_EQ(selfRunningBuild(job, stub(), 0x00000000), BuildResult::Done);
        show = dir / "show.run";
    }

    // Runs the show with a script; the exit status.
    int play(const fs::path& program, const std::string& script)
    {
        testsupport::writeFile(dir / "script.txt", script);
        return testsupport::run("TMPDIR=" + q(dir / "tmp") + " SDL_AUDIODRIVER=no-such-driver " + q(program) +
                                " --headless --screen 240x320 --script " + q(dir / "script.txt") + " 2>" +
                                q(dir / "stderr.txt"));
    }

    // Working folders of shows left under the temporary folder (the
    // platform keeps its own per-user folder there).
    size_t leftInTemporaryFolder() const
    {
        size_t left = 0;
        for (const auto& entry : fs::recursive_directory_iterator(dir / "tmp"))
            left += entry.path().filename().string().starts_with("Fotrix-");
        return left;
    }

    testsupport::TempDir dir;
    fs::path show;
};

TEST_F(SlideProgram, each_slide_shows_its_own_picture_in_turn)
{
    struct stat info {};
    ASSERT_EQ(stat(show.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    const std::string shots = (dir / "s").string();
    ASSERT_EQ(play(show, "screenshot " + shots + "0.png\nstate " + shots + "0.txt\nwait 2000\nscreenshot " + shots +
                             "1.png\nwait 2000\nscreenshot " + shots + "2.png\nstate " + shots + "2.txt\nquit\n"),
              0)
        << readText(dir / "stderr.txt");
    for (int i = 0; i < 3; ++i) {
        const fs::path png = shots + std::to_string(i) + ".png";
        EXPECT_TRUE(near(pixelAt(png, 120, 160), kColours[i])) << png;
        EXPECT_TRUE(near(pixelAt(png, 2, 160), Colour{0, 0, 0})) << png;  // the show's black background beside it
    }
    const std::string first = readText(shots + "0.txt"), last = readText(shots + "2.txt");
    EXPECT_NE(first.find("slideshow-window: 1\nslide: 0\n"), std::string::npos) << first;
    EXPECT_NE(last.find("slideshow-window: 1\nslide: 2\n"), std::string::npos) << last;
    EXPECT_EQ(leftInTemporaryFolder(), 0u);  // the working folder went with the show
}

TEST_F(SlideProgram, without_loop_the_program_ends_on_the_timer_after_the_last_picture)
{
    const fs::path late = dir / "late.png";
    // Three pictures of two seconds: the third timer, at six seconds, ends the show and the program.
    EXPECT_EQ(play(show, "wait 5900\nscreenshot " + (dir / "still.png").string() + "\nwait 200\nscreenshot " +
                             late.string() + "\nquit\n"),
              0);
    EXPECT_TRUE(fs::exists(dir / "still.png"));
    EXPECT_FALSE(fs::exists(late));
    EXPECT_EQ(leftInTemporaryFolder(), 0u);
}

TEST_F(SlideProgram, the_bare_program_and_a_cut_tail_play_nothing)
{
    EXPECT_EQ(play(stub(), "quit\n"), 1);
    EXPECT_NE(readText(dir / "stderr.txt").find("holds no slideshow"), std::string::npos);
    // Cut inside the positions table: the tail no longer holds together.
    const auto bytes = testsupport::readFile(show);
    const size_t stubSize = fs::file_size(stub());
    testsupport::writeFile(dir / "cut.run", std::vector<uint8_t>(bytes.begin(), bytes.begin() + stubSize + 30));
    fs::permissions(dir / "cut.run", fs::perms::owner_all);
    EXPECT_EQ(play(dir / "cut.run", "quit\n"), 1);
    EXPECT_EQ(leftInTemporaryFolder(), 0u);
}

TEST_F(SlideProgram, a_wave_sound_plays_through_the_wave_player_without_an_audio_device)
{
    std::string wave = "RIFF";
    auto le = [&](uint32_t v, int n) {
        for (int k = 0; k < n; ++k) wave += static_cast<char>(v >> (8 * k));
    };
    le(36 + 200, 4);
    wave += "WAVEfmt ";
    le(16, 4), le(1, 2), le(1, 2), le(22050, 4), le(44100, 4), le(2, 2), le(16, 2);
    wave += "data";
    le(200, 4);
    wave += std::string(200, '\0');
    testsupport::writeFile(dir / "music.bin", wave);  // no extension: the kind comes from the header
    BuildJob job;
    job.pictures = {(dir / "p0.jpg").string()};
    job.settings.audio = 1;
    job.settings.soundPath = (dir / "music.bin").string();
    job.settings.outputDir = dir.path().string() + "/";
    job.settings.outputName = "sound.run";
    job.temporaryFolder = (dir / "tmp").string();
    ASSERT_EQ(selfRunningBuild(job, stub(), 0), BuildResult::Done);
    ASSERT_EQ(play(dir / "sound.run", "state " + (dir / "st.txt").string() + "\nquit\n"), 0);
    EXPECT_NE(readText(dir / "st.txt").find("\nsound: sound\n"), std::string::npos);
}

}  // namespace
