// Archives of other tools read by ours, and ours read by other tools:
// Info-ZIP zip and unzip, Python's zipfile, 7-Zip.
#include <gtest/gtest.h>

#include "archive/zip.h"
#include "tests/archive/zip_builder.h"
#include "tests/support/test_support.h"

using namespace fotrix;
using namespace ziptest;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

const char* Python = "/usr/bin/python3";

// A small tree of files to archive: text, noise, an empty file and a subfolder.
void makeTree(const fs::path& root)
{
    fs::create_directories(root / "sub/deeper");
    fs::create_directories(root / "emptydir");
    testsupport::writeFile(root / "text.txt", textBytes(250000));
    testsupport::writeFile(root / "noise.bin", noiseBytes(120000, 7));
    testsupport::writeFile(root / "empty.dat", Bytes{});
    testsupport::writeFile(root / "sub/deeper/small.txt", std::string("small\n"));
    testsupport::writeFile(root / "sub/photo.jpg", noiseBytes(40000, 9));
}

const char* treeFiles[] = {"text.txt", "noise.bin", "empty.dat", "sub/deeper/small.txt", "sub/photo.jpg"};

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Extracts every member with the archive layer and compares with the tree.
void expectReadsBack(const fs::path& archive, const fs::path& tree, bool withFolders = true)
{
    TempDir out;
    ZipHandle* zip = zipOpen(archive.c_str());
    ASSERT_NE(zip, nullptr) << archive << ": " << zipResultText(ZipLastReadingResult);
    ASSERT_EQ(zipSetBaseDir(zip, out.path().c_str()), ZipOk);
    ZipEntry entry;
    bool sawFolder = false;
    for (int i = 0; i < zipCount(zip); ++i) {
        ASSERT_EQ(zipGetEntry(zip, i, entry), ZipOk);
        sawFolder = sawFolder || entry.isFolder;
        EXPECT_EQ(zipExtract(zip, i, entry.name.c_str()), ZipOk) << archive << " " << entry.name;
    }
    zipCloseReader(zip);
    for (const char* name : treeFiles)
        EXPECT_EQ(testsupport::readFile(out / name), testsupport::readFile(tree / name)) << archive << " " << name;
    if (withFolders) {
        EXPECT_TRUE(sawFolder) << archive;
        EXPECT_TRUE(fs::is_directory(out / "emptydir")) << archive;
    }
}

class ZipInterop : public ::testing::Test {
protected:
    TempDir work;
    fs::path tree = work / "tree";
    void SetUp() override { makeTree(tree); }
    // Runs a command in the tree's folder.
    void inTree(const std::string& command, const char* tool)
    {
        if (!testsupport::haveTool(tool)) SKIP_MISSING(tool << " is not installed");
        std::string log;
        ASSERT_EQ(testsupport::run("cd " + quoted(tree) + " && " + command + " 2>&1", &log), 0) << command << "\n" << log;
    }
};

}  // namespace

TEST_F(ZipInterop, InfoZipDeflatedAndStored)
{
    inTree("zip -q -r ../iz.zip .", "zip");
    expectReadsBack(work / "iz.zip", tree);
    inTree("zip -q -0 -r ../iz0.zip .", "zip");
    expectReadsBack(work / "iz0.zip", tree);
}

TEST_F(ZipInterop, InfoZipDataDescriptors)
{
    inTree("zip -q -fd -r ../izd.zip .", "zip");
    expectReadsBack(work / "izd.zip", tree);
    // Written to a pipe, zip cannot seek back and streams every member.
    inTree("zip -q -r - . | cat > ../izs.zip", "zip");
    expectReadsBack(work / "izs.zip", tree);
    std::string info;
    testsupport::run("zipinfo -v " + quoted(work / "izs.zip") + " 2>&1", &info);
    EXPECT_NE(info.find("extended local header:                          yes"), std::string::npos);
}

TEST_F(ZipInterop, InfoZipWithComment)
{
    inTree("zip -q -r ../izc.zip . && echo 'an album comment with PK in it' | zip -q -z ../izc.zip", "zip");
    expectReadsBack(work / "izc.zip", tree);
}

TEST_F(ZipInterop, InfoZipZip64IsRefused)
{
    inTree("zip -q -fz ../z64.zip text.txt", "zip");
    EXPECT_EQ(zipOpen((work / "z64.zip").c_str()), nullptr);
    EXPECT_EQ(zipLastResult(ZipSide::Reading), ZipZip64);
}

TEST_F(ZipInterop, PythonZipfile)
{
    if (!fs::exists(Python)) SKIP_MISSING("no " << Python);
    const std::string script =
        "import zipfile, os, sys\n"
        "for name, method in (('../py.zip', zipfile.ZIP_DEFLATED), ('../py0.zip', zipfile.ZIP_STORED)):\n"
        "    with zipfile.ZipFile(name, 'w', method) as z:\n"
        "        for root, dirs, files in sorted(os.walk('.')):\n"
        "            for d in sorted(dirs): z.write(os.path.join(root, d)[2:])\n"
        "            for f in sorted(files): z.write(os.path.join(root, f)[2:])\n";
    testsupport::writeFile(work / "make.py", script);
    inTree(std::string(Python) + " ../make.py", Python);
    expectReadsBack(work / "py.zip", tree);
    expectReadsBack(work / "py0.zip", tree);
}

TEST_F(ZipInterop, SevenZip)
{
    inTree("7z a -tzip -bd ../7z.zip . >/dev/null", "7z");
    expectReadsBack(work / "7z.zip", tree);
    inTree("7z a -tzip -mx=0 -bd ../7z0.zip . >/dev/null", "7z");
    expectReadsBack(work / "7z0.zip", tree);
}

TEST_F(ZipInterop, OursPassUnzipTestAndExtractByteExact)
{
    if (!testsupport::haveTool("unzip")) SKIP_MISSING("unzip is not installed");
    const fs::path archive = work / "ours.zip";
    ZipHandle* zip = zipCreate(archive.c_str());
    ASSERT_NE(zip, nullptr);
    for (const char* name : treeFiles) ASSERT_EQ(zipAdd(zip, name, (tree / name).c_str()), ZipOk) << name;
    ASSERT_EQ(zipAdd(zip, "emptydir/", zipSourceFolder((tree / "emptydir").c_str())), ZipOk);
    ASSERT_EQ(zipAdd(zip, "song.zip", (tree / "noise.bin").c_str()), ZipOk);
    ASSERT_EQ(zipAdd(zip, "bilder/\xc3\xa4pfel.txt", zipSourceMemory("utf-8 name", 10)), ZipOk);
    ASSERT_EQ(zipClose(zip), ZipOk);

    std::string log;
    ASSERT_EQ(testsupport::run("unzip -t " + quoted(archive) + " 2>&1", &log), 0) << log;
    EXPECT_NE(log.find("No errors detected"), std::string::npos) << log;
    const fs::path out = work / "unzipped";
    ASSERT_EQ(testsupport::run("unzip -q " + quoted(archive) + " -d " + quoted(out) + " 2>&1", &log), 0) << log;
    for (const char* name : treeFiles)
        EXPECT_EQ(testsupport::readFile(out / name), testsupport::readFile(tree / name)) << name;
    EXPECT_EQ(testsupport::readFile(out / "song.zip"), testsupport::readFile(tree / "noise.bin"));
    EXPECT_EQ(testsupport::readFile(out / "bilder/\xc3\xa4pfel.txt"), bytesOf("utf-8 name"));
    EXPECT_TRUE(fs::is_directory(out / "emptydir"));

    if (fs::exists(Python)) {
        EXPECT_EQ(testsupport::run(std::string(Python) +
                                       " -c \"import zipfile,sys; sys.exit(zipfile.ZipFile(sys.argv[1]).testzip() is not None)\" " +
                                       quoted(archive) + " 2>&1",
                                   &log),
                  0)
            << log;
    }
    if (testsupport::haveTool("7z")) {
        EXPECT_EQ(testsupport::run("7z t " + quoted(archive) + " 2>&1", &log), 0) << log;
        EXPECT_NE(log.find("Everything is Ok"), std::string::npos) << log;
    }
}
