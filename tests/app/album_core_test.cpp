// Albums without a window: the config text read and written, picture sizes,
// the album and self-running builders, and hostile albums.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/album/core/album_archive.h"
#include "app/album/core/album_build.h"
#include "app/album/core/album_config.h"
#include "app/album/core/prepare_picture.h"
#include "app/album/core/self_running.h"
#include "archive/zip.h"
#include "imagelib/bitmap.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "tests/support/test_support.h"

using namespace fotrix;
namespace fs = std::filesystem;

namespace {

// A w x h true-colour JPEG whose colour tells pictures apart.
void writePicture(const fs::path& path, int w, int h, uint8_t red, const char* format = "jpeg")
{
    libraryInit();
    Bitmap bitmap;
    ASSERT_EQ(bitmapAllocate(bitmap, Rgb, 4, w, h), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = bitmapRow(bitmap, y) + 3 * x;
            p[0] = red, p[1] = 40, p[2] = 200;
        }
    SaveParams save;
    saveParamsDefaults(save);
    save.format = formatFindByName(format);
    EXPECT_EQ(saveBitmap(path.string(), bitmap, save), 0);
    bitmapFree(bitmap);
}

FileInfo describe(const fs::path& path)
{
    FileInfo info;
    EXPECT_EQ(getFileInfo(path.string(), -1, 0, info), 0) << path;
    freeFileInfo(info);
    return info;
}

// An album archive made by hand, members in the given order.
void writeZip(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& members)
{
    ZipHandle* zip = zipCreate(path.c_str());
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, data] : members)
        ASSERT_EQ(zipAdd(zip, name.c_str(), zipSourceMemory(data.data(), data.size())), ZipOk) << name;
    ASSERT_EQ(zipClose(zip), ZipOk);
}

size_t filesIn(const fs::path& folder)
{
    size_t n = 0;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) ++n;
    return n;
}

TEST(AlbumConfig, audio_takes_the_last_entry_as_sound_and_keys_read_in_any_order)
{
    const std::string text =
        "#Fotrix Albums and more\ncount = 5\n0000,a.jpg\n0001,b.jpg\n0002,c,with,commas.jpg\n0003,d.jpg\n"
        "0004,/home/me/Music/song.MP3\nLoop = 0\nsomething else\nAudio = 1\nTransitions = 7\nSize = 3\n"
        "Delay = 9\n";
    auto album = parseAlbumConfig(text);
    ASSERT_TRUE(album);
    ASSERT_EQ(album->pictures.size(), 4u);
    EXPECT_EQ(album->pictures[2].member, "0002");
    EXPECT_EQ(album->pictures[2].label, "c,with,commas.jpg");
    ASSERT_TRUE(album->sound);
    EXPECT_EQ(album->sound->member, "0004");
    EXPECT_EQ(album->soundKind, SoundUnknown);  // ".MP3": the search is case-sensitive
    EXPECT_EQ(album->delay, 9);
    EXPECT_EQ(album->transitions, 7);
    EXPECT_EQ(album->loop, 0);

    // The builder's order and the reordered text read the same.
    SlideshowSettings settings;
    settings.delay = 9, settings.transitions = 7, settings.loop = 0, settings.audio = 1;
    settings.soundPath = "/home/me/Music/song.MP3";
    auto written = parseAlbumConfig(writeAlbumConfig({"/x/a.jpg", "b.jpg", "c,with,commas.jpg", "d.jpg"}, settings, true));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->pictures.size(), 4u);
    EXPECT_EQ(written->pictures[0].label, "a.jpg");
    EXPECT_EQ(written->delay, 9);
    EXPECT_EQ(written->transitions, 7);
    EXPECT_EQ(written->loop, 0);
    EXPECT_EQ(written->sound->label, settings.soundPath);
}

TEST(AlbumConfig, broken_configs_are_refused)
{
    const char* const broken[] = {
        "",
        "#Fotrix Albu\ncount = 1\n0000,a\n",        // header too short
        "#Fotrix Album\ncount = 0\n",               // no pictures
        "#Fotrix Album\ncount = -3\n",
        "#Fotrix Album\ncount = x\n0000,a\n",
        "#Fotrix Album\ncount = 3\n0000,a\n0001,b\n",  // a line missing
        "#Fotrix Album\ncount = 2000000000\n0000,a\n", // promises far more than it holds
        "\x01\xff garbage \n\n\n",
    };
    for (const char* text : broken) EXPECT_FALSE(parseAlbumConfig(text)) << text;
}

TEST(AlbumConfig, sound_kind_and_audio_written_only_with_a_sound)
{
    EXPECT_EQ(soundKindOf("/m/a.mp3"), SoundMp3);
    EXPECT_EQ(soundKindOf("/m/a.wav"), SoundWav);
    EXPECT_EQ(soundKindOf("/m/a.WAV"), SoundUnknown);
    EXPECT_EQ(soundKindOf("/m/a.ogg"), SoundUnknown);
    SlideshowSettings settings;
    settings.audio = 1;  // asked for, but the sound could not be read
    auto album = parseAlbumConfig(writeAlbumConfig({"a.jpg", "b.jpg"}, settings, false));
    ASSERT_TRUE(album);
    EXPECT_EQ(album->pictures.size(), 2u);  // the last picture is not taken for sound
    EXPECT_FALSE(album->sound);
}

TEST(PreparedSize, boxes_fit_and_portrait_turns)
{
    SlideshowSettings s;
    s.size = 3;
    auto a = preparedSize(3000, 2000, s, false);
    EXPECT_EQ(a.width, 640); EXPECT_EQ(a.height, 426);
    auto b = preparedSize(1000, 3000, s, false);
    EXPECT_EQ(b.width, 160); EXPECT_EQ(b.height, 480);
    auto small = preparedSize(300, 200, s, false);  // smaller than the box, no fit: kept
    EXPECT_EQ(small.width, 300); EXPECT_EQ(small.height, 200);
    s.fit = 1;
    auto enlarged = preparedSize(300, 200, s, false);
    EXPECT_EQ(enlarged.width, 640); EXPECT_EQ(enlarged.height, 426);
    s.size = 0;  // no box: fit changes nothing
    auto kept = preparedSize(3000, 2000, s, false);
    EXPECT_EQ(kept.width, 3000); EXPECT_EQ(kept.height, 2000);
    s = {};
    s.size = 2, s.rotate = 1;
    auto turned = preparedSize(800, 600, s, true);  // into 240 x 320, then a quarter left
    EXPECT_EQ(turned.width, 240); EXPECT_EQ(turned.height, 180);
    EXPECT_EQ(turned.turn, -90);
    EXPECT_EQ(preparedSize(800, 600, s, false).turn, 0);  // landscape screen: not turned
    EXPECT_EQ(preparedSize(600, 800, s, true).turn, 0);   // portrait picture: not turned
    s.rotate = 2;
    EXPECT_EQ(preparedSize(800, 600, s, true).turn, 90);
}

TEST(PreparePicture, writes_a_turned_jpeg_and_fails_on_unreadable_input)
{
    testsupport::TempDir dir;
    writePicture(dir / "wide.png", 800, 600, 10, "png");
    SlideshowSettings s;
    s.size = 2, s.rotate = 1;
    ASSERT_TRUE(slideshowPreparePicture((dir / "wide.png").string(), (dir / "out").string(), s, true));
    FileInfo info = describe(dir / "out");
    EXPECT_STREQ(formatShortName(info.formatIndex), "jpeg");
    EXPECT_EQ(info.width, 180);
    EXPECT_EQ(info.height, 240);
    testsupport::writeFile(dir / "junk.jpg", std::string("not a picture"));
    EXPECT_FALSE(slideshowPreparePicture((dir / "junk.jpg").string(), (dir / "out2").string(), s, true));
    EXPECT_FALSE(fs::exists(dir / "out2"));
}

TEST(ExtensionRule, jpg_names_become_alb_or_run)
{
    EXPECT_EQ(replaceExtension("holiday.jpg", ".alb"), "holiday.alb");
    EXPECT_EQ(replaceExtension("holiday.jpg", ".run"), "holiday.run");
    EXPECT_EQ(replaceExtension("album", ".alb"), "album.alb");
    EXPECT_EQ(replaceExtension("/a.b/album", ".run"), "/a.b/album.run");
}

class AlbumBuildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            pictures.push_back((dir / ("p" + std::to_string(i) + ".jpg")).string());
            writePicture(pictures.back(), 64 + 16 * i, 48, static_cast<uint8_t>(60 * i));
        }
        testsupport::writeFile(dir / "sound.wav", std::string("RIFF....WAVEfmt sound bytes"));
        job.pictures = pictures;
        job.temporaryFolder = dir.path().string();
        job.settings.outputDir = dir.path().string() + "/";
        job.settings.soundPath = (dir / "sound.wav").string();
    }
    testsupport::TempDir dir;
    std::vector<std::string> pictures;
    BuildJob job;
};

TEST_F(AlbumBuildTest, album_holds_config_pictures_and_sound_and_reads_back)
{
    job.settings.outputName = "show.alb";
    job.settings.audio = 1;
    std::vector<int> indices;
    job.progress = [&](const std::string&, int index, int total) {
        EXPECT_EQ(total, 4);
        indices.push_back(index);
        return true;
    };
    ASSERT_EQ(albumBuild(job), BuildResult::Done);
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 2, 3, 3}));  // pictures, sound, the end
    const fs::path album = dir / "show.alb";
    if (testsupport::haveTool("unzip")) {
        std::string out;
        EXPECT_EQ(testsupport::run("unzip -t '" + album.string() + "'", &out), 0) << out;
        EXPECT_NE(out.find("No errors"), std::string::npos) << out;
    }
    testsupport::TempDir temp;
    AlbumArchive reader;
    ASSERT_EQ(reader.open(album.string(), temp.path().string()), AlbumOpenError::None);
    EXPECT_EQ(reader.description().pictures.size(), 3u);
    EXPECT_EQ(reader.description().soundKind, SoundWav);
    auto second = reader.extract("0001");
    ASSERT_TRUE(second);
    EXPECT_EQ(describe(*second).width, 80);
    auto sound = reader.extractSound();
    ASSERT_TRUE(sound);
    EXPECT_EQ(fs::path(*sound).filename(), "0003.wav");
    EXPECT_EQ(testsupport::readFile(*sound), testsupport::readFile(dir / "sound.wav"));
    reader.close();
    EXPECT_EQ(filesIn(temp.path()), 0u);  // the working folder went with its files
    EXPECT_FALSE(fs::exists(dir / "fotrix_temp"));
}

TEST_F(AlbumBuildTest, stopping_or_failing_keeps_the_existing_album)
{
    job.settings.outputName = "show.alb";
    testsupport::writeFile(dir / "show.alb", std::string("the old album"));
    job.progress = [](const std::string&, int index, int) { return index < 2; };
    EXPECT_EQ(albumBuild(job), BuildResult::Stopped);
    EXPECT_EQ(testsupport::readFile(dir / "show.alb").size(), 13u);
    job.settings.outputDir = (dir / "missing" / "").string();
    EXPECT_EQ(albumBuild(job), BuildResult::CannotCreate);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_F(AlbumBuildTest, self_running_file_has_flags_25_marker_after_the_stub_and_valid_positions)
{
    testsupport::writeFile(dir / "stub", std::string("STUB-PROGRAM-BYTES"));
    job.settings.outputName = "show.run";
    job.settings.audio = 1, job.settings.transitions = 1, job.settings.loop = 1, job.settings.delay = 3;
    ASSERT_EQ(selfRunningBuild(job, (dir / "stub").string(), 0x00112233), BuildResult::Done);
    const fs::path out = dir / "show.run";
    struct stat info {};
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    auto bytes = testsupport::readFile(out);
    EXPECT_EQ(std::string(bytes.begin() + 18, bytes.begin() + 28), "FOTRIX-SCR");
    EXPECT_EQ(bytes[28], 25);
    int fd = open(out.c_str(), O_RDONLY);
    auto marker = findShowMarker(fd, bytes.size());
    ASSERT_TRUE(marker);
    EXPECT_EQ(*marker, 18u);
    auto show = readShowTail(fd, *marker, bytes.size());
    close(fd);
    ASSERT_TRUE(show);
    EXPECT_EQ(show->delay, 3u);
    EXPECT_EQ(show->background, 0x00112233u);
    ASSERT_TRUE(show->sound);
    EXPECT_EQ(show->sound->size, fs::file_size(dir / "sound.wav"));
    ASSERT_EQ(show->pictures.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {  // each picture is a whole JPEG of its own width
        std::vector<uint8_t> jpeg(bytes.begin() + show->pictures[i].offset,
                                  bytes.begin() + show->pictures[i].offset + show->pictures[i].size);
        testsupport::writeFile(dir / "back.jpg", jpeg);
        EXPECT_EQ(describe(dir / "back.jpg").width, 64 + 16 * static_cast<int>(i));
    }
}

TEST_F(AlbumBuildTest, self_running_without_stub_or_with_unreadable_sound)
{
    job.settings.outputName = "show.run";
    EXPECT_EQ(selfRunningBuild(job, (dir / "no-stub").string(), 0), BuildResult::NoStub);
    EXPECT_FALSE(fs::exists(dir / "show.run"));
    testsupport::writeFile(dir / "stub", std::string("S"));
    job.settings.audio = 1, job.settings.loop = 0, job.settings.soundPath = (dir / "gone.wav").string();
    ASSERT_EQ(selfRunningBuild(job, (dir / "stub").string(), 0), BuildResult::Done);
    auto bytes = testsupport::readFile(dir / "show.run");
    EXPECT_EQ(bytes[11], 0);  // no sound flag
}

TEST(ShowTail, cut_tails_and_positions_outside_the_file_are_refused)
{
    testsupport::TempDir dir;
    auto le = [](std::string& s, uint32_t v) {
        for (int k = 0; k < 4; ++k) s += static_cast<char>(v >> (8 * k));
    };
    std::string good = "stubFOTRIX-SCR";
    le(good, 0), le(good, 5), le(good, 0), le(good, 0xFFFFFFFF), le(good, 2);
    const uint32_t first = static_cast<uint32_t>(good.size() + 8);
    le(good, first), le(good, first + 3);
    good += "abcdefgh";
    auto readTail = [&](const std::string& bytes) {
        testsupport::writeFile(dir / "f", bytes);
        int fd = open((dir / "f").c_str(), O_RDONLY);
        auto show = readShowTail(fd, 4, bytes.size());
        close(fd);
        return show;
    };
    auto show = readTail(good);
    ASSERT_TRUE(show);
    ASSERT_EQ(show->pictures.size(), 2u);
    EXPECT_EQ(show->pictures[0].size, 3u);
    EXPECT_EQ(show->pictures[1].size, 5u);
    EXPECT_FALSE(readTail(good.substr(0, 30)));  // cut inside the header
    std::string outside = good;
    outside[good.size() - 8 - 4] = '\x7f';  // the second position far past the end
    EXPECT_FALSE(readTail(outside));
    std::string sound = "stubFOTRIX-SCR";
    le(sound, 8), le(sound, 5), le(sound, 0), le(sound, 0xFFFFFFFF), le(sound, 0x7FFFFFFF);
    EXPECT_FALSE(readTail(sound));  // a sound longer than the file
}

TEST(HostileAlbum, unsafe_and_missing_members_write_nothing_outside_the_working_folder)
{
    testsupport::TempDir dir, temp;
    const std::string config = "#Fotrix Album\ncount = 5\n../escape,a\n/tmp/abs,b\n0000,c\n0000,d\n0009,e\n";
    ZipHandle* zip = zipCreate((dir / "bad.alb").c_str());
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(zipAdd(zip, "config", zipSourceMemory(config.data(), config.size())), ZipOk);
    ASSERT_EQ(zipAdd(zip, "0000", zipSourceMemory("first", 5)), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);
    AlbumArchive album;
    ASSERT_EQ(album.open((dir / "bad.alb").string(), temp.path().string()), AlbumOpenError::None);
    EXPECT_FALSE(album.extract("../escape"));
    EXPECT_FALSE(album.extract("/tmp/abs"));
    EXPECT_FALSE(album.extract("0009"));            // promised but missing
    EXPECT_FALSE(album.extract("0000", "../out"));  // a target name that climbs
    EXPECT_TRUE(album.extract("0000"));
    EXPECT_TRUE(album.extract("0000"));             // the same member again replaces the file
    album.close();
    EXPECT_EQ(filesIn(temp.path()), 0u);
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "escape"));
}

TEST(HostileAlbum, huge_members_garbage_configs_and_non_archives_are_refused)
{
    testsupport::TempDir dir, temp;
    AlbumArchive album;
    testsupport::writeFile(dir / "text.alb", std::string("just text"));
    EXPECT_EQ(album.open((dir / "text.alb").string(), temp.path().string()), AlbumOpenError::CannotOpen);
    writeZip(dir / "noconfig.alb", {{"0000", "x"}});
    EXPECT_EQ(album.open((dir / "noconfig.alb").string(), temp.path().string()), AlbumOpenError::NoConfig);
    writeZip(dir / "garbage.alb", {{"config", "\x89PNG\r\n garbage count = 3"}});
    EXPECT_EQ(album.open((dir / "garbage.alb").string(), temp.path().string()), AlbumOpenError::BadConfig);
    // A member of a million zeros deflates to a ratio far over the bound.
    std::string zeros(kAlbumMaxConfig + 1, '\0');
    writeZip(dir / "bomb.alb", {{"config", "#Fotrix Album\ncount = 1\n0000,a\n"}, {"0000", zeros}});
    ASSERT_EQ(album.open((dir / "bomb.alb").string(), temp.path().string()), AlbumOpenError::None);
    EXPECT_FALSE(album.extract("0000"));
    album.close();
    writeZip(dir / "bigconfig.alb", {{"config", "#Fotrix Album\ncount = 1\n0000,a\n" + zeros}});
    EXPECT_EQ(album.open((dir / "bigconfig.alb").string(), temp.path().string()), AlbumOpenError::NoConfig);
    EXPECT_EQ(filesIn(temp.path()), 0u);
}

}  // namespace
