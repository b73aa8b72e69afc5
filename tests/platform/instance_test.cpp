// Single instance: a second process finds the first one's window, brings it
// forward and hands over its command line as WM_COPYDATA.
#include "platform/windows.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string receivedFile;

LRESULT firstInstanceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::ofstream out(receivedFile, std::ios::binary);
        out << cds->dwData << "|" << std::string(static_cast<const char*>(cds->lpData), cds->cbData) << "|"
            << (GetActiveWindow() == hwnd ? "active" : "inactive");
        PostQuitMessage(0);
        return 42;
    }
    if (message == WM_USER + 5) return static_cast<LRESULT>(wParam * 2);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// The first instance: claims the channel, shows its window, runs its loop.
[[noreturn]] void runFirstInstance(const std::string& channel)
{
    PlatformConfig config;
    config.headless = true;
    if (!PlatformInit(&config)) _exit(3);
    if (InstanceClaim(channel.c_str()) != InstanceFirst) _exit(4);
    WNDCLASS wc{};
    wc.lpfnWndProc = firstInstanceProc;
    wc.lpszClassName = "FotrixClass";
    RegisterClass(&wc);
    HWND main = CreateWindowEx(0, "FotrixClass", "Fotrix Pocket", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               nullptr, nullptr, nullptr, nullptr);
    // Another window on top, so that bringing the main one forward shows.
    CreateWindowEx(0, "FotrixClass", "Other", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (!main) _exit(5);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) DispatchMessage(&msg);
    PlatformShutdown();
    _exit(0);
}

bool waitForSocket(const std::string& channel)
{
    char path[512];
    InstanceSocketPath(channel.c_str(), path, sizeof path);
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(path)) return true;
        usleep(10000);
    }
    return false;
}

TEST(Instance, second_process_hands_its_command_line_to_the_first)
{
    testsupport::TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    receivedFile = (dir / "received.txt").string();
    std::string channel = "test-" + std::to_string(getpid());
    pid_t first = fork();
    if (first == 0) runFirstInstance(channel);
    ASSERT_TRUE(waitForSocket(channel));

    EXPECT_EQ(InstanceClaim(channel.c_str()), InstanceOtherRunning);
    EXPECT_EQ(FindWindow("FotrixClass", "No such title"), nullptr);
    HWND other = FindWindow("FotrixClass", "Fotrix Pocket");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SendMessage(other, WM_USER + 5, 21, 0), 42);
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(other) | 1)));
    const std::string commandLine = "/home/me/Pictures/\xC3\xA9t\xC3\xA9.jpg";
    COPYDATASTRUCT cds{7, static_cast<DWORD>(commandLine.size() + 1), const_cast<char*>(commandLine.c_str())};
    EXPECT_EQ(SendMessage(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), 42);

    int status = 0;
    waitpid(first, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::vector<uint8_t> got = testsupport::readFile(receivedFile);
    EXPECT_EQ(std::string(got.begin(), got.end()), "7|" + commandLine + std::string(1, '\0') + "|active");
    // With the first instance gone (its socket removed), the next one is first.
    EXPECT_EQ(InstanceClaim(channel.c_str()), InstanceFirst);
    InstanceRelease();
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(Instance, socket_left_by_a_crash_is_taken_over)
{
    testsupport::TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    std::string channel = "crashed";
    char path[512];
    InstanceSocketPath(channel.c_str(), path, sizeof path);
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(std::strlen(path), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path, std::strlen(path) + 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(fd);  // the file stays, nobody listens
    EXPECT_EQ(InstanceClaim(channel.c_str()), InstanceFirst);
    InstanceRelease();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(InstanceClaim("../escape"), InstanceError);
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
