// Damaged and hostile archives: each is refused with its own code when opened
// or extracted, never misread.
#include <gtest/gtest.h>

#include "archive/zip.h"
#include "tests/archive/zip_builder.h"

using namespace fotrix;
using namespace ziptest;

namespace {

// The result of opening `bytes` (ZipOk when it opened).
uint32_t openResult(const Bytes& bytes)
{
    ZipHandle* zip = zipOpenMemory(bytes.data(), bytes.size());
    if (!zip) return zipLastResult(ZipSide::Reading);
    zipCloseReader(zip);
    return ZipOk;
}

// The result of extracting member 0 of `bytes` into memory.
uint32_t extractResult(const Bytes& bytes)
{
    ZipHandle* zip = zipOpenMemory(bytes.data(), bytes.size());
    if (!zip) return zipLastResult(ZipSide::Reading);
    ZipEntry entry;
    zipGetEntry(zip, 0, entry);
    Bytes out(entry.size);
    const uint32_t code = zipExtractToMemory(zip, 0, out);
    zipCloseReader(zip);
    return code;
}

RawArchive single(RawMember member)
{
    RawArchive raw;
    raw.members.push_back(std::move(member));
    return raw;
}

RawMember text(const char* name = "a.txt", size_t size = 5000) { return {name, textBytes(size)}; }

}  // namespace

TEST(ZipMalformed, NotZipFiles)
{
    EXPECT_EQ(openResult({}), ZipCorrupt);
    EXPECT_EQ(openResult(bytesOf("PK\x05\x06")), ZipCorrupt);
    EXPECT_EQ(openResult(noiseBytes(100000)), ZipCorrupt);
    EXPECT_EQ(openResult(bytesOf(std::string(5000, 'P'))), ZipCorrupt);
    // An empty archive is just an end record.
    EXPECT_EQ(openResult(buildZip({})), ZipOk);
}

TEST(ZipMalformed, TruncatedCentralDirectory)
{
    const Bytes whole = buildZip(single(text()));
    for (size_t cut : {size_t{1}, size_t{10}, size_t{22}, size_t{40}, size_t{60}}) {
        Bytes truncated(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(openResult(truncated), ZipCorrupt) << "cut " << cut;
    }
    // The end record claims a directory larger than the bytes before it.
    RawArchive raw = single(text());
    raw.centralSize = 1 << 30;
    EXPECT_EQ(openResult(buildZip(raw)), ZipCorrupt);
    // More entries than the directory can hold (checked before anything is allocated).
    raw = single(text());
    raw.entries = 60000;
    EXPECT_EQ(openResult(buildZip(raw)), ZipCorrupt);
    // Fewer directory bytes than the records need.
    raw = single(text());
    raw.centralSize = 40;
    EXPECT_EQ(openResult(buildZip(raw)), ZipCorrupt);
}

TEST(ZipMalformed, SizesAndOffsetsPastTheData)
{
    RawMember m = text();
    m.compressedSize = 0x7FFFFFFF;
    EXPECT_EQ(openResult(buildZip(single(m))), ZipCorrupt);
    m = text();
    m.offset = 0x10000000;
    EXPECT_EQ(openResult(buildZip(single(m))), ZipCorrupt);
    // A local header that would overlap the directory.
    RawArchive raw = single(text());
    raw.members.push_back(text("b.txt"));
    const size_t directorySize = 2 * (46 + 5);
    raw.members[1].offset = static_cast<int64_t>(buildZip(raw).size() - 22 - directorySize) - 10;
    EXPECT_EQ(openResult(buildZip(raw)), ZipCorrupt);
}

TEST(ZipMalformed, DamagedLocalHeaderIsReportedOnExtraction)
{
    Bytes bytes = buildZip(single(text()));
    bytes[0] = 'X';  // local signature
    EXPECT_EQ(openResult(bytes), ZipOk) << "the directory itself is fine";
    EXPECT_EQ(extractResult(bytes), ZipCorrupt);

    RawMember m = text();
    m.localName = "b.txt";  // local and central names disagree
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipCorrupt);

    bytes = buildZip(single(text()));
    bytes[28] = bytes[29] = 0xFF;  // a huge local extra field pushes the data into the directory
    EXPECT_EQ(extractResult(bytes), ZipCorrupt);
}

TEST(ZipMalformed, DataThatDisagreesWithTheDirectory)
{
    RawMember m = text();
    m.crc = 0;
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipBadCrc);
    // Inflates to more than the directory says: stopped, not written past the buffer.
    m = {"bomb", Bytes(1 << 20, 'A')};
    m.size = 100;
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipBadCrc);
    // Inflates to less.
    m = text();
    m.size = 6000;
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipBadCrc);
    // The deflate stream is cut short by its compressed size.
    m = text();
    m.compressedSize = static_cast<int64_t>(deflateRaw(m.data).size()) - 5;
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipCorrupt);
    // Garbage where deflate data should be.
    m = {"g", noiseBytes(3000), 0};
    Bytes bytes = buildZip(single(m));
    bytes[8] = 8;  // local method: deflated
    EXPECT_EQ(extractResult(bytes), ZipCorrupt) << "local and central methods disagree";
    // Stored members whose two sizes disagree.
    m = {"s", textBytes(100), 0};
    m.size = 50;
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipCorrupt);
}

TEST(ZipMalformed, Zip64IsRefused)
{
    RawArchive raw = single(text());
    raw.zip64Locator = true;
    EXPECT_EQ(openResult(buildZip(raw)), ZipZip64);
    raw = single(text());
    raw.entries = 0xFFFF;
    EXPECT_EQ(openResult(buildZip(raw)), ZipZip64);
    raw = single(text());
    raw.centralOffset = 0xFFFFFFFF;
    EXPECT_EQ(openResult(buildZip(raw)), ZipZip64);
    RawMember m = text();
    m.size = 0xFFFFFFFF;
    EXPECT_EQ(openResult(buildZip(single(m))), ZipZip64);
    m = text();
    m.offset = 0xFFFFFFFF;
    EXPECT_EQ(openResult(buildZip(single(m))), ZipZip64);
    m = text();
    m.centralExtra = {0x01, 0x00, 0x08, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(openResult(buildZip(single(m))), ZipZip64);
    // Other extra fields are fine.
    m = text();
    m.centralExtra = {0x55, 0x54, 0x05, 0x00, 1, 0, 0, 0, 0};
    EXPECT_EQ(openResult(buildZip(single(m))), ZipOk);
}

TEST(ZipMalformed, EncryptedAndUnknownMethodsAreRefusedPerMember)
{
    RawMember m = text();
    m.flags = 1;
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipPassword);
    m = {"b.bz2", textBytes(100), 12};  // bzip2
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipUnsupportedMethod);
    RawArchive raw = single(m);
    raw.members.push_back(text("fine.txt"));
    ZipHandle* zip = nullptr;
    const Bytes bytes = buildZip(raw);
    zip = zipOpenMemory(bytes.data(), bytes.size());
    ASSERT_NE(zip, nullptr);
    ZipEntry entry;
    int index;
    ASSERT_EQ(zipFind(zip, "fine.txt", false, index, entry), ZipOk);
    Bytes out(entry.size);
    EXPECT_EQ(zipExtractToMemory(zip, index, out), ZipOk) << "other members stay readable";
    zipCloseReader(zip);
}

TEST(ZipMalformed, TrickyButValidLayouts)
{
    // A comment that holds an end-record signature of its own.
    RawArchive raw = single(text());
    raw.comment = std::string("PK\x05\x06", 4) + std::string(30, 'c');
    EXPECT_EQ(extractResult(buildZip(raw)), ZipOk);
    // Bytes in front (a self-extracting stub) shift every offset.
    raw = single(text());
    raw.prefix = noiseBytes(777);
    EXPECT_EQ(extractResult(buildZip(raw)), ZipOk);
    // Data descriptors, with and without their signature-carrying sizes in the local header.
    RawMember m = text();
    m.descriptor = true;
    EXPECT_EQ(extractResult(buildZip(single(m))), ZipOk);
    // An empty member marked deflated but with no deflate stream at all.
    m = {"empty", {}, 8};
    m.compressedSize = 0;
    Bytes empty = buildZip(single(m));
    EXPECT_EQ(extractResult(empty), ZipOk);
    // Junk appended after the end record.
    Bytes bytes = buildZip(single(text()));
    const Bytes junk = noiseBytes(100);
    bytes.insert(bytes.end(), junk.begin(), junk.end());
    EXPECT_EQ(extractResult(bytes), ZipOk);
}
