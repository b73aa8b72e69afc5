// IPTC: reading what exiftool wrote, writing what exiftool reads, where the
// new segment goes, and blocks that lie about their lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>
#include <sys/stat.h>

#include "metadata/iptc.h"
#include "metadata/jpeg_segments.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// exiftool's IPTC datasets (record 2) by number, lists joined with ",".
std::map<int, std::string> exiftoolIptc(const fs::path& file)
{
    std::string output;
    testsupport::run("exiftool -n -H -s -IPTC:all -sep , '" + file.string() + "' 2>/dev/null", &output);
    std::map<int, std::string> values;
    std::regex line(R"(^\s*0x([0-9a-f]+) \S+\s*: (.*)$)");
    std::istringstream in(output);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_match(text, m, line)) values[std::stoi(m[1], nullptr, 16)] = m[2];
    }
    values.erase(0);  // the binary record version
    // exiftool shows dates with colons; the datasets hold CCYYMMDD.
    for (int date : {30, 55, 62, 70})
        if (values.count(date)) values[date].erase(std::remove(values[date].begin(), values[date].end(), ':'), values[date].end());
    return values;
}

void collect(void* user, uint32_t, uint32_t tag, const char*, const char* value)
{
    (*static_cast<std::map<int, std::string>*>(user))[int(tag)] = value;
}

std::map<int, std::string> ourIptc(const fs::path& file)
{
    std::map<int, std::string> values;
    fotrix::MetadataBlock* metadata = nullptr;
    EXPECT_EQ(fotrix::metadataReadFile(file.string(), metadata), 0);
    fotrix::iptcListTags(metadata, collect, &values);
    fotrix::metadataFreeList(metadata);
    return values;
}

std::vector<fotrix::JpegSegment> segmentsOf(const Bytes& file)
{
    std::vector<fotrix::JpegSegment> segments;
    fotrix::jpegListSegments(file.data(), file.size(), segments);
    return segments;
}

// The file's segments as (marker, bytes) without the APP13 ones, then the scan onwards.
std::vector<Bytes> withoutApp13(const Bytes& file)
{
    std::vector<Bytes> parts;
    for (const auto& s : segmentsOf(file)) {
        if (s.marker == 0xED) continue;
        if (s.marker == 0xDA) {
            parts.emplace_back(file.begin() + std::ptrdiff_t(s.start), file.end());
            break;
        }
        parts.emplace_back(file.begin() + std::ptrdiff_t(s.start), file.begin() + std::ptrdiff_t(s.start + s.size));
    }
    return parts;
}

std::vector<uint8_t> markers(const Bytes& file)
{
    std::vector<uint8_t> out;
    for (const auto& s : segmentsOf(file)) out.push_back(s.marker);
    return out;
}

Bytes segment(uint8_t marker, const std::string& payload)
{
    Bytes out = {0xFF, marker, uint8_t((payload.size() + 2) >> 8), uint8_t(payload.size() + 2)};
    out.reserve(out.size() + payload.size());
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// A small JPEG from cjpeg with its APP segments replaced by `apps`.
Bytes jpegWith(const std::vector<Bytes>& apps, bool progressive = false)
{
    testsupport::TempDir dir;
    std::string cmd = "cjpeg " + std::string(progressive ? "-progressive " : "") + "'" +
                      testsupport::testdata("libjpeg-turbo/testorig.ppm").string() + "' > '" +
                      (dir / "base.jpg").string() + "'";
    EXPECT_EQ(testsupport::run(cmd), 0);
    Bytes base = testsupport::readFile(dir / "base.jpg");
    Bytes out = {0xFF, 0xD8};
    for (const Bytes& app : apps) out.insert(out.end(), app.begin(), app.end());
    for (const auto& s : segmentsOf(base)) {
        if (s.marker >= 0xE0 && s.marker <= 0xEF) continue;
        out.insert(out.end(), base.begin() + std::ptrdiff_t(s.start),
                   s.marker == 0xDA ? base.end() : base.begin() + std::ptrdiff_t(s.start + s.size));
    }
    return out;
}

fotrix::IptcRecord sampleRecord()
{
    fotrix::IptcRecord record;
    fotrix::iptcSetValue(record, 120, "A caption: with a colon");
    fotrix::iptcSetValue(record, 80, "Jo Bloggs");
    fotrix::iptcAddValue(record, 25, "sea");
    fotrix::iptcAddValue(record, 25, "ship");
    fotrix::iptcSetValue(record, 10, "5");
    return record;
}

bool needTools() { return testsupport::haveTool("exiftool") && testsupport::haveTool("cjpeg"); }

// exiv2's reading of the IPTC datasets, lists joined with ",".
std::map<int, std::string> exiv2Iptc(const fs::path& file)
{
    std::string output;
    testsupport::run("exiv2 -PIxv '" + file.string() + "' 2>/dev/null", &output);
    std::map<int, std::string> values;
    std::regex line(R"(^0x([0-9a-f]+)\s+(.*)$)");
    std::istringstream in(output);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, line)) continue;
        std::string& value = values[std::stoi(m[1], nullptr, 16)];
        value += (value.empty() ? "" : ",") + m[2].str();
    }
    values.erase(0);
    return values;
}

}  // namespace

TEST(IptcRead, datasets_written_by_exiftool_read_back_exactly)
{
    if (!testsupport::haveTool("exiftool")) SKIP_MISSING("unavailable: !testsupport::haveTool(\"exiftool\")");
    for (const char* name : {"exiftool/IPTC.jpg", "exiftool/ExifTool.jpg", "exiv2/iptc/iptc-psAPP13-wIPTCbeg.jpg",
                             "exiv2/iptc/iptc-psAPP13-wIPTCmid.jpg", "exiv2/iptc/iptc-psAPP13-wIPTCend.jpg"}) {
        fs::path file = testsupport::testdata(name);
        if (!fs::exists(file)) continue;
        auto theirs = exiftoolIptc(file);
        ASSERT_FALSE(theirs.empty()) << name;
        EXPECT_EQ(ourIptc(file), theirs) << name;
    }
}

TEST(IptcWrite, exiftool_reads_what_we_write_and_other_segments_stay)
{
    if (!needTools()) SKIP_MISSING("unavailable: !needTools()");
    fs::path source = testsupport::testdata("exiv2/iptc/iptc-psAPP13-wIPTCbeg.jpg");
    testsupport::TempDir dir;
    fs::path file = dir / "picture.jpg";
    fs::copy_file(source, file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);  // the shared copy is read-only
    Bytes before = testsupport::readFile(file);
    ASSERT_EQ(fotrix::iptcWriteJpeg(file.c_str(), sampleRecord()), 0);
    Bytes after = testsupport::readFile(file);

    std::map<int, std::string> expected = {{120, "A caption: with a colon"}, {80, "Jo Bloggs"}, {25, "sea,ship"},
                                           {10, "5"}};
    EXPECT_EQ(exiftoolIptc(file), expected);
    if (testsupport::haveTool("exiv2")) { EXPECT_EQ(exiv2Iptc(file), expected); }
    EXPECT_EQ(ourIptc(file), expected);
    EXPECT_EQ(withoutApp13(after), withoutApp13(before));
    // Exactly one APP13, where the old one was.
    EXPECT_EQ(markers(after), markers(before));
    EXPECT_EQ(std::count(fs::directory_iterator(dir.path()), fs::directory_iterator(), fs::directory_entry(file)), 1);
}

TEST(IptcWrite, insertion_places)
{
    if (!needTools()) SKIP_MISSING("unavailable: !needTools()");
    Bytes jfif = segment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    Bytes exif = segment(0xE1, std::string("Exif\0\0II*\0\10\0\0\0\0\0", 16));
    Bytes adobe = segment(0xEE, std::string("Adobe\0\144\0\0\0\0\1", 12));
    struct Case {
        std::vector<Bytes> apps;
        bool progressive;
        std::vector<uint8_t> expectedPrefix;  // markers from the start
    };
    const Case cases[] = {
        {{jfif, exif}, false, {0xE0, 0xE1, 0xED}},        // after the highest APPn
        {{exif, jfif}, false, {0xE1, 0xED, 0xE0}},
        {{jfif, adobe}, false, {0xE0, 0xED, 0xEE}},       // before APP14
        {{}, false, {0xDB}},                              // before the frame header
        {{}, true, {0xDB}},
    };
    for (const Case& c : cases) {
        testsupport::TempDir dir;
        fs::path file = dir / "p.jpg";
        testsupport::writeFile(file, jpegWith(c.apps, c.progressive));
        ASSERT_EQ(fotrix::iptcWriteJpeg(file.c_str(), sampleRecord()), 0);
        auto m = markers(testsupport::readFile(file));
        ASSERT_GE(m.size(), c.expectedPrefix.size());
        EXPECT_TRUE(std::equal(c.expectedPrefix.begin(), c.expectedPrefix.end(), m.begin()));
        auto frame = std::find_if(m.begin(), m.end(), [](uint8_t x) { return x == 0xC0 || x == 0xC2; });
        EXPECT_LT(std::find(m.begin(), m.end(), 0xED), frame);
    }
}

TEST(IptcWrite, replaced_app13_keeps_only_iptc_and_stale_copies_go)
{
    if (!needTools()) SKIP_MISSING("unavailable: !needTools()");
    std::string otherResource = std::string("Photoshop 3.0\0" "8BIM\x03\xED\0\0\0\0\0\x04" "abcd", 30);
    std::string oldIptc = std::string("Photoshop 3.0\0" "8BIM\x04\x04\0\0\0\0\0\x08" "\x1C\x02\x78\0\x03old", 34);
    Bytes comment = segment(0xFE, "keep me");
    testsupport::TempDir dir;
    fs::path file = dir / "p.jpg";
    testsupport::writeFile(file, jpegWith({segment(0xED, otherResource), comment, segment(0xED, oldIptc)}));
    ASSERT_EQ(fotrix::iptcWriteJpeg(file.c_str(), sampleRecord()), 0);
    Bytes after = testsupport::readFile(file);
    auto m = markers(after);
    EXPECT_EQ(std::count(m.begin(), m.end(), 0xED), 1);
    EXPECT_EQ(m[0], 0xED);
    EXPECT_EQ(m[1], 0xFE);
    fotrix::MetadataBlock* metadata = nullptr;
    ASSERT_EQ(fotrix::metadataReadFile(file.string(), metadata), 0);
    fotrix::IptcRecord record;
    ASSERT_EQ(fotrix::iptcRead(metadata, record), 1);
    EXPECT_EQ(record.slots[120], "A caption: with a colon");
    EXPECT_EQ(record.keywords, (std::vector<std::string>{"sea", "ship"}));
    // Only the IPTC resource is in the new segment.
    std::string payload(metadata->data, metadata->data + metadata->size);
    EXPECT_EQ(payload.find("8BIM\x03\xED"), std::string::npos);
    fotrix::metadataFreeList(metadata);
}

TEST(IptcWrite, odd_areas_are_padded_and_counted)
{
    if (!needTools()) SKIP_MISSING("unavailable: !needTools()");
    fotrix::IptcRecord record;
    fotrix::iptcSetValue(record, 5, "abcd");  // 5 + 4 = 9 bytes of datasets, area 11
    std::vector<uint8_t> area;
    ASSERT_TRUE(fotrix::iptcBuild(record, area));
    EXPECT_EQ(area, (Bytes{0, 9, 0x1C, 2, 5, 0, 4, 'a', 'b', 'c', 'd'}));
    testsupport::TempDir dir;
    fs::path file = dir / "p.jpg";
    testsupport::writeFile(file, jpegWith({}));
    ASSERT_EQ(fotrix::iptcWriteJpeg(file.c_str(), record), 0);
    Bytes after = testsupport::readFile(file);
    auto segments = segmentsOf(after);
    auto s = std::find_if(segments.begin(), segments.end(), [](const auto& x) { return x.marker == 0xED; });
    ASSERT_NE(s, segments.end());
    EXPECT_EQ(s->size, 2u + 12 + 26);  // marker + (area 11, pad 1, 26)
    EXPECT_EQ(after[s->start + 3], 12 + 26);
    EXPECT_EQ(after[s->start + s->size - 1], 0);
}

TEST(IptcWrite, failures_leave_the_file_as_it_was)
{
    if (!needTools()) SKIP_MISSING("unavailable: !needTools()");
    testsupport::TempDir dir;
    fs::path file = dir / "p.jpg";
    // No APP segment and no frame header: no place for the segment.
    Bytes noFrame = {0xFF, 0xD8, 0xFF, 0xFE, 0, 4, 'h', 'i', 0xFF, 0xDA, 0, 2, 1, 2, 3, 0xFF, 0xD9};
    testsupport::writeFile(file, noFrame);
    chmod(file.c_str(), 0640);
    EXPECT_EQ(fotrix::iptcWriteJpeg(file.c_str(), sampleRecord()), 6);
    EXPECT_EQ(testsupport::readFile(file), noFrame);
    // Nothing to write.
    fotrix::IptcRecord empty;
    EXPECT_EQ(fotrix::iptcWriteJpeg(file.c_str(), empty), 1);
    EXPECT_EQ(fotrix::iptcWriteJpeg((dir / "missing.jpg").c_str(), sampleRecord()), 3);
    // A segment length running past the end.
    Bytes truncated = jpegWith({});
    truncated.resize(30);
    testsupport::writeFile(file, truncated);
    EXPECT_EQ(fotrix::iptcWriteJpeg(file.c_str(), sampleRecord()), 6);
    EXPECT_EQ(testsupport::readFile(file), truncated);
    // No temporary file is left behind, and a successful rewrite keeps the permissions.
    testsupport::writeFile(file, jpegWith({}));
    chmod(file.c_str(), 0640);
    ASSERT_EQ(fotrix::iptcWriteJpeg(file.c_str(), sampleRecord()), 0);
    struct stat info;
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    // Through a symbolic link: the link stays a link and its target changes.
    fs::path link = dir / "link.jpg";
    fs::create_symlink(file, link);
    fotrix::IptcRecord other;
    fotrix::iptcSetValue(other, 5, "via link");
    ASSERT_EQ(fotrix::iptcWriteJpeg(link.c_str(), other), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    fotrix::MetadataBlock* metadata = nullptr;
    ASSERT_EQ(fotrix::metadataReadFile(file.string(), metadata), 0);
    fotrix::IptcRecord back;
    ASSERT_EQ(fotrix::iptcRead(metadata, back), 1);
    EXPECT_EQ(back.slots[5], "via link");
    fotrix::metadataFreeList(metadata);
}

TEST(IptcParse, lying_lengths_stay_inside_the_block)
{
    auto payload = [](const std::string& tail) {
        return std::string("Photoshop 3.0\0" "8BIM\x04\x04", 20) + tail;
    };
    // Name length byte running past the end.
    std::string cut = payload(std::string("\x40", 1));
    EXPECT_EQ(fotrix::iptcFind(reinterpret_cast<const uint8_t*>(cut.data()), cut.size()), nullptr);
    // A dataset whose length runs past the block: what came before it is kept.
    std::string area = std::string("\0\0\0\0\0\x20", 6) + std::string("\x1C\x02\x05\0\x02ok", 7) + "\x1C\x02\x78\x7F\xFFxx";
    std::string block = payload(area);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(block.data());
    const uint8_t* found = fotrix::iptcFind(data, block.size());
    ASSERT_NE(found, nullptr);
    fotrix::IptcRecord record;
    fotrix::iptcParse(found, block.size() - size_t(found - data), record);
    EXPECT_EQ(record.slots[5], "ok");
    EXPECT_TRUE(record.slots[120].empty());
    // Not a Photoshop block at all.
    std::string other = "Adobe_CM" + area;
    EXPECT_EQ(fotrix::iptcFind(reinterpret_cast<const uint8_t*>(other.data()), other.size()), nullptr);
    // Datasets of other records are stepped over; an unlabelled one lists as "????".
    std::string mixed = payload(std::string("\0\0\0\0\0\0", 6) + std::string("\x1C\x01\x5A\0\x01x", 6) +
                                std::string("\x1C\x02\xC8\0\x01y", 6));
    fotrix::MetadataBlock block2;
    Bytes bytes(mixed.begin(), mixed.end());
    block2.kind = fotrix::MetaIptc;
    block2.size = uint32_t(bytes.size());
    block2.data = bytes.data();
    std::map<int, std::string> listed;
    std::vector<std::string> labels;
    fotrix::iptcListTags(&block2, [](void* user, uint32_t, uint32_t tag, const char* label, const char* value) {
        (*static_cast<std::vector<std::string>*>(user)).push_back(std::to_string(tag) + " " + label + "=" + value);
    }, &labels);
    EXPECT_EQ(labels, std::vector<std::string>{"200 ????" "=y"});
}

TEST(IptcTemplate, lengths_decide_where_values_end)
{
    fotrix::IptcRecord record;
    fotrix::iptcSetValue(record, 120, "Hello");
    fotrix::iptcAddValue(record, 25, "a:b");
    fotrix::iptcAddValue(record, 25, "c");
    fotrix::iptcSetValue(record, 10, "3");
    fotrix::iptcSetValue(record, 200, "not a template dataset");
    std::string text = fotrix::iptcTemplateWrite(record);
    EXPECT_EQ(text, "120:5:Hello:25:3:a:b:25:1:c:10:1:3:");
    fotrix::IptcRecord back;
    EXPECT_EQ(fotrix::iptcTemplateRead(text, back), 1);
    EXPECT_EQ(back.slots[120], "Hello");
    EXPECT_EQ(back.keywords, (std::vector<std::string>{"a:b", "c"}));
    EXPECT_EQ(back.slots[10], "3");
    EXPECT_EQ(fotrix::iptcTemplateRead("", back), 0);
    // Unknown datasets are skipped; a length past the end stops the reading.
    EXPECT_EQ(fotrix::iptcTemplateRead("999:2:xx:5:3:abc:120:50:short", back), 1);
    EXPECT_EQ(back.slots[5], "abc");
    EXPECT_TRUE(back.slots[120].empty());
    // At most 1024 bytes: an entry that does not fit is left out.
    fotrix::IptcRecord big;
    fotrix::iptcSetValue(big, 120, std::string(1000, 'x'));
    fotrix::iptcSetValue(big, 122, std::string(100, 'y'));
    fotrix::iptcSetValue(big, 105, "fits");
    std::string bigText = fotrix::iptcTemplateWrite(big);
    EXPECT_LE(bigText.size(), 1024u);
    EXPECT_NE(bigText.find("105:4:fits:"), std::string::npos);
    EXPECT_EQ(bigText.find("122:"), std::string::npos);
}
