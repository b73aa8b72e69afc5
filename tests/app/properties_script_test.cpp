// The properties sheet and the IPTC editor driven through the real program
// by script, as a user drives them: the sheet's pages on camera files against
// `fotrix-cli exif`, the editor's six pages, its question, writing read back
// by exiftool and exiv2, templates over a restart, several pictures at once,
// a read-only picture, over-long values and refused template names.
#include "metadata/jpeg_segments.h"
#include "tests/app/tools_rotate_fixture.h"

#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using toolstest::ToolScript;

constexpr int kCmdProperties = 4030;
constexpr int kCmdIptcEdit = 4180;
constexpr int kCmdSelectAll = 4048;
constexpr int kNext = 1203;
// The editor's controls: a field is 2000 + its dataset.
constexpr int kField = 2000;
constexpr int kListItem = 2601, kListAdd = 2602, kTemplateLoad = 2605, kTemplateSave = 2606;
constexpr int kTemplateNames = 2700, kTemplateName = 2701, kTemplateOpen = 2702, kTemplateStore = 2703;

// The sheets' tabs at 240 x 320, in the row below the pages (the middle of
// each tab, as the screenshots show them). The editor's six tabs do not fit
// the row: the last two are reached after two taps on its right arrow.
constexpr int kTabRow = 283;
constexpr int kSheetTabX[] = {17, 52, 88};
constexpr int kEditorTabX[] = {20, 66, 115, 168};
constexpr int kEditorScrolledTabX[] = {139, 190};  // tabs 4 and 5 once the row is scrolled
constexpr int kTabArrowRight = 234;

std::string tap(int x, int y) { return "tap " + std::to_string(x) + " " + std::to_string(y) + "\n"; }
std::string sheetTab(size_t index) { return tap(kSheetTabX[index], kTabRow); }
std::string editorTab(size_t index)
{
    if (index < 4) return tap(kEditorTabX[index], kTabRow);
    return tap(kTabArrowRight, kTabRow) + tap(kTabArrowRight, kTabRow) + tap(kEditorScrolledTabX[index - 4], kTabRow);
}
// A point inside the caption's field on the Caption page.
constexpr int kCaptionX = 150, kCaptionY = 60;

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

std::string readText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The "row:" lines of a state file.
std::vector<std::string> rowsOf(const std::string& state)
{
    std::vector<std::string> rows;
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("row: ", 0) == 0) rows.push_back(line.substr(5));
    return rows;
}

std::string keyOf(const std::string& state, const std::string& key)
{
    std::istringstream lines(state);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "<missing>";
}

// The bytes of a JPEG file outside its APP13 segments.
std::vector<uint8_t> withoutApp13(const std::vector<uint8_t>& bytes)
{
    std::vector<fotrix::JpegSegment> segments;
    fotrix::jpegListSegments(bytes.data(), bytes.size(), segments);
    std::vector<uint8_t> out(bytes.begin(), bytes.begin() + 2);
    size_t at = 2;
    for (const fotrix::JpegSegment& s : segments) {
        if (s.marker != 0xED) out.insert(out.end(), bytes.begin() + s.start, bytes.begin() + s.start + s.size);
        at = s.start + s.size;
    }
    out.insert(out.end(), bytes.begin() + at, bytes.end());
    return out;
}

class PropertiesScript : public ToolScript {
protected:
    void SetUp() override
    {
        ToolScript::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        // The English language file, so that its sections label the pages.
        setenv("FOTRIX_LANGUAGE_DIR", (testsupport::sourceDir() / "app" / "languages").c_str(), 1);
        if (const char* all = std::getenv("LC_ALL")) savedLocale = all;
        setenv("LC_ALL", "en_US.UTF-8", 1);
    }
    void TearDown() override
    {
        unsetenv("FOTRIX_LANGUAGE_DIR");
        if (savedLocale.empty()) unsetenv("LC_ALL");
        else setenv("LC_ALL", savedLocale.c_str(), 1);
        ToolScript::TearDown();
    }
    // Runs the program again on the registry the last run left (runScript
    // starts from the stored values instead).
    int runAgain(const std::string& script)
    {
        testsupport::writeFile(dir / "again.txt", script + "\nquit\n");
        return testsupport::run(q(testsupport::binaryDir() / "app" / "fotrix") + " --headless --screen 240x320 --script " +
                                q(dir / "again.txt") + " " + q(pictures.string() + "/") + " 2>" + q(dir / "stderr.txt"));
    }
    std::string savedLocale;
    fs::path copyIn(const std::string& testdataName, const std::string& as)
    {
        fs::path source = testsupport::testdata(testdataName);
        if (!fs::exists(source)) return {};
        fs::path target = pictures / as;
        fs::copy_file(source, target, fs::copy_options::overwrite_existing);
        chmod(target.c_str(), 0644);  // the test data itself is read-only
        return target;
    }
    std::string stateLine(const std::string& name) { return "state \"" + (dir / (name + ".txt")).string() + "\"\n"; }
    std::string saved(const std::string& name) { return readText(dir / (name + ".txt")); }
    std::string tool(const std::string& command)
    {
        std::string out;
        testsupport::run(command + " > " + q(dir / "tool.txt") + " 2>/dev/null");
        return readText(dir / "tool.txt");
    }
    std::string exiftool(const fs::path& file, const std::string& tags)
    {
        return tool("exiftool -charset iptc=UTF8 -s3 " + tags + " " + q(file));
    }
    // Opens the editor on the selection, types into the given fields of the
    // Caption page (page 3) and answers OK to the sheet and to the question.
    std::string editAndWrite(const std::map<int, std::string>& fields)
    {
        std::string script = "idle\ncommand " + std::to_string(kCmdSelectAll) + "\ncommand " +
                             std::to_string(kCmdIptcEdit) + "\n" + editorTab(2);
        for (const auto& [dataset, text] : fields)
            script += "dialog-text " + std::to_string(kField + dataset) + " \"" + text + "\"\n";
        return script + "dialog-command 1\n" + stateLine("question") + "dialog-command 1\n";
    }
};

TEST_F(PropertiesScript, sheet_pages_show_what_the_command_line_lister_prints)
{
    std::vector<fs::path> files;
    for (const char* name : {"exiftool/Canon.jpg", "exiftool/GPS.jpg", "exiftool/Nikon.jpg"}) {
        fs::path p = copyIn(name, fs::path(name).filename().string());
        if (!p.empty()) files.push_back(p);
    }
    if (files.size() < 3) SKIP_MISSING("camera test files");
    fs::path cli = testsupport::binaryDir() / "cli" / "fotrix-cli";
    if (!fs::exists(cli)) SKIP_MISSING("fotrix-cli not built");
    std::string script = "idle\ncommand " + std::to_string(kCmdSelectAll) + "\ncommand " +
                         std::to_string(kCmdProperties) + "\n" + stateLine("infos") + sheetTab(1);
    for (size_t i = 0; i < files.size(); ++i)
    {
        script += stateLine("exif" + std::to_string(i));
        if (i + 1 < files.size()) script += "dialog-command " + std::to_string(kNext) + "\n";
    }
    script += sheetTab(2) + stateLine("iptc") + "dialog-command 2\n";
    ASSERT_EQ(runScript(script), 0) << readText(dir / "stderr.txt");

    std::string infos = saved("infos");
    EXPECT_EQ(keyOf(infos, "sheet"), "properties");
    EXPECT_EQ(keyOf(infos, "page"), "Infos");
    std::vector<std::string> infoRows = rowsOf(infos);
    ASSERT_EQ(infoRows.size(), 9u);
    EXPECT_EQ(infoRows[0], "Folder | " + pictures.string() + "/");
    EXPECT_EQ(infoRows[1], "Name | Canon.jpg");
    EXPECT_EQ(infoRows[4], "Format | JPEG");
    std::string size = tool("identify -format '%w x %h' " + q(files[0]));
    EXPECT_EQ(infoRows[5], "Dimensions | " + size);

    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].string());
        std::string state = saved("exif" + std::to_string(i));
        EXPECT_EQ(keyOf(state, "page"), "EXIF");
        std::vector<std::string> expected;
        std::istringstream lines(tool(q(cli) + " exif " + q(files[i])));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.front() == '[') {
                expected.push_back(" | ");
                continue;
            }
            size_t tab = line.find('\t');
            std::string label = line.substr(0, tab), value = tab == std::string::npos ? "" : line.substr(tab + 1);
            expected.push_back(label.substr(0, 128) + " | " + value.substr(0, 128));
        }
        std::vector<std::string> shown;
        for (const std::string& row : rowsOf(state))
            if (row.find(" (decimal) | ") == std::string::npos) shown.push_back(row);
        EXPECT_GT(expected.size(), 10u);
        EXPECT_EQ(shown, expected);
    }
    // GPS.jpg, the second picture, also gives its position in decimal degrees.
    std::string gps = saved("exif1");
    std::string exiftoolLatitude = tool("exiftool -n -s3 -GPSLatitude " + q(files[1]));
    ASSERT_NE(gps.find("row: Latitude (decimal) | "), std::string::npos);
    double shown = std::stod(gps.substr(gps.find("row: Latitude (decimal) | ") + 26));
    EXPECT_NEAR(shown, std::stod(exiftoolLatitude), 1e-4);
}

TEST_F(PropertiesScript, editor_pages_show_the_record_and_write_it_after_the_question)
{
    fs::path picture = copyIn("exiftool/ExifTool.jpg", "picture.jpg");
    if (picture.empty()) SKIP_MISSING("ExifTool.jpg");
    if (!testsupport::haveTool("exiv2")) SKIP_MISSING("exiv2");
    std::vector<uint8_t> before = testsupport::readFile(picture);
    std::string script = "idle\ncommand " + std::to_string(kCmdSelectAll) + "\ncommand " +
                         std::to_string(kCmdIptcEdit) + "\n" + stateLine("page0");
    // Every page: what it shows of the picture's record, then new values.
    script += editorTab(1) + "dialog-text 2080 \"Ann Author\"\ndialog-select 2010 5\n" + stateLine("page1");
    // The caption typed into the multi-line field: Return breaks its line.
    script += editorTab(2) + "dialog-text 2120 \"\"\n" + tap(kCaptionX, kCaptionY) +
              "text \"First line\"\nkey RETURN\ntext \"second line\"\n" + stateLine("page2");
    script += editorTab(3) + "dialog-text " + std::to_string(kListItem) + " \"lake\"\ndialog-command " +
              std::to_string(kListAdd) + "\n" + stateLine("page3");
    script += editorTab(4) + "dialog-text 2015 \"TRV\"\n" + stateLine("page4");
    script += editorTab(5) + "dialog-text 2090 \"Z\xC3\xBCrich\"\n" + stateLine("page5");
    script += "dialog-command 1\n" + stateLine("question") + "dialog-command 1\n";
    ASSERT_EQ(runScript(script), 0) << readText(dir / "stderr.txt");

    EXPECT_EQ(keyOf(saved("page0"), "sheet"), "iptc");
    std::vector<std::string> info = rowsOf(saved("page0"));
    ASSERT_EQ(info.size(), 6u);
    EXPECT_EQ(info[0], "File: picture.jpg | ");
    EXPECT_EQ(keyOf(saved("page1"), "page"), "Credits");
    EXPECT_NE(saved("page1").find("row: By-line: | Ann Author\n"), std::string::npos);
    EXPECT_NE(saved("page1").find("row: Urgency: | 5 (normal)\n"), std::string::npos);
    EXPECT_NE(saved("page2").find("row: Caption: | First line\\nsecond line\n"), std::string::npos) << saved("page2");
    EXPECT_NE(saved("page3").find("row: Keywords | lake\n"), std::string::npos);
    EXPECT_EQ(keyOf(saved("question"), "message"), "Write the IPTC information into the selected pictures?");

    EXPECT_EQ(exiftool(picture, "-IPTC:By-line -IPTC:Urgency# -IPTC:Category -IPTC:City -IPTC:OriginatingProgram"),
              "Ann Author\n5\nTRV\nZ\xC3\xBCrich\nFotrix Pocket\n");
    // The line break is kept as one LF (exiftool's -b prints the value raw).
    EXPECT_EQ(exiftool(picture, "-b -IPTC:Caption-Abstract"), "First line\nsecond line");
    EXPECT_EQ(tool("exiv2 -q -K Iptc.Application2.Caption -Pv " + q(picture)), "First line\nsecond line\n");
    std::string keywords = exiftool(picture, "-IPTC:Keywords");
    EXPECT_NE(keywords.find("lake"), std::string::npos);
    EXPECT_EQ(tool("exiv2 -q -K Iptc.Application2.Byline -Pv " + q(picture)), "Ann Author\n");
    EXPECT_EQ(withoutApp13(testsupport::readFile(picture)), withoutApp13(before));  // XMP, EXIF and the scan kept
}

TEST_F(PropertiesScript, cancelling_the_question_leaves_the_picture_alone)
{
    fs::path picture = copyIn("exiftool/Canon.jpg", "a.jpg");
    if (picture.empty()) SKIP_MISSING("Canon.jpg");
    std::vector<uint8_t> before = testsupport::readFile(picture);
    std::string script = editAndWrite({{120, "never"}});
    script.replace(script.rfind("dialog-command 1"), 16, "dialog-command 2");
    ASSERT_EQ(runScript(script), 0) << readText(dir / "stderr.txt");
    EXPECT_EQ(testsupport::readFile(picture), before);
}

TEST_F(PropertiesScript, applying_writes_every_selected_jpeg)
{
    std::vector<fs::path> files;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) files.push_back(copyIn("exiftool/Canon.jpg", name));
    if (files[0].empty()) SKIP_MISSING("Canon.jpg");
    ASSERT_EQ(runScript(editAndWrite({{120, "Same caption"}})), 0) << readText(dir / "stderr.txt");
    for (const fs::path& f : files) EXPECT_EQ(exiftool(f, "-IPTC:Caption-Abstract"), "Same caption\n") << f;
}

TEST_F(PropertiesScript, a_read_only_picture_gives_the_failure_message_and_stays_intact)
{
    fs::path picture = copyIn("exiftool/Canon.jpg", "locked.jpg");
    if (picture.empty()) SKIP_MISSING("Canon.jpg");
    chmod(picture.c_str(), 0444);
    std::vector<uint8_t> before = testsupport::readFile(picture);
    ASSERT_EQ(runScript(editAndWrite({{120, "never"}}) + stateLine("failed")), 0) << readText(dir / "stderr.txt");
    chmod(picture.c_str(), 0644);
    EXPECT_EQ(keyOf(saved("failed"), "message"), "The picture could not be saved.");
    EXPECT_EQ(testsupport::readFile(picture), before);
}

TEST_F(PropertiesScript, over_long_values_are_cut_at_a_whole_character)
{
    fs::path picture = copyIn("exiftool/Canon.jpg", "a.jpg");
    if (picture.empty()) SKIP_MISSING("Canon.jpg");
    // The writer's dataset holds 32 bytes: 31 ASCII letters and then "ü" do not fit.
    std::string writer = std::string(31, 'w') + "\xC3\xBC" + "tail";
    ASSERT_EQ(runScript(editAndWrite({{122, writer}})), 0) << readText(dir / "stderr.txt");
    EXPECT_EQ(exiftool(picture, "-IPTC:Writer-Editor"), std::string(31, 'w') + "\n");
}

TEST_F(PropertiesScript, templates_survive_a_restart_and_bad_names_are_refused)
{
    fs::path picture = copyIn("exiftool/Canon.jpg", "a.jpg");
    if (picture.empty()) SKIP_MISSING("Canon.jpg");
    std::string open = "idle\ncommand " + std::to_string(kCmdSelectAll) + "\ncommand " + std::to_string(kCmdIptcEdit) + "\n";
    std::string save = open + editorTab(2) + "dialog-text 2120 \"From a template: yes\"\n" +
                       editorTab(0) + "dialog-command " + std::to_string(kTemplateSave) + "\n" +
                       "dialog-text " + std::to_string(kTemplateName) + " \"bad\\\\name\"\ndialog-command " +
                       std::to_string(kTemplateStore) + "\n" + stateLine("refused") + "dialog-command 1\n" +
                       "dialog-text " + std::to_string(kTemplateName) + " \"Holiday\"\ndialog-command " +
                       std::to_string(kTemplateStore) + "\ndialog-command 2\n";
    ASSERT_EQ(runScript(save), 0) << readText(dir / "stderr.txt");
    EXPECT_EQ(keyOf(saved("refused"), "message"), "This name cannot be used for a template.");
    // A new run reads the registry the first one wrote.
    std::string load = open + "dialog-command " + std::to_string(kTemplateLoad) + "\ndialog-select " +
                       std::to_string(kTemplateNames) + " 0\n" + "dialog-command " + std::to_string(kTemplateOpen) +
                       "\n" + editorTab(2) + stateLine("loaded") + "dialog-command 2\n";
    ASSERT_EQ(runAgain(load), 0) << readText(dir / "stderr.txt");
    EXPECT_NE(saved("loaded").find("row: Caption: | From a template: yes\n"), std::string::npos) << saved("loaded");
    EXPECT_NE(readText(dir / "config" / "user.reg").find("Holiday"), std::string::npos);
}

TEST_F(PropertiesScript, damaged_pictures_open_the_sheet_with_what_can_be_read)
{
    fs::path whole = copyIn("exiftool/Canon.jpg", "whole.jpg");
    if (whole.empty()) SKIP_MISSING("Canon.jpg");
    // Cut inside the EXIF segment, and a Photoshop segment whose dataset claims more than it holds.
    std::vector<uint8_t> bytes = testsupport::readFile(whole);
    testsupport::writeFile(pictures / "cut.jpg", std::string(bytes.begin(), bytes.begin() + 1500));
    std::string body = std::string("Photoshop 3.0") + '\0' + "8BIM\x04\x04" + std::string(4, '\0') +
                       "\x00\x40\x1C\x02\x78\x7F\xFFshort";
    std::string app13 = std::string("\xFF\xED") + static_cast<char>((body.size() + 2) >> 8) +
                        static_cast<char>((body.size() + 2) & 0xFF) + body;
    testsupport::writeFile(pictures / "iptc.jpg", std::string(bytes.begin(), bytes.begin() + 2) + app13 +
                                                      std::string(bytes.begin() + 2, bytes.end()));
    fs::remove(whole);
    std::string script = "idle\ncommand " + std::to_string(kCmdSelectAll) + "\ncommand " +
                         std::to_string(kCmdProperties) + "\n" + stateLine("cut-infos") + sheetTab(1) +
                         stateLine("cut-exif") + "dialog-command " + std::to_string(kNext) + "\n" + stateLine("iptc-exif") + sheetTab(2) +
                         stateLine("iptc") + "dialog-command 2\n";
    ASSERT_EQ(runScript(script), 0) << readText(dir / "stderr.txt");
    std::vector<std::string> infos = rowsOf(saved("cut-infos"));
    ASSERT_EQ(infos.size(), 9u);
    EXPECT_EQ(infos[1], "Name | cut.jpg");
    EXPECT_EQ(keyOf(saved("cut-exif"), "page"), "EXIF");
    EXPECT_EQ(keyOf(saved("iptc"), "page"), "IPTC");
    EXPECT_EQ(keyOf(saved("iptc"), "sheet"), "properties");
    // The EXIF of the picture with the broken IPTC is still read whole.
    EXPECT_NE(saved("iptc-exif").find("row: Camera Model | Canon EOS DIGITAL REBEL"), std::string::npos)
        << saved("iptc-exif");
}

}  // namespace
