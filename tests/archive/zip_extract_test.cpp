// Extraction into files: the base folder, where targets may go, and what is
// left behind when a member is refused or damaged.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/zip.h"
#include "tests/archive/zip_builder.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using namespace ziptest;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

// Opens an archive built by the tests' own writer, keeping its bytes alive.
struct Opened {
    Bytes bytes;
    ZipHandle* zip = nullptr;
    explicit Opened(const RawArchive& raw) : bytes(buildZip(raw)) { zip = zipOpenMemory(bytes.data(), bytes.size()); }
    ~Opened()
    {
        if (zip) zipCloseReader(zip);
    }
};

RawArchive withNames(std::initializer_list<const char*> names)
{
    RawArchive raw;
    for (const char* name : names) raw.members.push_back({name, bytesOf(std::string("content of ") + name)});
    return raw;
}

size_t filesBelow(const fs::path& folder)
{
    size_t count = 0;
    for ([[maybe_unused]] auto& e : fs::recursive_directory_iterator(folder)) ++count;
    return count;
}

}  // namespace

TEST(ZipExtract, RelativeTargetsGoBelowTheBaseFolderWithFoldersMade)
{
    TempDir dir;
    RawArchive raw = withNames({"a.txt", "deep/er/b.txt", "empty/"});
    raw.members[2].data.clear();
    Opened archive(raw);
    ASSERT_NE(archive.zip, nullptr);
    ASSERT_EQ(zipSetBaseDir(archive.zip, (dir / "out").c_str()), ZipOk);
    fs::create_directory(dir / "out");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(zipExtract(archive.zip, i, nullptr), ZipOk) << i;
    EXPECT_EQ(testsupport::readFile(dir / "out/a.txt"), bytesOf("content of a.txt"));
    EXPECT_EQ(testsupport::readFile(dir / "out/deep/er/b.txt"), bytesOf("content of deep/er/b.txt"));
    EXPECT_TRUE(fs::is_directory(dir / "out/empty"));
    // An explicit relative target, and an absolute one inside the base folder.
    EXPECT_EQ(zipExtract(archive.zip, 0, "renamed/c.txt"), ZipOk);
    EXPECT_TRUE(fs::exists(dir / "out/renamed/c.txt"));
    EXPECT_EQ(zipExtract(archive.zip, 0, (dir / "out/abs.txt").c_str()), ZipOk);
    EXPECT_TRUE(fs::exists(dir / "out/abs.txt"));
    // The DOS time of the member becomes the file's time.
    struct stat st {};
    ASSERT_EQ(stat((dir / "out/a.txt").c_str(), &st), 0);
    std::tm t{};
    localtime_r(&st.st_mtime, &t);
    EXPECT_EQ(t.tm_year + 1900, 2025);
}

TEST(ZipExtract, ExistingFileIsReplacedWhole)
{
    TempDir dir;
    Opened archive(withNames({"a.txt"}));
    zipSetBaseDir(archive.zip, dir.path().c_str());
    testsupport::writeFile(dir / "a.txt", std::string(10000, 'z'));
    ASSERT_EQ(zipExtract(archive.zip, 0, "a.txt"), ZipOk);
    EXPECT_EQ(testsupport::readFile(dir / "a.txt"), bytesOf("content of a.txt"));
    EXPECT_EQ(filesBelow(dir.path()), 1u);
}

TEST(ZipExtract, NamesThatLeaveTheBaseFolderAreRefused)
{
    TempDir dir;
    const fs::path base = dir / "base";
    fs::create_directory(base);
    Opened archive(withNames({"../escape.txt", "ok/../../escape2.txt", "/tmp/fotrix-abs-escape.txt", "C:\\evil.txt",
                              "c:evil.txt", "..\\evil.txt", "sub\\..\\..\\evil.txt", "..", "./x"}));
    ASSERT_NE(archive.zip, nullptr);
    ASSERT_EQ(zipSetBaseDir(archive.zip, base.c_str()), ZipOk);
    for (int i = 0; i < zipCount(archive.zip); ++i) {
        ZipEntry entry;
        ASSERT_EQ(zipGetEntry(archive.zip, i, entry), ZipOk);
        EXPECT_EQ(zipExtract(archive.zip, i, nullptr), ZipUnsafeName) << entry.name;
        EXPECT_EQ(zipExtract(archive.zip, i, entry.name.c_str()), ZipUnsafeName) << entry.name;
        EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipUnsafeName);
    }
    // Absolute targets outside the base folder, or climbing out of it.
    EXPECT_EQ(zipExtract(archive.zip, 0, (dir / "outside.txt").c_str()), ZipUnsafeName);
    EXPECT_EQ(zipExtract(archive.zip, 0, (base / "../outside.txt").c_str()), ZipUnsafeName);
    EXPECT_EQ(zipExtract(archive.zip, 0, (dir / "base2/x.txt").c_str()), ZipUnsafeName) << "a prefix is not a parent";
    EXPECT_EQ(filesBelow(dir.path()), 1u) << "nothing but the base folder";
    EXPECT_FALSE(fs::exists("/tmp/fotrix-abs-escape.txt"));
}

TEST(ZipExtract, SymbolicLinksInsideTheBaseFolderAreNotFollowed)
{
    TempDir dir;
    fs::create_directories(dir / "base");
    fs::create_directories(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "base/link");
    Opened archive(withNames({"link/planted.txt", "link"}));
    zipSetBaseDir(archive.zip, (dir / "base").c_str());
    EXPECT_EQ(zipExtract(archive.zip, 0, nullptr), ZipUnsafeName);
    EXPECT_FALSE(fs::exists(dir / "elsewhere/planted.txt"));
    // A file member over a link replaces the link itself, never its target.
    EXPECT_EQ(zipExtract(archive.zip, 1, nullptr), ZipOk);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "base/link")));
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

TEST(ZipExtract, WithoutBaseFolderAbsoluteTargetsAreTheCallers)
{
    TempDir dir;
    Opened archive(withNames({"a.txt"}));
    EXPECT_EQ(zipExtract(archive.zip, 0, (dir / "made/for/me.txt").c_str()), ZipOk);
    EXPECT_EQ(testsupport::readFile(dir / "made/for/me.txt"), bytesOf("content of a.txt"));
}

TEST(ZipExtract, BadCrcIsReportedAndLeavesNoFile)
{
    TempDir dir;
    RawArchive raw;
    raw.members.push_back({"damaged.txt", textBytes(100000)});
    raw.members[0].crc = 0x12345678;
    raw.members.push_back({"stored.txt", textBytes(1000), 0});
    raw.members[1].crc = 1;
    Opened archive(raw);
    zipSetBaseDir(archive.zip, dir.path().c_str());
    EXPECT_EQ(zipExtract(archive.zip, 0, nullptr), ZipBadCrc);
    EXPECT_EQ(zipExtract(archive.zip, 1, nullptr), ZipBadCrc);
    EXPECT_EQ(filesBelow(dir.path()), 0u) << "partly written targets are removed";

    // A damaged member does not destroy the file it would have replaced.
    testsupport::writeFile(dir / "damaged.txt", std::string("keep me"));
    EXPECT_EQ(zipExtract(archive.zip, 0, nullptr), ZipBadCrc);
    EXPECT_EQ(testsupport::readFile(dir / "damaged.txt"), bytesOf("keep me"));
    EXPECT_EQ(filesBelow(dir.path()), 1u);
}

TEST(ZipExtract, FolderTargetForAFileMemberIsRefused)
{
    TempDir dir;
    Opened archive(withNames({"a.txt"}));
    zipSetBaseDir(archive.zip, dir.path().c_str());
    EXPECT_EQ(zipExtract(archive.zip, 0, "folder/"), ZipBadArguments);
    fs::create_directory(dir / "taken");
    EXPECT_EQ(zipExtract(archive.zip, 0, "taken"), ZipCannotOpen) << "a folder is in the way";
    EXPECT_EQ(filesBelow(dir.path()), 1u);
}

TEST(ZipExtract, ToHandleWritesTheData)
{
    TempDir dir;
    Opened archive(withNames({"a.txt"}));
    const int fd = open((dir / "h").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(zipExtractToHandle(archive.zip, 0, fd), ZipOk);
    close(fd);
    EXPECT_EQ(testsupport::readFile(dir / "h"), bytesOf("content of a.txt"));
    EXPECT_EQ(zipExtractToHandle(archive.zip, 0, -1), ZipBadArguments);
}

// A small archive that inflates hugely is refused by the caller's limits
// before anything is written, in files and in memory alike.
TEST(ZipExtract, CallerLimitsRefuseMembersThatInflateTooFar)
{
    TempDir dir;
    RawArchive raw;
    raw.members.push_back({"zeros.bin", Bytes(4 << 20, 0)});   // about 4 KiB deflated: ratio ~1000
    raw.members.push_back({"text.txt", textBytes(200000)});
    raw.members.push_back({"small.txt", bytesOf("small")});
    Opened archive(raw);
    ASSERT_NE(archive.zip, nullptr);
    ASSERT_EQ(zipSetBaseDir(archive.zip, dir.path().c_str()), ZipOk);
    ZipExtractLimits limits;
    limits.maxRatio = 100;
    ASSERT_EQ(zipSetExtractLimits(archive.zip, limits), ZipOk);
    EXPECT_EQ(zipExtract(archive.zip, 0, nullptr), ZipOverLimit);
    EXPECT_EQ(zipResultText(ZipOverLimit), "Member would inflate beyond the extraction limit");
    std::vector<uint8_t> buffer(4 << 20);
    EXPECT_EQ(zipExtractToMemory(archive.zip, 0, buffer), ZipOverLimit);
    EXPECT_EQ(zipExtract(archive.zip, 2, nullptr), ZipOk);
    EXPECT_EQ(filesBelow(dir.path()), 1u);  // nothing of the refused member, not even a temporary

    limits = {};
    limits.maxMemberSize = 100000;
    ASSERT_EQ(zipSetExtractLimits(archive.zip, limits), ZipOk);
    EXPECT_EQ(zipExtract(archive.zip, 1, nullptr), ZipOverLimit);
    // The total counts every member extracted from the handle (5 bytes so far).
    limits = {};
    limits.maxTotalSize = 5 + 200000 + 5 + 4;
    ASSERT_EQ(zipSetExtractLimits(archive.zip, limits), ZipOk);
    EXPECT_EQ(zipExtract(archive.zip, 1, nullptr), ZipOk);
    EXPECT_EQ(zipExtract(archive.zip, 2, "again.txt"), ZipOk);  // 200010 so far
    EXPECT_EQ(zipExtract(archive.zip, 2, "third.txt"), ZipOverLimit);
    EXPECT_FALSE(fs::exists(dir / "third.txt"));
    EXPECT_EQ(zipExtract(archive.zip, 0, nullptr), ZipOverLimit);
    // Without limits, as before, the member is written whole.
    ASSERT_EQ(zipSetExtractLimits(archive.zip, ZipExtractLimits{}), ZipOk);
    EXPECT_EQ(zipExtract(archive.zip, 0, nullptr), ZipOk);
    EXPECT_EQ(fs::file_size(dir / "zeros.bin"), 4u << 20);
}

TEST(ZipExtract, ReadOnlyTargetsAreRefusedAndKept)
{
    TempDir dir;
    Opened archive(withNames({"a.txt"}));
    ASSERT_NE(archive.zip, nullptr);
    ASSERT_EQ(zipSetBaseDir(archive.zip, dir.path().c_str()), ZipOk);
    testsupport::writeFile(dir / "a.txt", std::string("mine"));
    ::chmod((dir / "a.txt").c_str(), 0444);
    EXPECT_EQ(zipExtract(archive.zip, 0, nullptr), ZipReadOnly);
    EXPECT_EQ(testsupport::readFile(dir / "a.txt"), bytesOf("mine"));
    EXPECT_EQ(filesBelow(dir.path()), 1u);
    // And an archive made over a read-only file.
    EXPECT_EQ(zipCreate((dir / "a.txt").c_str()), nullptr);
    EXPECT_EQ(zipLastResult(ZipSide::Creating), ZipReadOnly);
    EXPECT_EQ(filesBelow(dir.path()), 1u);
}
