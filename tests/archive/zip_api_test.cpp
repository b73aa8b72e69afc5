// The archive layer's own round trips and the behaviour of its interface:
// handle kinds, last results, texts, methods, sources and failures on the
// creating side.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "archive/zip.h"
#include "tests/archive/zip_builder.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using namespace ziptest;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

Bytes extractToMemory(ZipHandle* zip, const char* name)
{
    int index = -1;
    ZipEntry entry;
    if (zipFind(zip, name, false, index, entry) != ZipOk) return {};
    Bytes out(entry.size);
    EXPECT_EQ(zipExtractToMemory(zip, index, out), ZipOk) << name;
    return out;
}

ZipEntry entryNamed(ZipHandle* zip, const char* name)
{
    int index = -1;
    ZipEntry entry;
    EXPECT_EQ(zipFind(zip, name, false, index, entry), ZipOk) << name;
    return entry;
}

}  // namespace

TEST(ZipApi, RoundTripOfEverySourceKind)
{
    TempDir dir;
    const Bytes text = textBytes(300000), noise = noiseBytes(70000);
    testsupport::writeFile(dir / "text.txt", text);
    testsupport::writeFile(dir / "noise.bin", noise);
    const fs::path archive = dir / "all.zip";

    ZipHandle* zip = zipCreate(archive.c_str());
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zipAdd(zip, "text.txt", (dir / "text.txt").c_str()), ZipOk);
    EXPECT_EQ(zipAdd(zip, "photos", zipSourceFolder()), ZipOk);  // gets its "/"
    EXPECT_EQ(zipAdd(zip, "photos/memory.txt", zipSourceMemory(text.data(), 1000)), ZipOk);
    EXPECT_EQ(zipAdd(zip, "empty", zipSourceMemory(nullptr, 0)), ZipOk);
    const int fd = open((dir / "noise.bin").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(lseek(fd, 100, SEEK_SET), 100);  // a handle is read from where it stands
    EXPECT_EQ(zipAdd(zip, "noise.part", zipSourceHandle(fd)), ZipOk);
    EXPECT_NE(fcntl(fd, F_GETFD), -1) << "the caller's handle stays open";
    close(fd);
    EXPECT_EQ(zipClose(zip), ZipOk);

    zip = zipOpen(archive.c_str());
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zipCount(zip), 5);
    EXPECT_EQ(extractToMemory(zip, "text.txt"), text);
    EXPECT_EQ(extractToMemory(zip, "photos/memory.txt"), Bytes(text.begin(), text.begin() + 1000));
    EXPECT_EQ(extractToMemory(zip, "noise.part"), Bytes(noise.begin() + 100, noise.end()));
    EXPECT_TRUE(entryNamed(zip, "empty").size == 0);
    const ZipEntry folder = entryNamed(zip, "photos/");
    EXPECT_TRUE(folder.isFolder);
    EXPECT_EQ(folder.method, 0);
    const ZipEntry deflated = entryNamed(zip, "text.txt");
    EXPECT_EQ(deflated.method, 8);
    EXPECT_LT(deflated.compressedSize, deflated.size / 4);
    EXPECT_EQ(zipCloseReader(zip), ZipOk);
}

TEST(ZipApi, AlreadyCompressedNamesAreStoredOthersDeflated)
{
    TempDir dir;
    testsupport::writeFile(dir / "data", textBytes(5000));
    const fs::path archive = dir / "methods.zip";
    ZipHandle* zip = zipCreate(archive.c_str());
    ASSERT_NE(zip, nullptr);
    const char* stored[] = {"song.zip", "a.Z", "b.ZOO", "c.arc", "d.LZH", "e.arj", "f.gz", "g.TGZ"};
    for (const char* name : stored) EXPECT_EQ(zipAdd(zip, name, (dir / "data").c_str()), ZipOk);
    const char* deflated[] = {"0001", "a.z.txt", "zip", "song.zipx", "x.jpg"};
    for (const char* name : deflated) EXPECT_EQ(zipAdd(zip, name, (dir / "data").c_str()), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);

    zip = zipOpen(archive.c_str());
    ASSERT_NE(zip, nullptr);
    for (const char* name : stored) EXPECT_EQ(entryNamed(zip, name).method, 0) << name;
    for (const char* name : deflated) EXPECT_EQ(entryNamed(zip, name).method, 8) << name;
    zipCloseReader(zip);
}

TEST(ZipApi, TinyMemberNamed0001IsDeflatedEvenWhenThatGrowsIt)
{
    TempDir dir;
    const Bytes one = bytesOf("1");
    ZipHandle* zip = zipCreate((dir / "t.zip").c_str());
    ASSERT_EQ(zipAdd(zip, "0001", zipSourceMemory(one.data(), one.size())), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);
    zip = zipOpen((dir / "t.zip").c_str());
    EXPECT_EQ(entryNamed(zip, "0001").method, 8);
    EXPECT_EQ(extractToMemory(zip, "0001"), one);
    zipCloseReader(zip);
}

TEST(ZipApi, HandleKindsAreChecked)
{
    TempDir dir;
    EXPECT_EQ(zipAdd(nullptr, "x", "y"), ZipBadArguments);
    EXPECT_EQ(zipClose(nullptr), ZipBadArguments);
    EXPECT_EQ(zipCloseReader(nullptr), ZipBadArguments);
    EXPECT_TRUE(zipIsReading(nullptr));

    ZipHandle* writer = zipCreate((dir / "k.zip").c_str());
    ASSERT_NE(writer, nullptr);
    EXPECT_FALSE(zipIsReading(writer));
    int index;
    ZipEntry entry;
    EXPECT_EQ(zipFind(writer, "x", false, index, entry), ZipWrongKind);
    EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipWrongKind);
    EXPECT_EQ(zipCloseReader(writer), ZipWrongKind);
    EXPECT_EQ(zipAdd(writer, "config", zipSourceMemory("#Fotrix Album\n", 14)), ZipOk) << "still open";
    ASSERT_EQ(zipClose(writer), ZipOk);

    ZipHandle* reader = zipOpen((dir / "k.zip").c_str());
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(zipIsReading(reader));
    EXPECT_EQ(zipClose(reader), ZipWrongKind);
    EXPECT_EQ(zipLastResult(ZipSide::Creating), ZipWrongKind);
    EXPECT_EQ(zipAdd(reader, "x", zipSourceFolder()), ZipWrongKind);
    EXPECT_EQ(zipFind(reader, "config", false, index, entry), ZipOk) << "left open by the wrong close";
    EXPECT_EQ(zipCloseReader(reader), ZipOk);
}

TEST(ZipApi, FindMissingMemberLeavesHandleUsable)
{
    TempDir dir;
    ZipHandle* zip = zipCreate((dir / "f.zip").c_str());
    ASSERT_EQ(zipAdd(zip, "Pictures/One.JPG", zipSourceMemory("abc", 3)), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);

    zip = zipOpen((dir / "f.zip").c_str());
    int index = 7;
    ZipEntry entry;
    EXPECT_EQ(zipFind(zip, "config", false, index, entry), ZipNotFound);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipNotFound);
    EXPECT_EQ(zipFind(zip, "pictures/one.jpg", false, index, entry), ZipNotFound);
    EXPECT_EQ(zipFind(zip, "pictures/one.jpg", true, index, entry), ZipOk);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(entry.name, "Pictures/One.JPG");
    EXPECT_EQ(entry.size, 3u);
    EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipOk);
    zipCloseReader(zip);
}

TEST(ZipApi, ResultTextsAndLastResults)
{
    EXPECT_EQ(zipResultText(ZipOk), "Success");
    EXPECT_EQ(zipResultText(0x100), "Culdn't duplicate handle");
    EXPECT_EQ(zipResultText(0x500), "File not found in the zipfile");
    EXPECT_EQ(zipResultText(0x700), "Zipfile is corrupt or not a zipfile");
    EXPECT_EQ(zipResultText(0x1000), "Correct password required");
    EXPECT_EQ(zipResultText(0x80000), "Caller: mixing creation and opening of zip");
    EXPECT_EQ(zipResultText(0x5000000), "Zip-bug: an internal error during flation");
    EXPECT_EQ(zipResultText(0x12345), "unknown zip result code");

    // Cut to fit, NUL-terminated, full length returned.
    char small[8] = "xxxxxxx";
    EXPECT_EQ(zipResultText(0x300, small, sizeof small), std::string("Failed to allocate memory").size());
    EXPECT_STREQ(small, "Failed ");
    EXPECT_EQ(zipResultText(0x300, nullptr, 0), 25u);

    // Code 1 reports the reading side's last result; the sides are separate.
    EXPECT_EQ(zipOpen("/nonexistent/folder/a.zip"), nullptr);
    EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipCannotOpen);
    EXPECT_EQ(zipCreate(""), nullptr);
    EXPECT_EQ(zipLastResult(ZipSide::Creating), ZipBadArguments);
    EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipCannotOpen);
    EXPECT_EQ(zipResultText(ZipLastReadingResult), "Couldn't create/open file");
}

TEST(ZipApi, PasswordsAreRefused)
{
    TempDir dir;
    EXPECT_EQ(zipCreate((dir / "p.zip").c_str(), "secret"), nullptr);
    EXPECT_EQ(zipLastResult(ZipSide::Creating), ZipPassword);
    EXPECT_FALSE(fs::exists(dir / "p.zip"));
    ZipHandle* zip = zipCreate((dir / "p.zip").c_str(), "");  // an empty password is none
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(zipClose(zip), ZipOk);
    EXPECT_EQ(zipOpen((dir / "p.zip").c_str(), "secret"), nullptr);
    EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipPassword);
}

TEST(ZipApi, UnsafeMemberNamesAreRefusedWhenAdding)
{
    TempDir dir;
    ZipHandle* zip = zipCreate((dir / "n.zip").c_str());
    ASSERT_NE(zip, nullptr);
    for (const char* name : {"", "/etc/passwd", "../up", "a/../../b", "C:\\x", "c:x", "a\\..\\b", "./x"})
        EXPECT_EQ(zipAdd(zip, name, zipSourceMemory("x", 1)), ZipBadArguments) << name;
    EXPECT_EQ(zipAdd(zip, nullptr, zipSourceMemory("x", 1)), ZipBadArguments);
    EXPECT_EQ(zipAdd(zip, "a..b/c..", zipSourceMemory("x", 1)), ZipOk) << "dots inside names are fine";
    ASSERT_EQ(zipClose(zip), ZipOk);
    zip = zipOpen((dir / "n.zip").c_str());
    EXPECT_EQ(zipCount(zip), 1);
    zipCloseReader(zip);
}

TEST(ZipApi, FailedAddLeavesArchiveConsistent)
{
    TempDir dir;
    const fs::path archive = dir / "r.zip";
    ZipHandle* zip = zipCreate(archive.c_str());
    ASSERT_EQ(zipAdd(zip, "one", zipSourceMemory("first", 5)), ZipOk);
    EXPECT_EQ(zipAdd(zip, "missing", (dir / "no-such-file").c_str()), ZipCannotOpen);
    // A descriptor that cannot be read fails halfway; the member is cut out again.
    const int fd = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_EQ(zipAdd(zip, "unreadable", zipSourceHandle(fd)), ZipReadError);
    close(fd);
    EXPECT_EQ(zipAdd(zip, "two", zipSourceMemory("second", 6)), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);

    zip = zipOpen(archive.c_str());
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zipCount(zip), 2);
    EXPECT_EQ(extractToMemory(zip, "two"), bytesOf("second"));
    zipCloseReader(zip);
}

TEST(ZipApi, ArchiveIsNotAddedToItself)
{
    TempDir dir;
    const fs::path archive = dir / "self.zip";
    ZipHandle* zip = zipCreate(archive.c_str());
    ASSERT_NE(zip, nullptr);
    for (auto& file : fs::directory_iterator(dir.path()))  // only the temporary file being written
        EXPECT_EQ(zipAdd(zip, "self", file.path().c_str()), ZipBadArguments);
    ASSERT_EQ(zipClose(zip), ZipOk);
}

TEST(ZipApi, ArchiveAppearsOnlyWhenClosed)
{
    TempDir dir;
    const fs::path archive = dir / "album.zip";
    testsupport::writeFile(archive, std::string("old contents"));
    ZipHandle* zip = zipCreate(archive.c_str());
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(zipAdd(zip, "config", zipSourceMemory("x", 1)), ZipOk);
    EXPECT_EQ(testsupport::readFile(archive), bytesOf("old contents")) << "replaced only by zipClose";
    ASSERT_EQ(zipClose(zip), ZipOk);
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1) << "no temporary file left behind";
    zip = zipOpen(archive.c_str());
    EXPECT_NE(zip, nullptr);
    zipCloseReader(zip);

    EXPECT_EQ(zipCreate(dir.path().c_str()), nullptr) << "a folder is no archive";
    EXPECT_EQ(zipLastResult(ZipSide::Creating), ZipCannotOpen);
}

TEST(ZipApi, UnseekableOutputUsesDataDescriptors)
{
    TempDir dir;
    testsupport::writeFile(dir / "big.txt", textBytes(200000));
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    Bytes archive;
    // Drain the pipe on a thread of its own while the archive is written into it.
    std::thread drain([&] {
        uint8_t buffer[65536];
        ssize_t n;
        while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) archive.insert(archive.end(), buffer, buffer + n);
    });
    ZipHandle* zip = zipCreateOnHandle(pipeFds[1]);
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zipAdd(zip, "big.txt", (dir / "big.txt").c_str()), ZipOk);
    EXPECT_EQ(zipAdd(zip, "mem.txt", zipSourceMemory("memory", 6)), ZipOk);
    EXPECT_EQ(zipAdd(zip, "folder/", zipSourceFolder()), ZipOk);
    EXPECT_EQ(zipClose(zip), ZipOk);
    close(pipeFds[1]);
    drain.join();

    // General purpose flag bit 3 on the streamed member only.
    ASSERT_GT(archive.size(), 30u);
    EXPECT_EQ(archive[6] & 8, 8) << "big.txt streamed with a data descriptor";
    ZipHandle* reader = zipOpenMemory(archive.data(), archive.size());
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(extractToMemory(reader, "big.txt"), textBytes(200000));
    EXPECT_EQ(extractToMemory(reader, "mem.txt"), bytesOf("memory"));
    zipCloseReader(reader);

    const fs::path saved = dir / "piped.zip";
    testsupport::writeFile(saved, archive);
    if (testsupport::haveTool("unzip")) {
        std::string log;
        EXPECT_EQ(testsupport::run("unzip -t '" + saved.string() + "' 2>&1", &log), 0) << log;
        EXPECT_NE(log.find("No errors detected"), std::string::npos) << log;
    }
}

TEST(ZipApi, ExtractToMemoryChecksBufferSize)
{
    const Bytes data = textBytes(4000);
    RawArchive raw;
    raw.members.push_back({"m", data});
    const Bytes archive = buildZip(raw);
    ZipHandle* zip = zipOpenMemory(archive.data(), archive.size());
    ASSERT_NE(zip, nullptr);
    Bytes small(3999);
    EXPECT_EQ(zipExtractToMemory(zip, 0, small), ZipMore);
    Bytes exact(4000);
    EXPECT_EQ(zipExtractToMemory(zip, 0, exact), ZipOk);
    EXPECT_EQ(exact, data);
    EXPECT_EQ(zipExtractToMemory(zip, 1, exact), ZipBadArguments);
    EXPECT_EQ(zipExtractToMemory(zip, -1, exact), ZipBadArguments);
    zipCloseReader(zip);
}

TEST(ZipApi, LocalHeadersArePatchedAcrossOutputBufferBoundaries)
{
    // Stored members make every offset predictable: the second local header
    // starts 20 bytes before the first 1 MiB of output, so the CRC and sizes
    // patched into it straddle the point where the output is flushed.
    TempDir dir;
    const size_t firstSize = (1u << 20) - (30 + 4) - 20;
    testsupport::writeFile(dir / "a.gz", noiseBytes(firstSize, 5));
    testsupport::writeFile(dir / "b.gz", noiseBytes(3000, 6));
    testsupport::writeFile(dir / "c.txt", noiseBytes(3u << 20, 8));  // deflated, spans several flushes
    const fs::path archive = dir / "p.zip";
    ZipHandle* zip = zipCreate(archive.c_str());
    for (const char* name : {"a.gz", "b.gz", "c.txt"}) ASSERT_EQ(zipAdd(zip, name, (dir / name).c_str()), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);

    // Each local header carries the CRC-32 and sizes that the directory has.
    const Bytes bytes = testsupport::readFile(archive);
    zip = zipOpen(archive.c_str());
    ASSERT_NE(zip, nullptr);
    uint64_t offset = 0;
    for (int i = 0; i < 3; ++i) {
        ZipEntry entry;
        ASSERT_EQ(zipGetEntry(zip, i, entry), ZipOk);
        ASSERT_LT(offset + 30, bytes.size());
        const uint8_t* local = bytes.data() + offset;
        auto get32 = [](const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; };
        EXPECT_EQ(get32(local), 0x04034b50u) << entry.name;
        EXPECT_EQ(get32(local + 14), entry.crc) << entry.name;
        EXPECT_EQ(get32(local + 18), entry.compressedSize) << entry.name;
        EXPECT_EQ(get32(local + 22), entry.size) << entry.name;
        EXPECT_EQ(extractToMemory(zip, entry.name.c_str()), testsupport::readFile(dir / entry.name)) << entry.name;
        offset += 30 + entry.name.size() + entry.compressedSize;
    }
    zipCloseReader(zip);
}
