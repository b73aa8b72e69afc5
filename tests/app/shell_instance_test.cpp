// Two real `fotrix` processes: the second hands its path to the first and
// ends; the first opens the picture full screen with its folder listed.
#include "tests/app/browser_fixture.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string program() { return (testsupport::binaryDir() / "app" / "fotrix").string(); }

std::string readText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string stateValue(const std::string& state, const std::string& key)
{
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "<missing>";
}

class TwoInstances : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    void SetUp() override
    {
        if (!fs::exists(program())) SKIP_MISSING("fotrix is not built");
        fs::create_directories(dir / "config");
        fs::create_directories(dir / "home");
        fs::create_directories(dir / "pictures");
        setenv("FOTRIX_CONFIG_DIR", (dir / "config").c_str(), 1);
        setenv("FOTRIX_HOME", (dir / "home").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
        // The start screen would come first at 240x320 without a path.
        testsupport::writeFile(dir / "config" / "user.reg",
                               "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"
                               "\"UseSplashScreen\"=dword:00000000\n");
        browsertest::writeBmp(dir / "pictures" / "a.bmp", 40, 30, 60);
        browsertest::writeBmp(dir / "pictures" / "b.bmp", 50, 30, 160);
    }
    void TearDown() override
    {
        unsetenv("FOTRIX_CONFIG_DIR");
        unsetenv("FOTRIX_HOME");
        unsetenv("XDG_RUNTIME_DIR");
    }
    // Starts the first instance with a script; returns its process id.
    pid_t startFirst(const std::string& script)
    {
        testsupport::writeFile(dir / "first.txt", script);
        pid_t pid = fork();
        if (pid == 0) {
            std::string path = (dir / "first.txt").string();
            execl(program().c_str(), "fotrix", "--headless", "--script", path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }
    bool waitForSocket()
    {
        fs::path socket = dir / "fotrix-pocket-fotrix.sock";
        for (int i = 0; i < 1000 && !fs::exists(socket); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(socket);
    }
    int waitFor(pid_t pid)
    {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(TwoInstances, a_second_start_with_a_picture_opens_it_in_the_first_full_screen)
{
    std::string statePath = (dir / "state.txt").string();
    pid_t first = startFirst("sleep 4000\nstate " + statePath + "\nquit\n");
    ASSERT_TRUE(waitForSocket());
    std::string picture = (dir / "pictures" / "b.bmp").string();
    auto started = std::chrono::steady_clock::now();
    int second = testsupport::run("'" + program() + "' --headless '" + picture + "'");
    EXPECT_EQ(second, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));  // it handed over and ended
    EXPECT_EQ(waitFor(first), 0);
    std::string state = readText(statePath);
    EXPECT_EQ(stateValue(state, "mode"), "5") << state;
    EXPECT_EQ(stateValue(state, "folder"), (dir / "pictures").string() + "/");
    EXPECT_EQ(stateValue(state, "items"), "2");
    EXPECT_EQ(stateValue(state, "selected"), "1");
    EXPECT_EQ(stateValue(state, "current-index"), "1");
}

TEST_F(TwoInstances, a_second_start_without_a_path_changes_nothing_in_the_first)
{
    std::string statePath = (dir / "state.txt").string();
    pid_t first = startFirst("sleep 3000\nstate " + statePath + "\nquit\n");
    ASSERT_TRUE(waitForSocket());
    EXPECT_EQ(testsupport::run("'" + program() + "' --headless"), 0);
    EXPECT_EQ(waitFor(first), 0);
    std::string state = readText(statePath);
    EXPECT_EQ(stateValue(state, "mode"), "0") << state;
    EXPECT_EQ(stateValue(state, "current-index"), "-1");
}

// The start screen comes first on a 240x320 screen whenever the command line
// opened no picture (none, a folder, a path that does not exist), never on
// another screen size or when a picture opened.
TEST_F(TwoInstances, the_start_screen_comes_first_at_240x320_when_no_picture_opened)
{
    testsupport::writeFile(dir / "config" / "user.reg", "REGEDIT4\n");
    const std::string statePath = (dir / "state.txt").string();
    testsupport::writeFile(dir / "script.txt", "state " + statePath + "\nquit\n");
    auto topWindow = [&](const std::string& arguments) {
        fs::remove(statePath);
        EXPECT_EQ(testsupport::run("'" + program() + "' --headless --script '" + (dir / "script.txt").string() + "' " +
                                   arguments),
                  0);
        return stateValue(readText(statePath), "top-window");
    };
    const std::string folder = "'" + (dir / "pictures").string() + "/'";
    EXPECT_EQ(topWindow(""), "SplashClass ");
    EXPECT_EQ(topWindow(folder), "SplashClass ");
    EXPECT_EQ(topWindow("'" + (dir / "nothing-here.jpg").string() + "'"), "SplashClass ");
    EXPECT_EQ(topWindow("--screen 480x640 " + folder), "FotrixClass Fotrix Pocket");
    EXPECT_EQ(topWindow("'" + (dir / "pictures" / "a.bmp").string() + "'"), "FotrixClass Fotrix Pocket");
    testsupport::writeFile(dir / "config" / "user.reg",
                           "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"
                           "\"UseSplashScreen\"=dword:00000000\n");
    EXPECT_EQ(topWindow(folder), "FotrixClass Fotrix Pocket");
}

}  // namespace
