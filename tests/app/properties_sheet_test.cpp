// The properties sheet shows on its EXIF page exactly what `fotrix-cli exif`
// lists for camera files, steps with Previous/Next, and its Infos rows; the
// IPTC editor's writing, templates and limits.
#include "app/properties/iptc_editor.h"
#include "app/properties/iptc_pages.h"
#include "app/properties/iptc_templates.h"
#include "app/properties/properties_sheet.h"
#include "app/properties/property_rows.h"
#include "metadata/jpeg_segments.h"
#include "tests/app/options_fixture.h"

#include <cmath>
#include <cstdio>

#include <filesystem>
#include <sstream>
#include <sys/stat.h>

using namespace fotrix;
using namespace optionstest;
namespace fs = std::filesystem;

namespace {

// Presses the page's Next button as a tap does (the button's click).
void tapNext(HWND page)
{
    constexpr int kNextButton = 1203;
    SendMessage(page, WM_COMMAND, MAKEWPARAM(kNextButton, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, kNextButton)));
}

// A tool's output through a file: a pipe read can be cut short by the
// platform's timer signals.
std::string toolOutput(const std::string& command, const fs::path& scratch)
{
    testsupport::run(command + " > '" + scratch.string() + "' 2>/dev/null");
    auto bytes = testsupport::readFile(scratch);
    return std::string(bytes.begin(), bytes.end());
}

fs::path cliPath() { return fs::canonical("/proc/self/exe").parent_path() / "../../cli/fotrix-cli"; }

// The CLI's listing as the sheet's rows: a group heading is an empty row.
std::vector<std::string> cliRows(const fs::path& file)
{
    std::string output;
    testsupport::run(cliPath().string() + " exif '" + file.string() + "'", &output);
    std::vector<std::string> rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.front() == '[') {
            rows.push_back(" | ");
            continue;
        }
        size_t tab = line.find('\t');
        std::string label = line.substr(0, tab), value = tab == std::string::npos ? "" : line.substr(tab + 1);
        rows.push_back(CutToCharacters(label, kPropertyCellChars) + " | " + CutToCharacters(value, kPropertyCellChars));
    }
    return rows;
}

// The "row:" lines of the state, without the decimal GPS rows the sheet adds.
std::vector<std::string> stateRows(const std::string& state, std::string* page)
{
    std::vector<std::string> rows;
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("page: ", 0) == 0) *page = line.substr(6);
        if (line.rfind("row: ", 0) != 0 || line.find(" (decimal) | ") != std::string::npos) continue;
        rows.push_back(line.substr(5));
    }
    return rows;
}

class PropertiesSheet : public AppWindowTest {};

TEST_F(PropertiesSheet, ExifPageShowsWhatTheCommandLineListerPrints)
{
    if (!fs::exists(cliPath())) SKIP_MISSING("fotrix-cli not built");
    std::vector<std::string> paths;
    for (const char* name : {"exiftool/Canon.jpg", "exiftool/GPS.jpg", "exiftool/Nikon.jpg",
                             "exiv2/camera/FujiTagsDRangeAutoRating1.jpg"}) {
        fs::path p = testsupport::testdata(name);
        if (fs::exists(p)) paths.push_back(p.string());
    }
    if (paths.size() < 2) SKIP_MISSING("camera test files");
    std::vector<std::vector<std::string>> seen;
    std::string pageTitle;
    std::vector<Step> steps = {[](HWND sheet) { showPage(sheet, 1); }};
    for (size_t i = 0; i < paths.size(); ++i) {
        steps.push_back([&](HWND) {
            std::string state = "page: " + PropertiesPageTitle() + "\n";
            WritePropertiesState(state);
            seen.push_back(stateRows(state, &pageTitle));
        });
        steps.push_back([](HWND sheet) { tapNext(currentPage(sheet)); });
    }
    steps.push_back([](HWND sheet) { pressCancel(sheet); });
    script(steps);
    ShowPropertiesSheet(mainWindow, paths, 0);
    ASSERT_EQ(seen.size(), paths.size());
    EXPECT_EQ(pageTitle, "EXIF");
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        std::vector<std::string> expected = cliRows(paths[i]);
        EXPECT_GT(expected.size(), 10u);
        EXPECT_EQ(seen[i], expected);
    }
}

TEST_F(PropertiesSheet, GpsPositionAlsoShownInDecimalDegrees)
{
    fs::path gps = testsupport::testdata("exiftool/GPS.jpg");
    if (!fs::exists(gps)) SKIP_MISSING("GPS.jpg");
    MetadataBlock* metadata = nullptr;
    ASSERT_EQ(metadataReadFile(gps.string(), metadata), 0);
    PropertyRows rows = ExifRows(metadata);
    metadataFreeList(metadata);
    std::string latitude, decimal;
    for (const PropertyRow& r : rows) {
        if (r.label == "Latitude") latitude = r.value;
        if (r.label == "Latitude (decimal)") decimal = r.value;
    }
    ASSERT_FALSE(latitude.empty());
    ASSERT_FALSE(decimal.empty());
    // Degrees + minutes / 60 + seconds / 3600 of the shown text.
    double d = 0, m = 0, s = 0;
    ASSERT_EQ(std::sscanf(latitude.c_str(), "%lf\xC2\xB0 %lf' %lf", &d, &m, &s), 3);
    EXPECT_NEAR(std::fabs(std::stod(decimal)), d + m / 60 + s / 3600, 1e-5);
}

TEST_F(PropertiesSheet, InfosPageDescribesTheFileAndKeepsNameForUnreadableFiles)
{
    fs::path canon = testsupport::testdata("exiftool/Canon.jpg");
    if (!fs::exists(canon)) SKIP_MISSING("Canon.jpg");
    PropertyRows rows = InfoRows(canon.string());
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[1].value, "Canon.jpg");
    EXPECT_EQ(rows[4].value, "JPEG");
    EXPECT_NE(rows[5].value.find(" x "), std::string::npos);
    EXPECT_FALSE(rows[2].value.empty());
    testsupport::writeFile(dir / "broken.jpg", std::string("\xFF\xD8\xFF\xE1\x00\x10junk", 10));
    PropertyRows broken = InfoRows((dir / "broken.jpg").string());
    EXPECT_EQ(broken[1].value, "broken.jpg");
    EXPECT_TRUE(broken[5].value.empty());
}

TEST_F(PropertiesSheet, IptcPageSaysWhenXmpAlsoHoldsCaptionOrKeywords)
{
    // ExifTool.jpg's XMP packet is in UTF-16 and has a description and subjects;
    // Canon.jpg has no XMP.
    fs::path withXmp = testsupport::testdata("exiftool/ExifTool.jpg"), without = testsupport::testdata("exiftool/Canon.jpg");
    if (!fs::exists(withXmp) || !fs::exists(without)) SKIP_MISSING("ExifTool.jpg, Canon.jpg");
    auto rows = [](const fs::path& p) {
        MetadataBlock* metadata = nullptr;
        EXPECT_EQ(metadataReadFile(p.string(), metadata), 0);
        PropertyRows r = IptcRows(metadata);
        metadataFreeList(metadata);
        return r;
    };
    PropertyRows iptc = rows(withXmp);
    ASSERT_FALSE(iptc.empty());
    EXPECT_EQ(iptc.back().label, "XMP");
    EXPECT_EQ(iptc.back().value, "also holds caption, keywords");
    for (const PropertyRow& r : rows(without)) EXPECT_NE(r.label, "XMP");
}

// The bytes of a JPEG file outside its APP13 segments.
std::vector<uint8_t> withoutApp13(const std::vector<uint8_t>& bytes)
{
    std::vector<JpegSegment> segments;
    jpegListSegments(bytes.data(), bytes.size(), segments);
    std::vector<uint8_t> out(bytes.begin(), bytes.begin() + 2);
    size_t at = 2;
    for (const JpegSegment& s : segments) {
        if (s.marker != 0xED) out.insert(out.end(), bytes.begin() + s.start, bytes.begin() + s.start + s.size);
        at = s.start + s.size;
    }
    out.insert(out.end(), bytes.begin() + at, bytes.end());
    return out;
}

TEST_F(PropertiesSheet, WritingReachesEveryJpegAndIsReadBackByExiftoolAndExiv2)
{
    fs::path source = testsupport::testdata("exiftool/Canon.jpg");
    if (!fs::exists(source)) SKIP_MISSING("Canon.jpg");
    if (testsupport::run("exiftool -ver >/dev/null 2>&1") != 0) SKIP_MISSING("exiftool");
    std::vector<std::string> paths;
    for (const char* name : {"a.jpg", "b.JPG", "c.jpeg"}) {
        fs::copy_file(source, dir / name);
        chmod((dir / name).c_str(), 0644);  // the test data itself is read-only
        paths.push_back((dir / name).string());
    }
    std::vector<uint8_t> original = testsupport::readFile(source);
    IptcRecord record;
    record.slots[120] = "Caption: with a colon";
    record.slots[90] = "Z\xC3\xBCrich";
    record.keywords = {"alpha", "beta"};
    EXPECT_TRUE(WriteIptcToPictures(paths, record).empty());
    EXPECT_EQ(record.slots[65], "Fotrix Pocket");
    for (const std::string& p : paths) {
        SCOPED_TRACE(p);
        std::string out = toolOutput(
            "exiftool -charset iptc=UTF8 -s3 -IPTC:Caption-Abstract -IPTC:City -IPTC:Keywords -IPTC:OriginatingProgram '" + p + "'",
            dir / "out.txt");
        EXPECT_EQ(out, "Caption: with a colon\nZ\xC3\xBCrich\nalpha, beta\nFotrix Pocket\n");
        if (testsupport::run("exiv2 --version >/dev/null 2>&1") == 0) {
            std::string exiv = toolOutput("exiv2 -q -K Iptc.Application2.Caption -Pv '" + p + "'", dir / "out.txt");
            EXPECT_EQ(exiv, "Caption: with a colon\n");
        }
        EXPECT_EQ(withoutApp13(testsupport::readFile(p)), withoutApp13(original));
    }
}

TEST_F(PropertiesSheet, ReadOnlyPictureFailsAndStaysIntact)
{
    fs::path source = testsupport::testdata("exiftool/Canon.jpg");
    if (!fs::exists(source)) SKIP_MISSING("Canon.jpg");
    fs::path locked = dir / "locked.jpg";
    fs::copy_file(source, locked);
    chmod(locked.c_str(), 0444);
    IptcRecord record;
    record.slots[120] = "never written";
    std::vector<std::string> failed = WriteIptcToPictures({locked.string(), (dir / "note.png").string()}, record);
    chmod(locked.c_str(), 0644);
    EXPECT_EQ(failed, std::vector<std::string>{locked.string()});
    EXPECT_EQ(testsupport::readFile(locked), testsupport::readFile(source));
}

TEST_F(PropertiesSheet, TemplatesSurviveARestartAndOddNamesAreRefused)
{
    IptcRecord record;
    record.slots[120] = "a:b";
    record.slots[10] = "5";
    record.keywords = {"k1", "k2"};
    ASSERT_TRUE(SaveIptcTemplate("Holiday", record));
    EXPECT_FALSE(SaveIptcTemplate("bad\\name", record));
    EXPECT_FALSE(SaveIptcTemplate("line\nbreak", record));
    EXPECT_FALSE(SaveIptcTemplate("", record));
    EXPECT_FALSE(SaveIptcTemplate(std::string(300, 'x'), record));
    TearDown();  // the registry is written out and read again on the next start
    SetUp();
    EXPECT_EQ(ListIptcTemplates(), std::vector<std::string>{"Holiday"});
    IptcRecord loaded;
    ASSERT_TRUE(LoadIptcTemplate("Holiday", loaded));
    EXPECT_EQ(loaded.slots[120], "a:b");
    EXPECT_EQ(loaded.slots[10], "5");
    EXPECT_EQ(loaded.keywords, record.keywords);
    EXPECT_TRUE(DeleteIptcTemplate("Holiday"));
    EXPECT_TRUE(ListIptcTemplates().empty());
}

TEST(PropertiesLimits, LongValuesAreCutAtAWholeCharacter)
{
    EXPECT_EQ(CutToBytes("abc", 3), "abc");
    EXPECT_EQ(CutToBytes("ab\xC3\xBC", 3), "ab");      // the two-byte character does not fit
    EXPECT_EQ(CutToBytes("a\xE2\x82\xAC" "b", 4), "a\xE2\x82\xAC");
    EXPECT_EQ(CutToCharacters("\xC3\xBC\xC3\xBC\xC3\xBC", 2), "\xC3\xBC\xC3\xBC");
}

}  // namespace
