// AtomicReplace: what a replaced file keeps (content, owner, group, mode),
// what it refuses, what it leaves behind after failures and kills, and the
// order in which it makes the new file durable.
#include "fileio/atomic_replace.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using fotrix::AtomicReplace;
using fotrix::ReplaceStatus;
namespace fs = std::filesystem;

std::string readText(const fs::path& path)
{
    const std::vector<uint8_t> bytes = testsupport::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

ReplaceStatus replaceWith(const fs::path& target, const std::string& text, const fotrix::ReplaceOptions& options = {})
{
    return fotrix::replaceFileContents(target.string(), text.data(), text.size(), options);
}

// Names in `folder` that look like this helper's temporaries.
std::vector<std::string> temporariesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".fotrix-tmp-") != std::string::npos)
            names.push_back(entry.path().filename().string());
    return names;
}

struct stat statOf(const fs::path& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

TEST(AtomicReplace, keeps_owner_group_and_mode_of_the_target)
{
    testsupport::TempDir dir;
    const fs::path target = dir / "photo.jpg";
    testsupport::writeFile(target, std::string("old"));
    ASSERT_EQ(::chmod(target.c_str(), 02640), 0);  // set-group bit too: fchown would clear it
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    }
    const struct stat before = statOf(target);

    ASSERT_EQ(replaceWith(target, "new"), ReplaceStatus::Ok);
    EXPECT_EQ(readText(target), "new");
    const struct stat after = statOf(target);
    EXPECT_NE(after.st_ino, before.st_ino);  // a new file, renamed into place
    EXPECT_EQ(after.st_mode & 07777, 02640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_TRUE(temporariesIn(dir.path()).empty());
}

TEST(AtomicReplace, new_files_get_the_umask_mode_or_the_chosen_one)
{
    testsupport::TempDir dir;
    const mode_t old = ::umask(027);
    EXPECT_EQ(replaceWith(dir / "a", "x"), ReplaceStatus::Ok);
    fotrix::ReplaceOptions options;
    options.mode = 0600;
    options.useMode = true;
    EXPECT_EQ(replaceWith(dir / "b", "x", options), ReplaceStatus::Ok);
    ::umask(old);
    EXPECT_EQ(statOf(dir / "a").st_mode & 07777, 0640u);
    EXPECT_EQ(statOf(dir / "b").st_mode & 07777, 0600u);
}

TEST(AtomicReplace, refuses_read_only_and_non_regular_targets_and_leaves_them)
{
    testsupport::TempDir dir;
    const fs::path target = dir / "kept.jpg";
    testsupport::writeFile(target, std::string("original"));
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    EXPECT_EQ(replaceWith(target, "replaced"), ReplaceStatus::ReadOnly);
    EXPECT_EQ(readText(target), "original");
    EXPECT_EQ(statOf(target).st_mode & 07777, 0444u);
    EXPECT_STREQ(fotrix::replaceStatusText(ReplaceStatus::ReadOnly), "the file is read-only");

    fs::create_directory(dir / "folder");
    EXPECT_EQ(replaceWith(dir / "folder", "x"), ReplaceStatus::NotRegular);
    EXPECT_EQ(replaceWith(dir / "missing" / "x", "x"), ReplaceStatus::CannotCreate);
    EXPECT_TRUE(temporariesIn(dir.path()).empty());
}

TEST(AtomicReplace, follows_a_link_unless_told_to_replace_the_link)
{
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "real", std::string("old"));
    fs::create_symlink("real", dir / "link");
    ASSERT_EQ(replaceWith(dir / "link", "through"), ReplaceStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(readText(dir / "real"), "through");

    const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    fotrix::ReplaceOptions options;
    options.folderFd = folder;
    options.followLinks = false;
    EXPECT_EQ(replaceWith("link", "instead", options), ReplaceStatus::Ok);
    ::close(folder);
    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(readText(dir / "link"), "instead");
    EXPECT_EQ(readText(dir / "real"), "through");
}

TEST(AtomicReplace, no_replace_keeps_a_file_that_appeared_meanwhile)
{
    testsupport::TempDir dir;
    AtomicReplace file;
    ASSERT_EQ(file.open((dir / "copy").string()), ReplaceStatus::Ok);
    ASSERT_TRUE(file.write("mine", 4));
    testsupport::writeFile(dir / "copy", std::string("theirs"));
    EXPECT_EQ(file.commit(fotrix::CommitMode::NoReplace), ReplaceStatus::Exists);
    EXPECT_EQ(readText(dir / "copy"), "theirs");
    EXPECT_TRUE(temporariesIn(dir.path()).empty());
}

TEST(AtomicReplace, removes_its_own_stale_temporaries_and_nothing_else)
{
    testsupport::TempDir dir;
    const fs::path target = dir / "photo.jpg";
    testsupport::writeFile(target, std::string("old"));
    const std::string prefix = fotrix::replaceTemporaryPrefix("photo.jpg");
    EXPECT_EQ(prefix, ".photo.jpg.fotrix-tmp-");
    const fs::path stale = dir / (prefix + "AAAAAA"), fresh = dir / (prefix + "BBBBBB");
    const fs::path otherTarget = dir / ".other.jpg.fotrix-tmp-CCCCCC", unrelated = dir / "photo.jpg.XXXXXX";
    for (const fs::path& p : {stale, fresh, otherTarget, unrelated}) testsupport::writeFile(p, std::string("left"));
    const auto twoMinutesAgo = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const fs::path& p : {stale, otherTarget, unrelated}) fs::last_write_time(p, twoMinutesAgo);

    ASSERT_EQ(replaceWith(target, "new"), ReplaceStatus::Ok);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));  // may belong to a writer still at work
    EXPECT_TRUE(fs::exists(otherTarget));
    EXPECT_TRUE(fs::exists(unrelated));

    fotrix::ReplaceOptions underLock;
    underLock.staleAfterSeconds = -1;
    ASSERT_EQ(replaceWith(target, "newer", underLock), ReplaceStatus::Ok);
    EXPECT_FALSE(fs::exists(fresh));
}

// Replaces the system calls for one test and puts them back.
class ScopedSyscalls {
public:
    explicit ScopedSyscalls(const fotrix::ReplaceSyscalls& calls) { fotrix::replaceSyscalls() = calls; }
    ~ScopedSyscalls() { fotrix::replaceSyscalls() = fotrix::replaceSyscallsOfSystem(); }
};

size_t failWriteAfter = 0;  // bytes the injected write lets through
size_t writtenSoFar = 0;

ssize_t writeThatFails(int fd, const void* data, size_t size)
{
    if (writtenSoFar >= failWriteAfter) {
        errno = ENOSPC;
        return -1;
    }
    const size_t n = std::min(size, failWriteAfter - writtenSoFar);
    const ssize_t done = ::write(fd, data, n);
    if (done > 0) writtenSoFar += static_cast<size_t>(done);
    return done;
}

int fsyncThatFails(int) { return errno = EIO, -1; }
int renameThatFails(int, const char*, int, const char*) { return errno = EXDEV, -1; }

TEST(AtomicReplace, injected_failures_leave_the_target_and_no_temporary)
{
    testsupport::TempDir dir;
    const fs::path target = dir / "album.zip";
    const std::string old(5000, 'o'), replacement(40000, 'n');
    testsupport::writeFile(target, old);
    fotrix::ReplaceSyscalls calls = fotrix::replaceSyscallsOfSystem();
    calls.write = writeThatFails;
    int failures = 0;
    for (size_t cut = 0; cut < replacement.size(); cut += 1700) {
        ScopedSyscalls scoped(calls);
        failWriteAfter = cut;
        writtenSoFar = 0;
        AtomicReplace file;
        ASSERT_EQ(file.open(target.string()), ReplaceStatus::Ok);
        // Written in pieces, as writers do; every piece after the failure is refused too.
        for (size_t at = 0; at < replacement.size(); at += 4096)
            file.write(replacement.data() + at, std::min<size_t>(4096, replacement.size() - at));
        failures += file.commit() == ReplaceStatus::WriteFailed;
        ASSERT_EQ(readText(target), old) << "cut at " << cut;
        ASSERT_TRUE(temporariesIn(dir.path()).empty()) << "cut at " << cut;
    }
    EXPECT_EQ(failures, 24);

    const fotrix::ReplaceSyscalls system = fotrix::replaceSyscallsOfSystem();
    for (const fotrix::ReplaceSyscalls& broken : {fotrix::ReplaceSyscalls{system.write, fsyncThatFails, system.renameat},
                                                  fotrix::ReplaceSyscalls{system.write, system.fsync, renameThatFails}}) {
        ScopedSyscalls scoped(broken);
        EXPECT_NE(replaceWith(target, replacement), ReplaceStatus::Ok);
        EXPECT_EQ(readText(target), old);
        EXPECT_TRUE(temporariesIn(dir.path()).empty());
    }
}

// What the helper did, in order: "write", "fsync file", "rename", "fsync folder".
std::vector<std::string> calls;

std::string kindOf(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? "folder" : "file";
}

ssize_t recordWrite(int fd, const void* data, size_t size)
{
    if (calls.empty() || calls.back() != "write") calls.push_back("write");
    return ::write(fd, data, size);
}

int recordFsync(int fd)
{
    calls.push_back("fsync " + kindOf(fd));
    return ::fsync(fd);
}

int recordRename(int from, const char* a, int to, const char* b)
{
    calls.push_back("rename");
    return ::renameat(from, a, to, b);
}

TEST(AtomicReplace, syncs_the_file_before_the_rename_and_the_folder_after)
{
    testsupport::TempDir dir;
    calls.clear();
    {
        ScopedSyscalls scoped({recordWrite, recordFsync, recordRename});
        ASSERT_EQ(replaceWith(dir / "settings", std::string(100000, 's')), ReplaceStatus::Ok);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"write", "fsync file", "rename", "fsync folder"}));
}

TEST(AtomicReplace, output_that_need_not_be_durable_is_renamed_whole_without_syncs)
{
    testsupport::TempDir dir;
    calls.clear();
    {
        ScopedSyscalls scoped({recordWrite, recordFsync, recordRename});
        fotrix::ReplaceOptions options;
        options.durable = false;
        AtomicReplace file;
        ASSERT_EQ(file.open((dir / "out.pam").string(), options), ReplaceStatus::Ok);
        ASSERT_TRUE(file.write("P7\n", 3));
        ASSERT_EQ(file.commit(), ReplaceStatus::Ok);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"write", "rename"}));
    EXPECT_EQ(testsupport::readFile(dir / "out.pam"), (std::vector<uint8_t>{'P', '7', '\n'}));
}

// A child writes the target again and again, each time one byte value
// throughout; killed at a chance moment, it must leave either an old or a
// new file whole.
[[noreturn]] void rewriteForever(const fs::path& target, int ready)
{
    std::string content(300000, 'a');
    for (int round = 0;; ++round) {
        std::fill(content.begin(), content.end(), static_cast<char>('a' + round % 26));
        AtomicReplace file;
        if (file.open(target.string()) != ReplaceStatus::Ok) _exit(3);
        for (size_t at = 0; at < content.size(); at += 8192)
            file.write(content.data() + at, std::min<size_t>(8192, content.size() - at));
        if (file.commit() != ReplaceStatus::Ok) _exit(4);
        if (round == 0 && ::write(ready, "r", 1) != 1) _exit(5);
    }
}

TEST(AtomicReplace, a_writer_killed_at_any_moment_never_tears_the_target)
{
    testsupport::TempDir dir;
    const fs::path target = dir / "picture.bmp";
    testsupport::writeFile(target, std::string(300000, 'z'));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(25);
    int kills = 0, leftBehind = 0;
    for (; kills < 300 && std::chrono::steady_clock::now() < deadline; ++kills) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            rewriteForever(target, ready[1]);
        }
        ::close(ready[1]);
        char byte;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>((kills * 7919) % 3000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own: " << WEXITSTATUS(status);
        const std::string text = readText(target);
        ASSERT_EQ(text.size(), 300000u) << "kill " << kills;
        ASSERT_EQ(text.find_first_not_of(text[0]), std::string::npos) << "kill " << kills;
        leftBehind = static_cast<int>(temporariesIn(dir.path()).size());
    }
    RecordProperty("kills", kills);
    EXPECT_GE(kills, 100);
    // Killed writers leave recognisable temporaries, which a writer that holds
    // a lock over all others (or, after a minute, any writer) removes.
    fotrix::ReplaceOptions underLock;
    underLock.staleAfterSeconds = -1;
    ASSERT_EQ(replaceWith(target, "done", underLock), ReplaceStatus::Ok);
    EXPECT_TRUE(temporariesIn(dir.path()).empty()) << leftBehind << " were left";
}

}  // namespace
