// The maker notes of the eight makers in camera files from other suites:
// each decodes, and the values agree with exiftool's reading kept beside the
// file (its .exiftool.txt), compared without regard to case.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "metadata/exif.h"
#include "metadata/jpeg_segments.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

struct Listed {
    std::vector<std::pair<std::string, std::string>> makerValues;  // label, value
    bool announced = false;
};

void collect(void* user, uint32_t group, uint32_t, const char* label, const char* value)
{
    auto* listed = static_cast<Listed*>(user);
    if (group != fotrix::ExifGroupMakernotes) return;
    if (!value) listed->announced = true;
    else listed->makerValues.emplace_back(label, value);
}

Listed makerNote(const fs::path& file)
{
    Listed listed;
    fotrix::MetadataBlock* metadata = nullptr;
    EXPECT_EQ(fotrix::metadataReadFile(file.string(), metadata), 0) << file;
    fotrix::exifListTags(metadata, collect, &listed);
    fotrix::metadataFreeList(metadata);
    return listed;
}

// The oracle's value of "[Group] Tag".
std::string oracle(const fs::path& file, const std::string& groupTag)
{
    std::ifstream in(file.string() + ".exiftool.txt");
    std::smatch m;
    std::regex line(R"(^\[(\w+)\]\s+(\w+)\s*: (.*)$)");
    for (std::string text; std::getline(in, text);)
        if (std::regex_match(text, m, line) && m[1].str() + " " + m[2].str() == groupTag) return m[3];
    return "<absent>";
}

std::string folded(std::string s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

struct Check {
    const char* file;
    const char* label;     // ours
    const char* groupTag;  // exiftool's
};

// One file per maker and form, with values whose meaning both readers share.
constexpr Check checks[] = {
    {"exiftool/Canon.jpg", "Drive mode", "Canon ContinuousDrive"},
    {"exiftool/Canon.jpg", "SelfTimer", "Canon SelfTimer"},
    {"exiftool/Canon.jpg", "Owner name", "Canon OwnerName"},
    {"exiftool/Canon.jpg", "Image number", "Canon FileNumber"},
    {"exiftool/Olympus.jpg", "Camera ID", "Olympus CameraID"},
    {"exiftool/FujiFilm.jpg", "Quality Setting", "FujiFilm Quality"},
    {"exiftool/FujiFilm.jpg", "White balance", "FujiFilm WhiteBalance"},
    {"exiftool/FujiFilm.jpg", "Flash mode", "FujiFilm FujiFlashMode"},
    {"exiftool/FujiFilm.jpg", "Picture Mode", "FujiFilm PictureMode"},
    {"exiftool/Nikon.jpg", "Focus Mode", "Nikon FocusMode"},
    {"exiftool/Nikon.jpg", "Color Mode", "Nikon ColorMode"},
    {"exiftool/Nikon.jpg", "Image Quality", "Nikon Quality"},
    {"exiftool/NikonD70.jpg", "Focus Mode", "Nikon FocusMode"},
    {"exiftool/NikonD70.jpg", "Flash Setting", "Nikon FlashSetting"},
    {"exiftool/NikonD70.jpg", "Image Sharpening", "Nikon Sharpness"},
    {"exiftool/Casio.jpg", "Recording Mode", "Casio RecordingMode"},
    {"exiftool/Casio.jpg", "Flash intensity", "Casio FlashIntensity"},
    {"exiftool/Casio.jpg", "White balance", "Casio WhiteBalance"},
    {"exiftool/Casio2.jpg", "Flash Distance", "Casio FlashDistance"},
    {"exiftool/Minolta.jpg", "Version", "Minolta MakerNoteVersion"},
    {"exiftool/Minolta.jpg", "Exposure mode", "Minolta ExposureMode"},
    {"exiftool/Minolta.jpg", "ISO", "Minolta ISO"},
    {"exiftool/Minolta.jpg", "Shutter speed [s]", "Minolta ExposureTime"},
    {"exiftool/Minolta.jpg", "Aperture", "Minolta FNumber"},
    {"exiftool/Minolta.jpg", "Drive mode", "Minolta DriveMode"},
    {"exiftool/Sigma.jpg", "Serial Number", "Sigma SerialNumber"},
    {"exiftool/Sigma.jpg", "AF Mode", "Sigma AFMode"},
    {"exiftool/Sigma.jpg", "White balance", "Sigma WhiteBalance"},
    {"exiftool/Sanyo.jpg", "Quality", "Sanyo SanyoQuality"},
    {"exiftool/Sanyo.jpg", "Maker Note Offset", "Sanyo MakerNoteOffset"},
    {"exiftool/Sanyo.jpg", "Record Shutter Release", "Sanyo RecordShutterRelease"},
    {"exiv2/camera/exiv2-sigma-d10.jpg", "Drive mode", "Sigma DriveMode"},
    {"exiv2/camera/exiv2-olympus-c8080wz.jpg", "Camera ID", "Olympus CameraID"},
};

std::string ours(const Listed& listed, const std::string& label)
{
    for (const auto& [l, v] : listed.makerValues)
        if (l == label) return v;
    return "<none>";
}

}  // namespace

TEST(MakerNoteCorpus, every_maker_decodes_and_agrees_with_exiftool)
{
    for (const Check& check : checks) {
        fs::path file = testsupport::testdata(check.file);
        if (!fs::exists(file)) SKIP_MISSING("test data missing: " << file);
        Listed listed = makerNote(file);
        ASSERT_TRUE(listed.announced) << check.file;
        EXPECT_EQ(folded(ours(listed, check.label)), folded(oracle(file, check.groupTag)))
            << check.file << ": " << check.label;
    }
}

TEST(MakerNoteCorpus, nikon_type1_names_the_oracles_numbers)
{
    fs::path file = testsupport::testdata("exiv2/camera/exiv2-nikon-e950.jpg");
    if (!fs::exists(file)) SKIP_MISSING("unavailable: !fs::exists(file)");
    Listed listed = makerNote(file);
    // exiftool lists these numerically for this camera: 12 and 3.
    ASSERT_EQ(oracle(file, "Nikon Quality"), "12");
    ASSERT_EQ(oracle(file, "Nikon ImageAdjustment"), "3");
    EXPECT_EQ(ours(listed, "Image Quality"), "UXGA Fine");
    EXPECT_EQ(ours(listed, "Image Adjustement"), "Contrast(+)");
}

TEST(MakerNoteCorpus, no_file_in_the_suites_upsets_the_walker)
{
    int files = 0;
    for (const char* folder : {"exiftool", "exiv2/camera", "exiv2/iptc", "pillow", "twelvemonkeys"}) {
        fs::path dir = testsupport::testdata(folder);
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (!entry.is_regular_file() || entry.path().extension() == ".txt") continue;
            fotrix::MetadataBlock* metadata = nullptr;
            if (fotrix::metadataReadFile(entry.path().string(), metadata) != 0) continue;
            Listed listed;
            fotrix::exifListTags(metadata, collect, &listed);
            int orientation = 0;
            fotrix::exifGetOrientation(metadata, orientation);
            fotrix::metadataFreeList(metadata);
            ++files;
        }
    }
    EXPECT_GT(files, 50);  // the sanitizer build checks every read
}
