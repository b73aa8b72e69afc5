// Files and folders: listings with wildcards, attributes, copying and moving
// without losing data, file times, locale settings, special folders, storage cards.
#include "platform/windows.h"
#include "tests/support/env_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <utime.h>

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& p)
{
    std::vector<uint8_t> b = testsupport::readFile(p);
    return std::string(b.begin(), b.end());
}

std::vector<std::string> list(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATA d;
    HANDLE h = FindFirstFile(pattern.c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(d.cFileName);
    while (FindNextFile(h, &d));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    FindClose(h);
    return names;
}

using testsupport::EnvScope;

TEST(Files, wildcards_match_without_case_in_name_order)
{
    testsupport::TempDir dir;
    for (const char* n : {"b.jpg", "A.JPG", "c.jpeg", "README", ".hidden.jpg", "x1.png", "x22.png"})
        testsupport::writeFile(dir / n, std::string("x"));
    fs::create_directory(dir / "sub.jpg");
    std::string d = dir.path().string();
    EXPECT_EQ(list(d + "/*.jpg"), (std::vector<std::string>{".hidden.jpg", "A.JPG", "b.jpg", "sub.jpg"}));
    EXPECT_EQ(list(d + "/x?.png"), (std::vector<std::string>{"x1.png"}));
    EXPECT_EQ(list(d + "/*.*").size(), 8u);  // every name, README too; never "." or ".."
    EXPECT_EQ(list(d + "/*").size(), 8u);
    WIN32_FIND_DATA data;
    EXPECT_EQ(FindFirstFile((d + "/*.gif").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFile((d + "/nowhere/*.jpg").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(WildcardMatch("*a*b", "xxaYYb"));
    EXPECT_FALSE(WildcardMatch("*a*b", "xxaYYbc"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_FALSE(WildcardMatch("?", ""));
    EXPECT_FALSE(FindClose(reinterpret_cast<HANDLE>(0x10)));
}

TEST(Files, find_data_carries_attributes_size_and_time)
{
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "pic.jpg", std::string(5000, 'x'));
    testsupport::writeFile(dir / ".dot", std::string("x"));
    fs::create_directory(dir / "folder");
    utimbuf times{1000000000, 1000000000};  // 2001-09-09 01:46:40 UTC
    utime((dir / "pic.jpg").c_str(), &times);
    chmod((dir / "pic.jpg").c_str(), 0444);
    WIN32_FIND_DATA d;
    HANDLE h = FindFirstFile((dir.path().string() + "/pic.jpg").c_str(), &d);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_EQ(d.nFileSizeLow, 5000u);
    EXPECT_EQ(d.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&d.ftLastWriteTime, &st));
    EXPECT_EQ(st.wYear, 2001);
    EXPECT_EQ(st.wMonth, 9);
    EXPECT_EQ(st.wDay, 9);
    EXPECT_EQ(st.wHour, 1);
    EXPECT_EQ(st.wMinute, 46);
    EXPECT_EQ(st.wDayOfWeek, 0);  // a Sunday
    EXPECT_EQ(GetFileAttributes((dir.path().string() + "/folder").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributes((dir.path().string() + "/.dot").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributes((dir.path().string() + "/none").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    chmod((dir / "pic.jpg").c_str(), 0644);
    EXPECT_EQ(GetFileAttributes((dir / "pic.jpg").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
}

TEST(Files, read_only_files_refuse_deletion_until_made_normal)
{
    testsupport::TempDir dir;
    std::string p = (dir / "keep.jpg").string();
    testsupport::writeFile(p, std::string("data"));
    ASSERT_TRUE(SetFileAttributes(p.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(GetFileAttributes(p.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(DeleteFile(p.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(fs::exists(p));
    ASSERT_TRUE(SetFileAttributes(p.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFile(p.c_str()));
    EXPECT_FALSE(fs::exists(p));
    EXPECT_FALSE(DeleteFile(p.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFile(dir.path().c_str()));  // folders go through RemoveDirectory
}

TEST(Files, copy_keeps_the_target_when_asked_and_never_leaves_half_files)
{
    testsupport::TempDir dir;
    std::string a = (dir / "a.jpg").string(), b = (dir / "b.jpg").string();
    testsupport::writeFile(a, std::string(100000, 'A'));
    testsupport::writeFile(b, std::string("old"));
    utimbuf times{1200000000, 1200000000};
    utime(a.c_str(), &times);
    EXPECT_FALSE(CopyFile(a.c_str(), b.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(readText(b), "old");
    ASSERT_TRUE(CopyFile(a.c_str(), b.c_str(), FALSE));
    EXPECT_EQ(readText(b), std::string(100000, 'A'));
    struct stat st;
    stat(b.c_str(), &st);
    EXPECT_EQ(st.st_mtime, 1200000000);  // the copy keeps the last write time
    std::string c = (dir / "c.jpg").string();
    ASSERT_TRUE(CopyFile(a.c_str(), c.c_str(), TRUE));
    EXPECT_FALSE(CopyFile((dir / "missing").c_str(), (dir / "d").c_str(), FALSE));
    EXPECT_FALSE(CopyFile(dir.path().c_str(), (dir / "e").c_str(), FALSE));
    EXPECT_FALSE(CopyFile(a.c_str(), (dir / "no/such/folder/x").c_str(), FALSE));
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        ++entries;
        EXPECT_EQ(e.path().filename().string().find("fotrix-tmp"), std::string::npos) << e.path();
    }
    EXPECT_EQ(entries, 3);
}

TEST(Files, copy_refuses_a_read_only_target_and_keeps_it)
{
    testsupport::TempDir dir;
    std::string a = (dir / "a.jpg").string(), b = (dir / "b.jpg").string();
    testsupport::writeFile(a, std::string("new"));
    testsupport::writeFile(b, std::string("kept"));
    chmod(b.c_str(), 0444);
    EXPECT_FALSE(CopyFile(a.c_str(), b.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(readText(b), "kept");
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) entries += e.is_regular_file();
    EXPECT_EQ(entries, 2);
}

TEST(Files, move_refuses_an_existing_target)
{
    testsupport::TempDir dir;
    std::string a = (dir / "a").string(), b = (dir / "b").string(), c = (dir / "c").string();
    testsupport::writeFile(a, std::string("A"));
    testsupport::writeFile(b, std::string("B"));
    EXPECT_FALSE(MoveFile(a.c_str(), b.c_str()));
    EXPECT_EQ(readText(a), "A");
    EXPECT_EQ(readText(b), "B");
    ASSERT_TRUE(MoveFile(a.c_str(), c.c_str()));
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(readText(c), "A");
    fs::create_directory(dir / "folder");
    EXPECT_TRUE(MoveFile((dir / "folder").c_str(), (dir / "renamed").c_str()));
    EXPECT_TRUE(fs::is_directory(dir / "renamed"));
}

TEST(Files, folders_are_made_and_removed_only_when_empty)
{
    testsupport::TempDir dir;
    std::string f = (dir / "New folder").string();
    ASSERT_TRUE(CreateDirectory(f.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectory(f.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectory((dir / "a/b").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    testsupport::writeFile(fs::path(f) / "x", std::string("x"));
    EXPECT_FALSE(RemoveDirectory(f.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    fs::remove(fs::path(f) / "x");
    EXPECT_TRUE(RemoveDirectory(f.c_str()));
}

TEST(Files, file_times_convert_between_zones_and_calendars)
{
    FILETIME epoch{};
    SYSTEMTIME st{1970, 1, 0, 1, 0, 0, 0, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &epoch));
    uint64_t ticks = (static_cast<uint64_t>(epoch.dwHighDateTime) << 32) | epoch.dwLowDateTime;
    EXPECT_EQ(ticks, 116444736000000000ull);
    SYSTEMTIME back;
    ASSERT_TRUE(FileTimeToSystemTime(&epoch, &back));
    EXPECT_EQ(back.wDayOfWeek, 4);  // Thursday
    st.wMonth = 13;
    EXPECT_FALSE(SystemTimeToFileTime(&st, &epoch));
    {
        EnvScope tz("TZ", "XST-2");  // two hours east of UTC, no summer time
        tzset();
        SYSTEMTIME noon{2024, 2, 0, 29, 12, 30, 0, 0};
        FILETIME utc, local, again;
        ASSERT_TRUE(SystemTimeToFileTime(&noon, &utc));
        FileTimeToLocalFileTime(&utc, &local);
        FileTimeToSystemTime(&local, &back);
        EXPECT_EQ(back.wHour, 14);
        EXPECT_EQ(back.wDay, 29);
        LocalFileTimeToFileTime(&local, &again);
        EXPECT_EQ(CompareFileTime(&again, &utc), 0);
        EXPECT_EQ(CompareFileTime(&utc, &local), -1);
    }
    tzset();
}

std::string locale(DWORD type)
{
    char buffer[32] = "";
    int n = GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)) + 1);
    return buffer;
}

TEST(Files, locale_gives_language_and_date_order)
{
    EnvScope all("LC_ALL", nullptr), time("LC_TIME", nullptr), messages("LC_MESSAGES", nullptr);
    {
        EnvScope lang("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(locale(LOCALE_SISO639LANGNAME), "fr");
        EXPECT_EQ(locale(LOCALE_SISO3166CTRYNAME), "FR");
        EXPECT_EQ(locale(LOCALE_IDATE), "1");
        EXPECT_EQ(locale(LOCALE_SABBREVLANGNAME).substr(0, 2), "FR");
    }
    {
        EnvScope lang("LANG", "en_US.UTF-8");
        EXPECT_EQ(locale(LOCALE_IDATE), "0");
        EXPECT_EQ(locale(LOCALE_SDATE), "/");
        EXPECT_EQ(locale(LOCALE_SSHORTDATE), "MM/dd/yyyy");
    }
    {
        EnvScope lang("LANG", "en_US.UTF-8");
        EnvScope over("LC_ALL", "de_DE.UTF-8");
        EXPECT_EQ(locale(LOCALE_SISO639LANGNAME), "de");
        EXPECT_EQ(locale(LOCALE_SDATE), ".");
        EXPECT_EQ(locale(LOCALE_IDATE), "1");
    }
    {
        EnvScope lang("LANG", "ja_JP.UTF-8");
        EXPECT_EQ(locale(LOCALE_IDATE), "2");
    }
    {
        EnvScope lang("LANG", "C");
        EXPECT_EQ(locale(LOCALE_SISO639LANGNAME), "en");
    }
    char tiny[2];
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, tiny, sizeof tiny), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Files, special_folders_end_with_a_slash)
{
    testsupport::TempDir dir;
    char path[MAX_PATH];
    {
        EnvScope pictures("XDG_PICTURES_DIR", dir.path().c_str());
        ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_PERSONAL, FALSE));
        EXPECT_EQ(std::string(path), dir.path().string() + "/");
    }
    {
        EnvScope pictures("XDG_PICTURES_DIR", nullptr);
        EnvScope home("HOME", dir.path().c_str());
        ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_PERSONAL, FALSE));
        EXPECT_EQ(std::string(path), dir.path().string() + "/");
    }
    {
        EnvScope tmp("TMPDIR", dir.path().c_str());
        ASSERT_GT(GetTempPath(MAX_PATH, path), 0u);
        EXPECT_EQ(std::string(path).rfind(dir.path().string() + "/fotrix-pocket-", 0), 0u);
        EXPECT_EQ(std::string(path).back(), '/');
        EXPECT_TRUE(fs::is_directory(path));
    }
    ASSERT_GT(GetProgramFolder(path, MAX_PATH), 0);
    EXPECT_TRUE(fs::exists(std::string(path) + "test_platform"));
}

TEST(Files, storage_cards_are_the_folders_of_the_removable_roots)
{
    testsupport::TempDir a, b;
    fs::create_directory(a / "CARD");
    fs::create_directory(b / "usb stick");
    testsupport::writeFile(b / "not-a-card.txt", std::string("x"));
    EnvScope roots("FOTRIX_STORAGE_ROOTS", (a.path().string() + ":" + b.path().string() + ":/no/such").c_str());
    WIN32_FIND_DATA d;
    HANDLE h = FindFirstFlashCard(&d);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<std::string> cards{d.cFileName};
    while (FindNextFlashCard(h, &d)) cards.push_back(d.cFileName);
    FindClose(h);
    EXPECT_EQ(cards, (std::vector<std::string>{(a / "CARD").string(), (b / "usb stick").string()}));
    EnvScope none("FOTRIX_STORAGE_ROOTS", "/no/such");
    EXPECT_EQ(FindFirstFlashCard(&d), INVALID_HANDLE_VALUE);
}

}  // namespace
