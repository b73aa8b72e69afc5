// The metadata commands of fotrix-cli, black-box: output forms, exit codes,
// and a round trip through iptc-set and iptc.
#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

fs::path cli() { return testsupport::binaryDir() / "cli" / "fotrix-cli"; }

int runCli(const std::string& arguments, std::string* output = nullptr)
{
    return testsupport::run("'" + cli().string() + "' " + arguments + " 2>/dev/null", output);
}

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

}  // namespace

TEST(CliMetadata, exif_lists_groups_and_tab_separated_values)
{
    if (!fs::exists(cli())) SKIP_MISSING("unavailable: !fs::exists(cli())");
    std::string out;
    ASSERT_EQ(runCli("exif " + q(testsupport::testdata("exiftool/Canon.jpg")), &out), 0);
    EXPECT_EQ(out.rfind("[Camera]\n", 0), 0u);
    EXPECT_NE(out.find("\nCamera Model\tCanon EOS DIGITAL REBEL\n"), std::string::npos);
    EXPECT_NE(out.find("\n[Makernotes]\n"), std::string::npos);
    EXPECT_LT(out.find("[Image]"), out.find("[Makernotes]"));
    EXPECT_LT(out.find("[Makernotes]"), out.find("[IOP]"));
    EXPECT_EQ(runCli("exif"), 64);
    EXPECT_EQ(runCli("exif /nonexistent/file.jpg"), 3);
}

TEST(CliMetadata, iptc_set_then_iptc)
{
    if (!fs::exists(cli())) SKIP_MISSING("unavailable: !fs::exists(cli())");
    testsupport::TempDir dir;
    fs::path file = dir / "p.jpg";
    fs::copy_file(testsupport::testdata("exiftool/IPTC.jpg"), file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);  // the shared copy is read-only
    ASSERT_EQ(runCli("iptc-set " + q(file) + " --set 120=New --add 25=extra --set 5=T"), 0);
    std::string out;
    ASSERT_EQ(runCli("iptc " + q(file), &out), 0);
    EXPECT_NE(out.find("Caption\tNew\n"), std::string::npos);
    EXPECT_NE(out.find("Keywords\tExifTool,Test,IPTC,extra\n"), std::string::npos);
    EXPECT_NE(out.find("Object Name\tT\n"), std::string::npos);
    EXPECT_NE(out.find("Byline\tPhil Harvey\n"), std::string::npos);  // kept from the file

    ASSERT_EQ(runCli("iptc-set " + q(file) + " --clear --set 25=one --set 25=two"), 0);
    ASSERT_EQ(runCli("iptc " + q(file), &out), 0);
    EXPECT_EQ(out, "Keywords\tone,two\n");

    EXPECT_EQ(runCli("iptc-set " + q(file) + " --clear"), 1);  // nothing to write
    EXPECT_EQ(runCli("iptc-set " + q(file) + " --set 300=x"), 64);
    EXPECT_EQ(runCli("iptc-set " + q(file) + " --set nonumber"), 64);
}

TEST(CliMetadata, transform_codes)
{
    if (!fs::exists(cli())) SKIP_MISSING("unavailable: !fs::exists(cli())");
    testsupport::TempDir dir;
    fs::path out = dir / "out.jpg";
    fs::path in = testsupport::testdata("libjpeg-turbo/testorig.jpg");
    EXPECT_EQ(runCli("transform " + q(in) + " " + q(out) + " --op rot90"), 0);
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(runCli("transform " + q(in) + " " + q(out) + " --op spin"), 64);
    EXPECT_EQ(runCli("transform " + q(in) + " " + q(out)), 64);
    EXPECT_EQ(runCli("transform " + q(testsupport::testdata("exiftool/BMP.bmp")) + " " + q(out) + " --op flip-h"), 11);
}

// A picture made read-only is left exactly as it is by every command that
// rewrites pictures, with a message that says why.
TEST(CliMetadata, read_only_pictures_are_refused_and_left_alone)
{
    if (!fs::exists(cli())) GTEST_SKIP();
    testsupport::TempDir dir;
    const fs::path file = dir / "kept.jpg";
    fs::copy_file(testsupport::testdata("exiftool/IPTC.jpg"), file);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::vector<uint8_t> before = testsupport::readFile(file);
    const std::string commands[] = {
        "iptc-set " + q(file) + " --set 120=New",
        "transform " + q(file) + " " + q(file) + " --op rot90",
    };
    for (const std::string& command : commands) {
        std::string messages;
        const int status = testsupport::run("'" + cli().string() + "' " + command + " 2>&1", &messages);
        EXPECT_EQ(status, 18) << command;
        EXPECT_NE(messages.find("read-only"), std::string::npos) << messages;
        EXPECT_EQ(testsupport::readFile(file), before) << command;
        EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) entries += entry.is_regular_file();
    EXPECT_EQ(entries, 1);  // no temporary left behind
}
