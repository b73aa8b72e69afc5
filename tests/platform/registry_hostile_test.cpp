// Hostile hive files: each loads in bounded time and memory, keeps its good
// lines, is reported once, and saves again; a hive that cannot be read or is
// too large is used as defaults and never renamed or written over.
#include "platform/windows.h"
#include "tests/support/registry_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> debugLines;
void catchDebug(const char* text) { debugLines.push_back(text); }

class HostileHive : public testsupport::RegistryFixture {
public:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        debugLines.clear();
        SetDebugOutputHook(catchDebug);
    }
    void TearDown() override
    {
        SetDebugOutputHook(nullptr);
        RegistryFixture::TearDown();
    }
    fs::path userFile() const { return dir / "user.reg"; }
    int damagedCopies() const
    {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            n += entry.path().filename().string().find(".damaged-") != std::string::npos;
        return n;
    }
};

// The first and last lines every hostile hive keeps around its bad part.
const std::string kHead = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Before]\n\"Keep\"=dword:00000007\n";
const std::string kTail = "[HKEY_CURRENT_USER\\After]\n\"Also\"=\"kept\"\n";

DWORD numberAt(const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xDEAD;
    DWORD value = 0xBEEF, type = 0, size = 4;
    RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return value;
}

std::string textAt(const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
    char buffer[64] = {};
    DWORD type = 0, size = sizeof buffer;
    const LONG r = RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? std::string(buffer) : "(no value)";
}

LONG setNumber(const char* path, const char* name, DWORD value)
{
    HKEY key = nullptr;
    LONG r = RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (r != ERROR_SUCCESS) return r;
    r = RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
    return r;
}

struct Measured {
    int exitCode = -1;
    double seconds = 0;  // processor time of the child
    long peakMegabytes = 0;
};

// Runs `load` in a child, so its time and peak memory are its own.
Measured measureInChild(const std::function<int()>& load)
{
    const pid_t pid = fork();
    if (pid == 0) _exit(load());
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    // Processor time, not wall time: a quadratic load is many times over the
    // bound however busy the machine, a linear one under it however busy.
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    Measured m;
    m.seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    m.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
    m.peakMegabytes = usage.ru_maxrss / 1024;
    return m;
}

// The good lines around the bad part are there, the damage is reported once,
// and the hive saves and loads again without a report.
void expectGoodLinesKeptAndSaving(const HostileHive& test)
{
    EXPECT_EQ(numberAt("Before", "Keep"), 7u);
    EXPECT_EQ(textAt("After", "Also"), "kept");
    ASSERT_EQ(debugLines.size(), 1u);
    EXPECT_NE(debugLines[0].find("damaged"), std::string::npos);
    EXPECT_EQ(test.damagedCopies(), 1);
    EXPECT_EQ(setNumber("After", "Saved", 1), ERROR_SUCCESS);
    RegistryReset();
    EXPECT_EQ(numberAt("After", "Saved"), 1u);
    EXPECT_EQ(numberAt("Before", "Keep"), 7u);
    EXPECT_EQ(debugLines.size(), 1u) << debugLines.back();
}

TEST_F(HostileHive, one_bad_line_loses_only_that_line)
{
    struct Case {
        const char* what;
        std::string line;
    };
    const Case cases[] = {
        {"overflowing dword", "\"Big\"=dword:100000000\n"},
        {"NUL byte", std::string("\"Nul\"=\"a\0b\"\n", 12)},
        {"unterminated string", "\"Open\"=\"never closed\n"},
        {"key outside the hive", "[HKEY_LOCAL_MACHINE\\Elsewhere]\n\"Lost\"=dword:00000001\n"},
        {"value name over the limit", "\"" + std::string(20000, 'n') + "\"=dword:00000001\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        RegistryReset();
        debugLines.clear();
        testsupport::writeFile(userFile(), kHead + c.line + kTail);
        expectGoodLinesKeptAndSaving(*this);
        EXPECT_NE(debugLines[0].find("line 5"), std::string::npos) << debugLines[0];
    }
}

TEST_F(HostileHive, a_key_nested_200000_deep_is_left_out_in_bounded_time_and_memory)
{
    std::string deep = "[HKEY_CURRENT_USER";
    for (int i = 0; i < 200000; ++i) deep += "\\a";
    const std::string text = kHead + deep + "]\n\"Lost\"=dword:00000002\n" + kTail;
    testsupport::writeFile(userFile(), text);
    const Measured m = measureInChild([] { return numberAt("Before", "Keep") == 7u ? 0 : 1; });
    EXPECT_EQ(m.exitCode, 0);
    EXPECT_LT(m.seconds, 5.0);
    EXPECT_LT(m.peakMegabytes, 200);
    // The child repaired the file: start again from the hostile one here.
    for (const auto& entry : fs::directory_iterator(dir.path())) fs::remove(entry.path());
    testsupport::writeFile(userFile(), text);
    expectGoodLinesKeptAndSaving(*this);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "a", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(HostileHive, three_hundred_thousand_values_load_in_linear_time)
{
    constexpr int kValues = 300000;
    std::string text = kHead + "[HKEY_CURRENT_USER\\Many]\n";
    char line[64];
    for (int i = 0; i < kValues; ++i) {
        std::snprintf(line, sizeof line, "\"v%d\"=dword:%08x\n", i, static_cast<unsigned>(i));
        text += line;
    }
    testsupport::writeFile(userFile(), text + kTail);
    const Measured m = measureInChild([] {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, "Many", 0, KEY_READ, &key) != ERROR_SUCCESS) return 1;
        char name[32];
        DWORD size = sizeof name;
        if (RegEnumValue(key, kValues - 1, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return 2;
        return std::string(name) == "v299999" ? 0 : 3;
    });
    EXPECT_EQ(m.exitCode, 0);
    EXPECT_LT(m.seconds, 5.0);
    EXPECT_LT(m.peakMegabytes, 400);
    EXPECT_EQ(numberAt("Many", "v123456"), 123456u);
    EXPECT_TRUE(debugLines.empty());
    EXPECT_EQ(setNumber("Many", "v0", 99), ERROR_SUCCESS);  // and saves
    RegistryReset();
    EXPECT_EQ(numberAt("Many", "v0"), 99u);
    EXPECT_EQ(numberAt("Many", "v299999"), 299999u);
}

// A hive that is there but cannot be used: the defaults this run, the file
// left as it is (not renamed, not written over), and a message saying why.
void expectUnusedAndUntouched(const HostileHive& test, const fs::path& file, uintmax_t size, const char* why)
{
    EXPECT_EQ(fs::file_size(file), size);
    EXPECT_EQ(test.damagedCopies(), 0);
    ASSERT_EQ(debugLines.size(), 1u);
    EXPECT_NE(debugLines[0].find(why), std::string::npos) << debugLines[0];
    EXPECT_NE(debugLines[0].find("defaults"), std::string::npos) << debugLines[0];
}

TEST_F(HostileHive, a_hive_too_large_is_not_damaged_and_not_written_over)
{
    std::string text = kHead + "[HKEY_CURRENT_USER\\Big]\n\"Blob\"=\"" + std::string(65u << 20, 'x') + "\"\n";
    testsupport::writeFile(userFile(), text);
    EXPECT_EQ(numberAt("Before", "Keep"), 0xDEADu);  // the defaults: no such key
    EXPECT_NE(setNumber("Before", "Keep", 1), ERROR_SUCCESS);
    expectUnusedAndUntouched(*this, userFile(), text.size(), "too large");
}

TEST_F(HostileHive, a_hive_the_user_cannot_read_is_not_damaged_and_not_written_over)
{
    const std::string text = kHead + kTail;
    testsupport::writeFile(userFile(), text);
    ASSERT_EQ(chmod(userFile().c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
    // Root reads every file: the load runs as nobody then.
    const Measured m = measureInChild([] {
        if (geteuid() == 0 && setuid(65534) != 0) return 10;
        debugLines.clear();
        if (numberAt("Before", "Keep") != 0xDEADu) return 1;
        if (setNumber("Before", "Keep", 1) == ERROR_SUCCESS) return 2;
        if (debugLines.size() != 1) return 3;
        if (debugLines[0].find("cannot be read") == std::string::npos) return 4;
        return debugLines[0].find("defaults") == std::string::npos ? 5 : 0;
    });
    EXPECT_EQ(m.exitCode, 0);
    ASSERT_EQ(chmod(userFile().c_str(), 0600), 0);
    EXPECT_EQ(fs::file_size(userFile()), text.size());
    std::vector<uint8_t> bytes = testsupport::readFile(userFile());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    EXPECT_EQ(damagedCopies(), 0);
}

}  // namespace
