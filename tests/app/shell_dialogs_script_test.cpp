// Dialogs of the main window driven by script in the real program. Opened
// while the start screen is up they must look as they do over the browser
// (the task bar with their title and "ok" at the top), and the start screen
// must have the whole screen again once they are gone. While one is up, the
// main window's menu bar below runs no command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 240, kHeight = 320;
constexpr int kTaskBarRows = 26;

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// Whether the rows [top, bottom) of two screenshots hold the same pixels;
// tells how many differ and where the first is.
::testing::AssertionResult sameRows(const Screenshot& a, const Screenshot& b, int top = 0, int bottom = kHeight)
{
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < kWidth; ++x) {
            size_t at = (static_cast<size_t>(y) * kWidth + x) * 3;
            if (a.rgb[at] == b.rgb[at] && a.rgb[at + 1] == b.rgb[at + 1] && a.rgb[at + 2] == b.rgb[at + 2]) continue;
            if (differing++ == 0) firstX = x, firstY = y;
        }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, the first at " << firstX << "," << firstY;
}

class ShellDialogs : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    fs::path pictures;

    void SetUp() override
    {
        if (!fs::exists(program())) SKIP_MISSING("fotrix is not built");
        fs::path canon = testsupport::testdata("exiftool/Canon.jpg"), gps = testsupport::testdata("exiftool/GPS.jpg");
        if (!fs::exists(canon) || !fs::exists(gps)) SKIP_MISSING("exiftool's sample pictures are missing");
        pictures = dir / "pictures";
        fs::create_directories(pictures);
        fs::create_directories(dir / "home");
        fs::copy_file(canon, pictures / "canon.jpg");
        fs::copy_file(gps, pictures / "gps.jpg");
    }

    static fs::path program() { return testsupport::binaryDir() / "app" / "fotrix"; }

    // Runs `script` on the pictures with the start screen on or off; the
    // files it writes land in a folder of their own, `name`.
    int run(const std::string& name, bool startScreen, const std::string& script)
    {
        fs::path folder = dir / name;
        fs::create_directories(folder / "config");
        testsupport::writeFile(folder / "config" / "user.reg",
                               std::string("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"
                                           "\"UseSplashScreen\"=dword:0000000") +
                                   (startScreen ? "1" : "0") + "\n");
        testsupport::writeFile(folder / "script.txt", script + "quit\n");
        std::string environment = "cd " + q(folder) + " && FOTRIX_CONFIG_DIR=" + q(folder / "config") +
                                  " FOTRIX_HOME=" + q(dir / "home") + " XDG_RUNTIME_DIR=" + q(folder) + " ";
        return testsupport::run(environment + q(program()) + " --headless --screen 240x320 --script script.txt " +
                                q(pictures.string() + "/") + " 2>" + q(folder / "stderr.txt"));
    }

    std::string state(const std::string& name, const std::string& file, const std::string& key)
    {
        std::ifstream in(dir / name / file);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(key + ":", 0) == 0) {
                std::string value = line.substr(key.size() + 1);
                if (!value.empty() && value.front() == ' ') value.erase(0, 1);
                while (!value.empty() && value.back() == ' ') value.pop_back();
                return value;
            }
        return "<missing>";
    }

    Screenshot screenshot(const std::string& name, const std::string& file)
    {
        Screenshot shot;
        EXPECT_TRUE(platformtest::readPng((dir / name / file).string(), shot.width, shot.height, shot.rgb)) << file;
        EXPECT_EQ(shot.width, kWidth);
        EXPECT_EQ(shot.height, kHeight);
        if (shot.width != kWidth || shot.height != kHeight)  // compare black rather than read past the end
            shot = Screenshot{kWidth, kHeight, std::vector<uint8_t>(kWidth * kHeight * 3)};
        return shot;
    }
};

// The album wizard (4176) and the e-mail dialog (4132) over the browser and
// over the start screen; every file of the selection is chosen first, so
// that both runs show the same choices.
constexpr const char* kScript =
    "idle\n"
    "screenshot start.png\n"
    "state start.txt\n"
    "command 4048\n"
    "command 4176\n"
    "screenshot wizard.png\n"
    "state wizard.txt\n"
    "dialog-command 2\n"
    "screenshot back.png\n"
    "state back.txt\n"
    "command 4132\n"
    "screenshot mail.png\n"
    "state mail.txt\n"
    "dialog-command 2\n";

TEST_F(ShellDialogs, dialogs_over_the_start_screen_keep_their_title_and_ok)
{
    ASSERT_EQ(run("browser", false, kScript), 0);
    ASSERT_EQ(run("start", true, kScript), 0);
    ASSERT_EQ(state("start", "start.txt", "top-window"), "SplashClass");
    ASSERT_EQ(state("browser", "start.txt", "top-window"), "FotrixClass Fotrix Pocket");

    // The wizard is active in both, and drawn the same: its title and "ok"
    // in the task bar, its pages between, Back and Next on its menu bar.
    for (const char* name : {"browser", "start"}) {
        EXPECT_EQ(state(name, "wizard.txt", "top-window"), "#32770 Fotrix Pocket") << name;
        EXPECT_EQ(state(name, "wizard.txt", "sheet"), "album") << name;
        EXPECT_EQ(state(name, "mail.txt", "top-window"), "#32770 E-mail") << name;
    }
    Screenshot start = screenshot("start", "start.png");
    Screenshot overBrowser = screenshot("browser", "wizard.png"), overStart = screenshot("start", "wizard.png");
    EXPECT_FALSE(sameRows(start, overBrowser, 0, kTaskBarRows)) << "the start screen shows a task bar";
    EXPECT_TRUE(sameRows(overStart, overBrowser, 0, kTaskBarRows)) << "the task bar";
    EXPECT_TRUE(sameRows(overStart, overBrowser)) << "the whole screen";

    // Once it is gone the start screen has the whole screen again.
    EXPECT_EQ(state("start", "back.txt", "top-window"), "SplashClass");
    EXPECT_TRUE(sameRows(screenshot("start", "back.png"), start));

    // The e-mail dialog lies over different windows, but its task bar is the same.
    EXPECT_TRUE(sameRows(screenshot("start", "mail.png"), screenshot("browser", "mail.png"), 0, kTaskBarRows));
}

TEST_F(ShellDialogs, the_menu_bar_under_a_tool_sheet_runs_nothing)
{
    // Taps along the whole menu-bar place while the convert sheet is up: on
    // the main window's bar they would open File or start the slideshow.
    std::string script = "idle\ntap 40 190\nidle\ncommand 4054\nscreenshot before.png\n";
    for (int x = 8; x < kWidth; x += 16) script += "tap " + std::to_string(x) + " 308\n";
    script += "wait 500\nscreenshot after.png\nstate sheet.txt\ndialog-command 2\nstate closed.txt\n";
    ASSERT_EQ(run("sheet", false, script), 0);
    EXPECT_EQ(state("sheet", "sheet.txt", "sheet"), "convert");
    EXPECT_EQ(state("sheet", "sheet.txt", "slideshow"), "0");
    EXPECT_EQ(state("sheet", "sheet.txt", "mode"), "0");
    EXPECT_TRUE(sameRows(screenshot("sheet", "after.png"), screenshot("sheet", "before.png")));
    EXPECT_EQ(state("sheet", "closed.txt", "sheet"), "");
    EXPECT_EQ(state("sheet", "closed.txt", "top-window"), "FotrixClass Fotrix Pocket");
}

}  // namespace
