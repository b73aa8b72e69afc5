// File change notifications: files and folders made, deleted, renamed and
// copied in a scratch folder reach the registered window as WM_FILECHANGEINFO
// with their paths, and every record is freed.
#include "tests/support/platform_support.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

using namespace platformtest;
namespace fs = std::filesystem;

namespace {

struct Change {
    LONG event;
    std::string path;
    std::string path2;
    DWORD attributes;
    bool operator==(const Change& other) const
    {
        return event == other.event && path == other.path && path2 == other.path2;
    }
};

std::ostream& operator<<(std::ostream& out, const Change& c)
{
    return out << "{" << c.event << " " << c.path << (c.path2.empty() ? "" : " -> " + c.path2) << "}";
}

class ChangeNotify : public Headless {
protected:
    void SetUp() override
    {
        Headless::SetUp();
        root = (dir / "watched").string();
        fs::create_directories(root);
    }
    void TearDown() override
    {
        Headless::TearDown();
        EXPECT_EQ(shellNotifyOutstanding(), 0);  // shutdown frees whatever was never read
    }
    HWND window() { return makeWindow("watcher", 0); }
    static void watch(HWND hwnd, const std::string& folder, DWORD mask = SHCNE_ALLEVENTS, bool recursive = false)
    {
        SHCHANGENOTIFYENTRY entry{mask, folder.c_str(), recursive ? TRUE : FALSE};
        ASSERT_TRUE(SHChangeNotifyRegister(hwnd, &entry)) << folder;
    }
    // Takes the window's notifications off its queue (freeing each) until
    // `done` holds for what was received, for at most five seconds.
    std::vector<Change>& collect(HWND hwnd, const std::function<bool(const std::vector<Change>&)>& done)
    {
        std::vector<Change>& got = received[hwnd];
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done(got) && std::chrono::steady_clock::now() < deadline) {
            MSG msg;
            if (!PeekMessage(&msg, hwnd, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_REMOVE)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            auto* notify = reinterpret_cast<FILECHANGENOTIFY*>(msg.lParam);
            const FILECHANGEINFO& info = notify->fci;
            EXPECT_EQ(info.cbSize, sizeof(FILECHANGEINFO));
            EXPECT_EQ(info.uFlags, SHCNF_PATH);
            got.push_back({info.wEventId, reinterpret_cast<const char*>(info.dwItem1),
                           info.dwItem2 ? reinterpret_cast<const char*>(info.dwItem2) : "", info.dwAttributes});
            SHChangeNotifyFree(notify);
        }
        return got;
    }
    // Collects until a change with this event and path has arrived.
    std::vector<Change>& until(HWND hwnd, LONG event, const std::string& path)
    {
        return collect(hwnd, [&](const std::vector<Change>& got) {
            for (const Change& c : got)
                if (c.event == event && c.path == path) return true;
            return false;
        });
    }
    static void touch(const std::string& path) { testsupport::writeFile(path, std::string("picture")); }
    std::string in(const std::string& name) const { return root + "/" + name; }

    testsupport::TempDir dir;
    std::string root;
    std::map<HWND, std::vector<Change>> received;
};

std::vector<Change> only(const std::vector<Change>& all, LONG mask)
{
    std::vector<Change> out;
    for (const Change& c : all)
        if (c.event & mask) out.push_back(c);
    return out;
}

TEST_F(ChangeNotify, files_and_folders_made_and_deleted_arrive_in_order_with_their_paths)
{
    HWND hwnd = window();
    watch(hwnd, root + "/");  // a trailing "/" is the same folder
    touch(in("a.jpg"));
    fs::create_directory(in("sub"));
    fs::remove(in("a.jpg"));
    fs::remove(in("sub"));
    std::vector<Change> got = only(until(hwnd, SHCNE_RMDIR, in("sub")), SHCNE_CREATE | SHCNE_DELETE | SHCNE_MKDIR | SHCNE_RMDIR);
    std::vector<Change> expected = {
        {SHCNE_CREATE, in("a.jpg"), "", 0},
        {SHCNE_MKDIR, in("sub"), "", 0},
        {SHCNE_DELETE, in("a.jpg"), "", 0},
        {SHCNE_RMDIR, in("sub"), "", 0},
    };
    EXPECT_EQ(got, expected);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[1].attributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(got[0].attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(got[3].attributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);  // from the event: the folder is gone
    EXPECT_EQ(shellNotifyOutstanding(), 0);
}

TEST_F(ChangeNotify, only_the_asked_for_events_are_posted)
{
    HWND hwnd = window();
    watch(hwnd, root, SHCNE_DELETE);
    touch(in("a.jpg"));
    fs::create_directory(in("sub"));
    fs::remove(in("a.jpg"));
    std::vector<Change> got = until(hwnd, SHCNE_DELETE, in("a.jpg"));
    EXPECT_EQ(got, (std::vector<Change>{{SHCNE_DELETE, in("a.jpg"), "", 0}}));
}

TEST_F(ChangeNotify, recursive_registrations_follow_folders_old_and_new)
{
    fs::create_directories(in("old/inner"));
    HWND deep = window(), flat = window();
    watch(deep, root, SHCNE_CREATE | SHCNE_MKDIR, true);
    watch(flat, root, SHCNE_CREATE | SHCNE_MKDIR, false);
    touch(in("old/inner/a.png"));
    until(deep, SHCNE_CREATE, in("old/inner/a.png"));
    fs::create_directory(in("new"));
    // The new folder is watched before its creation is posted.
    until(deep, SHCNE_MKDIR, in("new"));
    touch(in("new/b.png"));
    until(deep, SHCNE_CREATE, in("new/b.png"));
    touch(in("last.png"));
    std::vector<Change> flatGot = until(flat, SHCNE_CREATE, in("last.png"));
    EXPECT_EQ(flatGot, (std::vector<Change>{{SHCNE_MKDIR, in("new"), "", 0}, {SHCNE_CREATE, in("last.png"), "", 0}}));
}

TEST_F(ChangeNotify, renames_inside_are_one_event_and_moves_across_the_edge_are_create_or_delete)
{
    std::string outside = (dir / "outside").string();
    fs::create_directories(outside);
    touch(outside + "/in.jpg");
    HWND hwnd = window();
    watch(hwnd, root, SHCNE_ALLEVENTS & ~(SHCNE_UPDATEITEM | SHCNE_ATTRIBUTES));
    touch(in("a.jpg"));
    fs::rename(in("a.jpg"), in("b.jpg"));
    fs::rename(in("b.jpg"), outside + "/b.jpg");
    fs::rename(outside + "/in.jpg", in("in.jpg"));
    fs::create_directory(in("f"));
    fs::rename(in("f"), in("g"));
    std::vector<Change> got = until(hwnd, SHCNE_RENAMEFOLDER, in("f"));
    std::vector<Change> expected = {
        {SHCNE_CREATE, in("a.jpg"), "", 0},  {SHCNE_RENAMEITEM, in("a.jpg"), in("b.jpg"), 0}, {SHCNE_DELETE, in("b.jpg"), "", 0},
        {SHCNE_CREATE, in("in.jpg"), "", 0}, {SHCNE_MKDIR, in("f"), "", 0},                   {SHCNE_RENAMEFOLDER, in("f"), in("g"), 0},
    };
    EXPECT_EQ(got, expected);
}

TEST_F(ChangeNotify, a_renamed_folder_reports_its_contents_under_the_new_name)
{
    fs::create_directories(in("f"));
    HWND hwnd = window();
    watch(hwnd, root, SHCNE_CREATE | SHCNE_RENAMEFOLDER, true);
    fs::rename(in("f"), in("g"));
    until(hwnd, SHCNE_RENAMEFOLDER, in("f"));
    touch(in("g/x.jpg"));
    until(hwnd, SHCNE_CREATE, in("g/x.jpg"));
    EXPECT_EQ(received[hwnd].back(), (Change{SHCNE_CREATE, in("g/x.jpg"), "", 0}));
}

TEST_F(ChangeNotify, folders_moved_out_are_forgotten_and_folders_moved_in_are_watched)
{
    std::string outside = (dir / "outside").string();
    fs::create_directories(outside + "/incoming");
    fs::create_directories(in("leaving/inner"));
    HWND hwnd = window();
    watch(hwnd, root, SHCNE_CREATE | SHCNE_MKDIR | SHCNE_RMDIR, true);
    fs::rename(in("leaving"), outside + "/left");
    until(hwnd, SHCNE_RMDIR, in("leaving"));
    touch(outside + "/left/inner/away.jpg");  // no longer watched
    fs::rename(outside + "/incoming", in("incoming"));
    until(hwnd, SHCNE_MKDIR, in("incoming"));
    touch(in("incoming/here.jpg"));
    std::vector<Change> got = until(hwnd, SHCNE_CREATE, in("incoming/here.jpg"));
    std::vector<Change> expected = {
        {SHCNE_RMDIR, in("leaving"), "", 0}, {SHCNE_MKDIR, in("incoming"), "", 0}, {SHCNE_CREATE, in("incoming/here.jpg"), "", 0}};
    EXPECT_EQ(got, expected);
}

TEST_F(ChangeNotify, a_copy_is_one_creation_of_the_target_and_its_temporary_never_shows)
{
    std::string source = (dir / "source.jpg").string();
    touch(source);
    HWND hwnd = window();
    watch(hwnd, root, SHCNE_ALLEVENTS & ~(SHCNE_UPDATEITEM | SHCNE_ATTRIBUTES));
    ASSERT_TRUE(CopyFile(source.c_str(), in("a.jpg").c_str(), TRUE));    // put in place with link()
    ASSERT_TRUE(CopyFile(source.c_str(), in("b.jpg").c_str(), FALSE));   // put in place with rename()
    fs::remove(in("a.jpg"));
    std::vector<Change> got = until(hwnd, SHCNE_DELETE, in("a.jpg"));
    std::vector<Change> expected = {
        {SHCNE_CREATE, in("a.jpg"), "", 0}, {SHCNE_CREATE, in("b.jpg"), "", 0}, {SHCNE_DELETE, in("a.jpg"), "", 0}};
    EXPECT_EQ(got, expected);
}

TEST_F(ChangeNotify, a_watched_folder_that_vanishes_is_reported_once_and_watched_no_more)
{
    touch(in("a.jpg"));
    HWND hwnd = window();
    watch(hwnd, root, SHCNE_DELETE | SHCNE_RMDIR | SHCNE_CREATE);
    fs::remove_all(root);
    std::vector<Change> got = until(hwnd, SHCNE_RMDIR, root);
    EXPECT_EQ(got, (std::vector<Change>{{SHCNE_DELETE, in("a.jpg"), "", 0}, {SHCNE_RMDIR, root, "", 0}}));
    // A folder of the same name made again is another folder: nothing is reported.
    HWND sentinel = window();
    fs::create_directories(root);
    watch(sentinel, root, SHCNE_CREATE);
    touch(in("b.jpg"));
    until(sentinel, SHCNE_CREATE, in("b.jpg"));
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, hwnd, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_NOREMOVE));
}

TEST_F(ChangeNotify, deregistering_or_registering_again_stops_the_old_notifications)
{
    std::string other = (dir / "other").string();
    fs::create_directories(other);
    HWND a = window(), b = window(), moved = window();
    watch(a, root, SHCNE_CREATE);
    watch(b, root, SHCNE_CREATE);
    watch(moved, root, SHCNE_CREATE);
    watch(moved, other, SHCNE_CREATE);  // replaces its registration for root
    touch(in("1.jpg"));
    until(b, SHCNE_CREATE, in("1.jpg"));
    MSG msg;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!PeekMessage(&msg, a, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_NOREMOVE) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(shellNotifyOutstanding(), 1);  // a's record, still queued
    // Deregistering takes the queued record out and frees it.
    ASSERT_TRUE(SHChangeNotifyDeregister(a));
    EXPECT_FALSE(PeekMessage(&msg, a, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_NOREMOVE));
    EXPECT_EQ(shellNotifyOutstanding(), 0);
    touch(in("2.jpg"));
    until(b, SHCNE_CREATE, in("2.jpg"));
    touch(other + "/3.jpg");
    std::vector<Change> movedGot = until(moved, SHCNE_CREATE, other + "/3.jpg");
    EXPECT_EQ(movedGot, (std::vector<Change>{{SHCNE_CREATE, other + "/3.jpg", "", 0}}));
    EXPECT_FALSE(PeekMessage(&msg, a, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_NOREMOVE));
}

TEST_F(ChangeNotify, records_for_a_destroyed_window_are_freed_and_frees_are_checked)
{
    HWND gone = window(), sentinel = window();
    watch(gone, root, SHCNE_CREATE);
    watch(sentinel, root, SHCNE_CREATE);
    DestroyWindow(gone);
    touch(in("a.jpg"));
    until(sentinel, SHCNE_CREATE, in("a.jpg"));
    // The record for the destroyed window was never delivered: it is freed by the reader.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (shellNotifyOutstanding() != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(shellNotifyOutstanding(), 0);
    // Freeing nothing, or twice, does no harm (the sanitizer build would see it).
    SHChangeNotifyFree(nullptr);
    touch(in("b.jpg"));
    MSG msg{};
    deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!PeekMessage(&msg, sentinel, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_REMOVE) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(msg.message, WM_FILECHANGEINFO);
    auto* notify = reinterpret_cast<FILECHANGENOTIFY*>(msg.lParam);
    SHChangeNotifyFree(notify);
    SHChangeNotifyFree(notify);
    EXPECT_EQ(shellNotifyOutstanding(), 0);
}

TEST_F(ChangeNotify, registering_needs_a_window_and_a_folder_that_exists)
{
    HWND hwnd = window();
    std::string missing = (dir / "missing").string();
    SHCHANGENOTIFYENTRY entry{SHCNE_ALLEVENTS, missing.c_str(), FALSE};
    EXPECT_FALSE(SHChangeNotifyRegister(hwnd, &entry));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    std::string file = in("file.jpg");
    touch(file);
    entry.pszWatchDir = file.c_str();  // a file is no folder
    EXPECT_FALSE(SHChangeNotifyRegister(hwnd, &entry));
    entry.pszWatchDir = root.c_str();
    EXPECT_FALSE(SHChangeNotifyRegister(nullptr, &entry));
    EXPECT_FALSE(SHChangeNotifyRegister(hwnd, nullptr));
    EXPECT_TRUE(SHChangeNotifyRegister(hwnd, &entry));
}

}  // namespace
