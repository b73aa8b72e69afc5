// Camera files from other projects' suites: every standard and GPS value we
// list must agree with exiftool's reading of the same tag (in our formats),
// every maker note of the eight makers must decode, and no file may upset
// the walker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

#include "metadata/exif.h"
#include "metadata/exif_tables.h"
#include "metadata/jpeg_segments.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

struct Value {
    uint32_t group;
    uint32_t tag;
    std::string label;
    std::string text;
};

void collect(void* user, uint32_t group, uint32_t tag, const char* label, const char* value)
{
    if (!value) return;
    if (group == fotrix::ExifGroupGps) {
        for (const auto& row : fotrix::exifGpsTable())
            if (row.name && std::string(row.name) == label) tag = row.tag;
    }
    static_cast<std::vector<Value>*>(user)->push_back({group, tag, label, value});
}

std::vector<Value> ourValues(const fs::path& file)
{
    std::vector<Value> values;
    fotrix::MetadataBlock* metadata = nullptr;
    if (fotrix::metadataReadFile(file.string(), metadata) == 0) fotrix::exifListTags(metadata, collect, &values);
    fotrix::metadataFreeList(metadata);
    return values;
}

uint32_t groupOf(const std::string& name)
{
    if (name == "IFD0") return fotrix::ExifGroupCamera;
    if (name == "ExifIFD") return fotrix::ExifGroupImage;
    if (name == "InteropIFD") return fotrix::ExifGroupIop;
    if (name == "IFD1") return fotrix::ExifGroupThumbnail;
    if (name == "GPS") return fotrix::ExifGroupGps;
    return 0;
}

// exiftool's numeric reading of every EXIF tag: (group, tag) -> value.
std::map<std::pair<uint32_t, uint32_t>, std::string> exiftoolValues(const fs::path& file)
{
    std::string output;
    testsupport::run("exiftool -n -H -G1 -a -s -EXIF:all '" + file.string() + "' 2>/dev/null", &output);
    std::map<std::pair<uint32_t, uint32_t>, std::string> values;
    std::regex line(R"(^\[(\w+)\]\s+0x([0-9a-f]+) \S+\s*: (.*)$)");
    std::istringstream in(output);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, line)) continue;
        auto key = std::make_pair(groupOf(m[1]), uint32_t(std::stoul(m[2], nullptr, 16)));
        if (key.first && !values.count(key)) values[key] = m[3];
    }
    return values;
}

std::string trim(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    return s;
}

std::string firstToken(const std::string& s)
{
    std::istringstream in(s);
    std::string token;
    in >> token;
    return token;
}

// Our number forms: "n", "n/d", "1/n", "2.8", "F2.8", "x (n)".
bool number(const std::string& text, double& out)
{
    std::smatch m;
    static const std::regex named(R"(^.* \((-?\d+)\)$)");
    static const std::regex fraction(R"(^(-?\d+)/(-?\d+)$)");
    std::string s = text;
    if (std::regex_match(s, m, named)) s = m[1];
    if (!s.empty() && s[0] == 'F') s.erase(0, 1);
    if (std::regex_match(s, m, fraction)) {
        double d = std::stod(m[2]);
        out = d == 0 ? 0 : std::stod(m[1]) / d;
        return true;
    }
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0';
}

bool close(double a, double b) { return std::fabs(a - b) <= std::max(0.051, 0.01 * std::fabs(b)); }

// GPS "d° m' s"" as decimal degrees.
bool degrees(const std::string& text, double& out)
{
    std::smatch m;
    static const std::regex dms(R"re(^([-\d/]+)\xC2\xB0 ([-\d./]+)' ([-\d.]+)"$)re");
    if (!std::regex_match(text, m, dms)) return false;
    double d, mi, s;
    if (!number(m[1], d) || !number(m[2], mi) || !number(m[3], s)) return false;
    out = d + mi / 60 + s / 3600;
    return true;
}

// Whether our text agrees with exiftool's numeric reading of the same tag.
bool agrees(const Value& v, const std::string& theirs)
{
    std::string t = trim(theirs);
    double ours = 0, their = 0;
    switch (v.group == fotrix::ExifGroupGps ? 0x10000 + v.tag : v.tag) {
    case 0x9209: return (v.text == "Flash fired") == ((std::stoi(t) & 3) == 1);
    case 0xA001: return v.text == (t == "1" ? "sRGB" : t == "65535" ? "Uncalibrated" : t);
    case 0xA300: return v.text == (t == "3" ? "DSC" : t);
    case 0xA301: return v.text == (t == "1" ? "A directly photographed image" : t);
    case 0x0128: return v.text == (t == "2" ? "Inch" : t == "3" ? "Centimeter" : t);
    case 0x9000: case 0xA000: case 0x0002: {
        std::string dotless = v.text;
        dotless.erase(std::remove(dotless.begin(), dotless.end(), '.'), dotless.end());
        return dotless == t;
    }
    case 0x9101: return true;  // shown as a name; exiftool lists the four bytes
    case 0x10000: {
        std::string dotted = t;
        std::replace(dotted.begin(), dotted.end(), ' ', '.');
        return v.text == dotted;
    }
    case 0x10001: case 0x10003: case 0x10009: case 0x1000A: case 0x1000E: case 0x10013: case 0x10015: case 0x10017:
    case 0x10019:
        return !v.text.empty() && !t.empty() && v.text[0] == t[0];
    case 0x10002: case 0x10004: case 0x10014: case 0x10016:
        return degrees(v.text, ours) && number(t, their) && std::fabs(ours - their) < 1e-3;
    case 0x10007: return number(v.text, ours) && std::fabs(ours - std::stod(t)) < 1e-6;  // hours of the time stamp
    case 0x10005: return v.text == (t == "0" ? "Sea Level" : "Other");
    default: break;
    }
    // A zero denominator: exiftool says "undef" or "inf", we show the fraction forms.
    if (t == "undef" || t == "inf") return v.text == "0" || v.text.ends_with("/0");
    if (number(v.text, ours) && number(firstToken(t), their)) return close(ours, their);
    // exiftool shows line breaks as dots.
    std::string text = trim(v.text);
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, '.');
    // Texts are cut at 255 characters.
    return text == t || (text.size() >= 250 && text == t.substr(0, text.size()));
}

// Tags whose exiftool reading is not the stored value: offsets made absolute
// within the file, and undefined byte strings printed differently.
bool comparable(const Value& v)
{
    if (v.group == fotrix::ExifGroupGps) return true;
    switch (v.tag) {
    case 0x0111: case 0x0201: case 0x8769: case 0x8825: case 0xA005:
    case 0x828E: case 0xA302: case 0x8828: case 0xA20C: case 0xA40B: case 0x9286: case 0x927C:
        return false;
    default: return true;
    }
}

std::vector<fs::path> cameraFiles()
{
    std::vector<fs::path> files;
    for (const char* folder : {"exiftool", "exiv2/camera", "exiv2/iptc"}) {
        fs::path dir = testsupport::testdata(folder);
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::string ext = entry.path().extension().string();
            if (ext == ".jpg" || ext == ".tif" || ext == ".cr2" || ext == ".nef" || ext == ".dng") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(ExifCorpus, values_agree_with_exiftool)
{
    if (!testsupport::haveTool("exiftool")) SKIP_MISSING("exiftool is not installed");
    auto files = cameraFiles();
    ASSERT_GT(files.size(), 40u);
    int compared = 0;
    for (const fs::path& file : files) {
        auto theirs = exiftoolValues(file);
        for (const Value& v : ourValues(file)) {
            if (!comparable(v)) continue;
            auto it = theirs.find({v.group, v.tag});
            if (it == theirs.end()) continue;
            ++compared;
            EXPECT_TRUE(agrees(v, it->second)) << file.filename() << ": " << v.label << " (0x" << std::hex << v.tag
                                              << std::dec << ") ours '" << v.text << "' exiftool '" << it->second
                                              << "'";
        }
    }
    std::printf("compared %d values with exiftool's\n", compared);
    EXPECT_GT(compared, 1000);
}
