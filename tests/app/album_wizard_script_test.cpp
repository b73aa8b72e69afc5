// The album wizard driven through the script as a user drives it: Back and
// Next on the menu bar, the pages' controls, Create; the album it writes is
// checked with Info-ZIP and read back, the self-running file starts with
// the slideshow program.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "app/album/core/album_archive.h"
#include "app/album/core/self_running.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "tests/app/tools_rotate_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace fotrix;
// A suite of its own, so that the tools' suite keeps its place in the run.
class AlbumWizardScript : public toolstest::ToolScript {};

// The menu bar's buttons at 240x320: Back at the left, Next beside it.
constexpr const char* kBack = "tap 16 308\n";
constexpr const char* kNext = "tap 52 308\n";

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

std::string text(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string stateKey(const fs::path& path, const std::string& key)
{
    std::istringstream lines(text(path));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "<missing>";
}

std::string pictureSize(const std::string& path)
{
    FileInfo info;
    if (getFileInfo(path, -1, 0, info) != 0) return "unreadable";
    std::string size = std::to_string(info.width) + "x" + std::to_string(info.height);
    freeFileInfo(info);
    return size;
}

TEST_F(AlbumWizardScript, album_wizard_walks_its_pages_and_builds_the_album)
{
    makeJpeg("a.jpg", 800, 600);
    makeJpeg("b.jpg", 300, 400);
    makeJpeg("c.jpg", 640, 480);
    const fs::path first = dir / "first.txt", middle = dir / "middle.txt";
    std::string script = "command 4176\nstate " + first.string() + "\n";
    script += kNext;                                   // 1: the pictures, all checked
    script += std::string("wait 100\n") + kBack;       // Back is off on page 1
    script += kNext;                                   // 2
    script += "dialog-select 1423 2\n";                // 320 x 240
    script += kNext;                                   // 3
    script += "dialog-text 1435 \"7\"\ndialog-check 1434 0\ndialog-check 1433 1\n";
    script += kNext;                                   // 4
    script += "dialog-text 1444 \"holiday.jpg\"\n";
    script += std::string(kNext) + kNext + kNext;      // 5, 6, and Next is off on 6
    script += "state " + middle.string() + "\ndialog-command 1460\n";
    ASSERT_EQ(runScript(script), 0) << text(dir / "stderr.txt");

    EXPECT_EQ(stateKey(first, "sheet"), "album");
    EXPECT_EQ(stateKey(first, "page"), "0");
    EXPECT_EQ(stateKey(middle, "page"), "6");
    EXPECT_EQ(state("sheet"), "");  // the wizard closed after the build

    const fs::path album = pictures / "holiday.alb";
    ASSERT_TRUE(fs::exists(album));
    if (testsupport::haveTool("unzip")) {
        std::string out;
        EXPECT_EQ(testsupport::run("unzip -t " + q(album), &out), 0) << out;
        EXPECT_NE(out.find("No errors"), std::string::npos) << out;
    }
    testsupport::TempDir temp;
    AlbumArchive reader;
    ASSERT_EQ(reader.open(album.string(), temp.path().string()), AlbumOpenError::None);
    const AlbumDescription& d = reader.description();
    ASSERT_EQ(d.pictures.size(), 3u);
    EXPECT_EQ(d.pictures[0].label, "a.jpg");
    EXPECT_EQ(d.delay, 7);
    EXPECT_EQ(d.loop, 0);
    EXPECT_EQ(d.transitions, 1);
    libraryInit();
    EXPECT_EQ(pictureSize(reader.extract("0000").value_or("")), "320x240");
    EXPECT_EQ(pictureSize(reader.extract("0001").value_or("")), "180x240");
    // The settings went back to "Slide" with OK.
    const std::string registry = text(dir / "config" / "user.reg");
    EXPECT_NE(registry.find("\"Delay\"=dword:00000007"), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"Size\"=dword:00000002"), std::string::npos) << registry;
}

TEST_F(AlbumWizardScript, album_made_by_the_wizard_plays_in_fotrix)
{
    makeJpeg("a.jpg", 320, 240);
    makeJpeg("b.jpg", 320, 240);
    std::string script = "command 4176\n";
    for (int i = 0; i < 6; ++i) script += kNext;
    ASSERT_EQ(runScript(script + "dialog-command 1460\n"), 0) << text(dir / "stderr.txt");
    ASSERT_TRUE(fs::exists(pictures / "album.alb"));
    const fs::path played = dir / "played.txt";
    testsupport::writeFile(dir / "play.txt", "state " + played.string() + "\nquit\n");
    const std::string program = (testsupport::binaryDir() / "app" / "fotrix").string();
    EXPECT_EQ(testsupport::run(q(program) + " --headless --screen 240x320 --script " + q(dir / "play.txt") + " " +
                               q(pictures / "album.alb") + " 2>/dev/null"),
              0);
    EXPECT_EQ(stateKey(played, "slideshow-window"), "1");
    EXPECT_EQ(stateKey(played, "slide"), "0");
}

TEST_F(AlbumWizardScript, slideshow_program_wizard_writes_an_executable_run_file)
{
    makeJpeg("a.jpg", 320, 240);
    std::string script = "command 4152\n";
    for (int i = 0; i < 6; ++i) script += kNext;
    ASSERT_EQ(runScript(script + "dialog-command 1460\n"), 0) << text(dir / "stderr.txt");
    const fs::path run = pictures / "album.run";
    struct stat info {};
    ASSERT_EQ(stat(run.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    const fs::path stub = testsupport::binaryDir() / "app" / "fotrix-slide";
    int fd = open(run.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    auto marker = locateShowMarker(fd, static_cast<uint64_t>(info.st_size));
    close(fd);
    ASSERT_TRUE(marker);
    EXPECT_EQ(*marker, fs::file_size(stub));  // the show follows the program's last byte
}

TEST_F(AlbumWizardScript, album_wizard_asks_before_replacing_and_cancel_keeps_the_old_file)
{
    makeJpeg("a.jpg", 320, 240);
    testsupport::writeFile(pictures / "album.alb", std::string("the old album"));
    std::string script = "command 4176\n";
    for (int i = 0; i < 6; ++i) script += kNext;
    ASSERT_EQ(runScript(script + "dialog-command 1460\nstate " + (dir / "asked.txt").string() +
                        "\ndialog-command 2\n"),
              0)
        << text(dir / "stderr.txt");
    EXPECT_EQ(stateKey(dir / "asked.txt", "message"), "This album already exists. Replace it?");
    EXPECT_EQ(state("sheet"), "album");  // back in the wizard
    EXPECT_EQ(fs::file_size(pictures / "album.alb"), 13u);
}

}  // namespace
