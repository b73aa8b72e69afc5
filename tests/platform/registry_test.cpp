// The registry: values and keys, the REGEDIT4 files, damaged files, several
// processes at once, and a writer killed in the middle of a save.
#include "platform/registry/hive.h"
#include "platform/windows.h"
#include "tests/support/registry_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class RegistryTest : public testsupport::RegistryFixture {
protected:
    std::string userFile() { return (dir / "user.reg").string(); }
    std::string fileText()
    {
        std::vector<uint8_t> bytes = testsupport::readFile(userFile());
        return std::string(bytes.begin(), bytes.end());
    }
};

HKEY create(const char* path)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition), ERROR_SUCCESS);
    return key;
}

void setText(HKEY key, const char* name, const std::string& text)
{
    EXPECT_EQ(RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

void setNumber(HKEY key, const char* name, DWORD value)
{
    EXPECT_EQ(RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), ERROR_SUCCESS);
}

bool queryText(HKEY key, const char* name, std::string& out)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return false;
    std::vector<char> buffer(size);
    if (RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) return false;
    out.assign(buffer.data(), size ? size - 1 : 0);
    return true;
}

DWORD queryNumber(HKEY key, const char* name)
{
    DWORD v = 0xDEADBEEF, type = 0, size = 4;
    RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size);
    return v;
}

TEST_F(RegistryTest, values_survive_a_fresh_start_exactly)
{
    HKEY key = create("Software\\Fotrix Pocket\\General");
    setNumber(key, "Mode", 3);
    setNumber(key, "Fit", 0xFFFFFFFF);
    setText(key, "Home", "/home/me/Pictures/");
    const std::string tricky = "quote \" back\\slash [x] = \xC3\xA9t\xC3\xA9";
    setText(key, "Tricky", tricky);
    setText(key, "Lines", "one\r\ntwo\ttab");
    setText(key, "", "default value");
    setText(key, "Empty", "");
    std::vector<uint8_t> blob(300);
    for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(RegSetValueEx(key, "Blob", 0, REG_BINARY, blob.data(), static_cast<DWORD>(blob.size())), ERROR_SUCCESS);
    RegCloseKey(key);

    RegistryReset();  // as a new process would: read everything back from the file
    HKEY again = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\FOTRIX POCKET\\general", 0, KEY_READ, &again), ERROR_SUCCESS);
    EXPECT_EQ(queryNumber(again, "Mode"), 3u);
    EXPECT_EQ(queryNumber(again, "fit"), 0xFFFFFFFFu);
    std::string text;
    ASSERT_TRUE(queryText(again, "Home", text));
    EXPECT_EQ(text, "/home/me/Pictures/");
    ASSERT_TRUE(queryText(again, "Tricky", text));
    EXPECT_EQ(text, tricky);
    ASSERT_TRUE(queryText(again, "Lines", text));
    EXPECT_EQ(text, "one\r\ntwo\ttab");
    ASSERT_TRUE(queryText(again, nullptr, text));
    EXPECT_EQ(text, "default value");
    ASSERT_TRUE(queryText(again, "Empty", text));
    EXPECT_EQ(text, "");
    std::vector<uint8_t> back(400);
    DWORD type = 0, size = static_cast<DWORD>(back.size());
    ASSERT_EQ(RegQueryValueEx(again, "Blob", nullptr, &type, back.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    back.resize(size);
    EXPECT_EQ(back, blob);
    RegCloseKey(again);
    std::string file = fileText();
    EXPECT_EQ(file.rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]"), std::string::npos);
    EXPECT_NE(file.find("\"Mode\"=dword:00000003"), std::string::npos);
    EXPECT_NE(file.find("\"Home\"=\"/home/me/Pictures/\""), std::string::npos);
}

TEST_F(RegistryTest, query_reports_sizes_and_short_buffers)
{
    HKEY key = create("S");
    setText(key, "T", "hello");
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "T", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    char small[3];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "T", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    // Text without its zero is stored with one; numbers must be four bytes.
    EXPECT_EQ(RegSetValueEx(key, "NoZero", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
    std::string text;
    ASSERT_TRUE(queryText(key, "NoZero", text));
    EXPECT_EQ(text, "abc");
    DWORD v = 1;
    EXPECT_EQ(RegSetValueEx(key, "Short", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 2), ERROR_INVALID_PARAMETER);
    std::string longName(kRegMaxValueName + 1, 'n');
    EXPECT_EQ(RegSetValueEx(key, longName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(RegistryTest, keys_enumerate_in_order_and_delete_with_everything_below)
{
    HKEY fav = create("Software\\Fotrix Pocket\\Favorites");
    for (const char* name : {"Holidays", "Work", "Cats"}) {
        HKEY sub = nullptr;
        ASSERT_EQ(RegCreateKeyEx(fav, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr), ERROR_SUCCESS);
        setText(sub, "Path", std::string("/p/") + name + "/");
        RegCloseKey(sub);
    }
    char name[64];
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        LONG r = RegEnumKeyEx(fav, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(size, std::strlen(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Holidays", "Work", "Cats"}));
    DWORD tiny = 3;
    EXPECT_EQ(RegEnumKeyEx(fav, 0, name, &tiny, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(RegDeleteKey(fav, "Work"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(fav, "Work"), ERROR_FILE_NOT_FOUND);
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyEx(fav, 1, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Cats");
    // A handle whose key went away reports it.
    HKEY cats = nullptr;
    ASSERT_EQ(RegOpenKeyEx(fav, "Cats", 0, KEY_READ, &cats), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\Fotrix Pocket"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(cats, "Path", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_INVALID_PARAMETER);
    RegCloseKey(cats);
    RegCloseKey(fav);
    HKEY gone;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Fotrix Pocket\\Favorites", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, values_enumerate_and_delete)
{
    HKEY key = create("Software\\Fotrix Pocket\\IPTC");
    setText(key, "Preset B", "b");
    setText(key, "Preset A", "a");
    char name[32];
    BYTE data[32];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    ASSERT_EQ(RegEnumValue(key, 0, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Preset B");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(dataSize, 2u);
    EXPECT_EQ(RegDeleteValue(key, "preset b"), ERROR_SUCCESS);
    nameSize = sizeof name;
    dataSize = sizeof data;
    ASSERT_EQ(RegEnumValue(key, 0, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Preset A");
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumValue(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegDeleteValue(key, "Preset B"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

std::vector<std::string> debugLines;
void catchDebug(const char* text) { debugLines.push_back(text); }

TEST_F(RegistryTest, damaged_file_is_kept_aside_reported_once_and_its_good_lines_kept)
{
    const std::string damaged =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Path\"=\"unterminated\n\"Mode\"=dword:00000002\n";
    testsupport::writeFile(userFile(), damaged);
    debugLines.clear();
    SetDebugOutputHook(catchDebug);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(queryNumber(key, "Mode"), 2u);
    std::string text;
    EXPECT_FALSE(queryText(key, "Path", text));
    RegCloseKey(key);
    char aside[1024];
    ASSERT_GT(RegistryLastDamage(aside, sizeof aside), 0);
    std::vector<uint8_t> kept = testsupport::readFile(aside);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), damaged);
    ASSERT_EQ(debugLines.size(), 1u);
    EXPECT_NE(debugLines[0].find("damaged"), std::string::npos);
    EXPECT_NE(debugLines[0].find("line 4"), std::string::npos);
    // The hive was saved with its good lines, so the next start finds nothing to report.
    EXPECT_EQ(fileText().find("unterminated"), std::string::npos);
    RegistryReset();
    key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(queryNumber(key, "Mode"), 2u);
    RegCloseKey(key);
    SetDebugOutputHook(nullptr);
    EXPECT_EQ(debugLines.size(), 1u);
}

TEST_F(RegistryTest, files_that_are_not_hives_count_as_damaged)
{
    const char* bad[] = {
        "",                                                           // empty
        "REGEDIT5\n",                                                 // wrong header
        "REGEDIT4\n\"Orphan\"=dword:00000001\n",                      // value before a key
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n",                        // another hive
        "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"N\"=dword:123\n",        // short number
        "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"B\"=hex:0g\n",           // bad hex
        "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"S\"=\"a\\q\"\n",         // unknown escape
        "REGEDIT4\n[HKEY_CURRENT_USER\\X\n",                          // open header
    };
    for (const char* text : bad) {
        RegNode root;
        std::string error;
        EXPECT_FALSE(regParse(text, "HKEY_CURRENT_USER", root, error)) << text;
        EXPECT_FALSE(error.empty());
    }
    RegNode root;
    std::string error;
    EXPECT_TRUE(regParse("REGEDIT4\r\n\r\n; comment\r\n[HKEY_CURRENT_USER\\A\\B]\r\n\"x\"=hex:01,\\\r\n  02\r\n", "HKEY_CURRENT_USER", root, error))
        << error;
    RegNode* b = regWalk(&root, "A\\B", false, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(regFindValue(b, "X"), nullptr);
    EXPECT_EQ(regFindValue(b, "X")->data, (std::vector<uint8_t>{1, 2}));
}

TEST_F(RegistryTest, another_process_sees_changes_and_none_are_lost)
{
    HKEY key = create("Shared");
    setNumber(key, "Parent", 1);
    constexpr int kChildren = 3, kWrites = 30;
    std::vector<pid_t> pids;
    for (int c = 0; c < kChildren; ++c) {
        pid_t pid = fork();
        if (pid == 0) {
            HKEY k = nullptr;
            RegCreateKeyEx(HKEY_CURRENT_USER, "Shared", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
            for (int i = 0; i < kWrites; ++i) {
                std::string name = "c" + std::to_string(c) + "_" + std::to_string(i);
                DWORD v = static_cast<DWORD>(i);
                if (RegSetValueEx(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4) != ERROR_SUCCESS) _exit(2);
            }
            _exit(0);
        }
        pids.push_back(pid);
    }
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // This process still holds its old copy; the next read takes the file's.
    int found = 0;
    for (int c = 0; c < kChildren; ++c)
        for (int i = 0; i < kWrites; ++i) found += queryNumber(key, ("c" + std::to_string(c) + "_" + std::to_string(i)).c_str()) == static_cast<DWORD>(i);
    EXPECT_EQ(found, kChildren * kWrites);
    EXPECT_EQ(queryNumber(key, "Parent"), 1u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, killing_a_writer_midway_leaves_a_whole_file)
{
    HKEY key = create("Big");
    std::string big(200000, 'a');
    setText(key, "Value", big);
    RegCloseKey(key);
    // Kills land at chance moments: go on (up to a limit) until some landed
    // inside a save, so that the test never passes without testing anything.
    int killedMidSave = 0, temporariesBefore = 0;
    for (int round = 0; round < 60 && (round < 6 || killedMidSave < 2); ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t pid = fork();
        if (pid == 0) {
            close(ready[0]);
            HKEY k = nullptr;
            RegCreateKeyEx(HKEY_CURRENT_USER, "Big", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
            for (int i = 0;; ++i) {
                std::string v(200000 + (i % 50) * 1000, static_cast<char>('b' + i % 20));
                RegSetValueEx(k, "Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), static_cast<DWORD>(v.size() + 1));
                if (i == 0 && write(ready[1], "r", 1) != 1) _exit(2);  // in the loop now
            }
        }
        close(ready[1]);
        char byte;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        usleep(static_cast<useconds_t>(1000 + (round * 7919) % 40000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        // A kill inside a save leaves one more temporary (readers never remove them).
        int temporaries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            temporaries += entry.path().filename().string().rfind(".user.reg.fotrix-tmp-", 0) == 0;
        killedMidSave += temporaries > temporariesBefore;
        temporariesBefore = temporaries;
        RegistryReset();
        SetDebugOutputHook(catchDebug);
        debugLines.clear();
        HKEY k = nullptr;
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Big", 0, KEY_READ, &k), ERROR_SUCCESS) << "round " << round;
        SetDebugOutputHook(nullptr);
        EXPECT_TRUE(debugLines.empty()) << debugLines[0];
        std::string text;
        ASSERT_TRUE(queryText(k, "Value", text));
        ASSERT_GE(text.size(), 200000u);
        EXPECT_EQ(text.find_first_not_of(text[0]), std::string::npos);  // one whole value, never a mix
        RegCloseKey(k);
    }
    // Most kills land inside a save (the writer does little else), so the test did test something.
    EXPECT_GT(killedMidSave, 0);
    // The next save clears what the killed writers left behind.
    HKEY k = create("Big");
    setNumber(k, "After", 1);
    RegCloseKey(k);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find("fotrix-tmp-"), std::string::npos) << entry.path();
}

TEST_F(RegistryTest, classes_root_has_its_own_file)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, ".alb", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    setText(key, "", "FotrixAlbum");
    RegCloseKey(key);
    std::vector<uint8_t> file = testsupport::readFile(dir / "classes.reg");
    std::string text(file.begin(), file.end());
    EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\.alb]\n@=\"FotrixAlbum\""), std::string::npos);
    HKEY missing;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, ".alb", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
}

}  // namespace

namespace {

// Every prefix and many one-byte changes of a real hive file parse or fail
// cleanly (the sanitizer build checks the "cleanly").
TEST(RegistryFormat, cut_and_changed_files_never_break_the_parser)
{
    RegNode root;
    regWalk(&root, "Software\\Fotrix Pocket\\General", true, nullptr);
    RegNode* general = regWalk(&root, "Software\\Fotrix Pocket\\General", false, nullptr);
    general->values.push_back(RegValue{"Mode", REG_DWORD, {3, 0, 0, 0}});
    general->values.push_back(RegValue{"Home", REG_SZ, {'/', 'x', '"', '\\', 0}});
    general->values.push_back(RegValue{"Lines", REG_SZ, {'a', '\n', 'b', 0}});
    general->values.push_back(RegValue{"Blob", REG_BINARY, std::vector<uint8_t>(60, 0xAB)});
    const std::string text = regFormat(root, "HKEY_CURRENT_USER");
    RegNode back;
    std::string error;
    ASSERT_TRUE(regParse(text, "HKEY_CURRENT_USER", back, error)) << error;
    EXPECT_EQ(regFormat(back, "HKEY_CURRENT_USER"), text);
    int parsed = 0;
    for (size_t n = 0; n <= text.size(); ++n) parsed += regParse(text.substr(0, n), "HKEY_CURRENT_USER", back, error);
    EXPECT_GT(parsed, 0);
    const char replacements[] = {'"', '\\', '[', ']', '=', '\n', ',', '\0', 'z', ':'};
    for (size_t i = 0; i < text.size(); ++i)
        for (char c : replacements) {
            std::string changed = text;
            changed[i] = c;
            regParse(changed, "HKEY_CURRENT_USER", back, error);
        }
}

}  // namespace
