#include "tests/app/tools_rotate_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace toolstest {

namespace fs = std::filesystem;

namespace {

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

std::string program() { return (testsupport::binaryDir() / "app" / "fotrix").string(); }

std::string readText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

bool haveImageTools()
{
    return testsupport::haveTool("convert") && testsupport::haveTool("identify") && testsupport::haveTool("cjpeg") &&
           testsupport::haveTool("exiftool");
}

void ToolScript::SetUp()
{
    if (!fs::exists(program())) SKIP_MISSING("fotrix is not built");
    if (!haveImageTools()) SKIP_MISSING("convert, identify, cjpeg or exiftool missing");
    fs::create_directories(dir / "config");
    fs::create_directories(dir / "home");
    pictures = dir / "pictures";
    fs::create_directories(pictures);
    setenv("FOTRIX_CONFIG_DIR", (dir / "config").c_str(), 1);
    setenv("FOTRIX_HOME", (dir / "home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    storeNumber("General", "UseSplashScreen", 0);
}

void ToolScript::TearDown()
{
    unsetenv("FOTRIX_CONFIG_DIR");
    unsetenv("FOTRIX_HOME");
    unsetenv("XDG_RUNTIME_DIR");
}

void ToolScript::storeNumber(const std::string& section, const std::string& name, int value)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(value));
    registry_ += "\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\" + section + "]\n\"" + name + "\"=dword:" + hex + "\n";
}

void ToolScript::storeText(const std::string& section, const std::string& name, const std::string& value)
{
    registry_ += "\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\" + section + "]\n\"" + name + "\"=\"" + value + "\"\n";
}

int ToolScript::runScript(const std::string& script)
{
    testsupport::writeFile(dir / "config" / "user.reg", "REGEDIT4\n" + registry_);
    const fs::path statePath = dir / "state.txt";
    fs::remove(statePath);
    testsupport::writeFile(dir / "script.txt", script + "\nstate " + statePath.string() + "\nquit\n");
    int status = testsupport::run(q(program()) + " --headless --screen 240x320 --script " + q(dir / "script.txt") +
                                  " " + q(pictures.string() + "/") + " 2>" + q(dir / "stderr.txt"));
    stateText = readText(statePath);
    return status;
}

std::string ToolScript::state(const std::string& key) const
{
    std::istringstream lines(stateText);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "<missing>";
}

fs::path ToolScript::makeJpeg(const std::string& name, int width, int height, int orientation)
{
    fs::path ppm = dir / "source.ppm", jpeg = pictures / name;
    std::string geometry = std::to_string(width) + "x" + std::to_string(height);
    EXPECT_EQ(testsupport::run("convert -size " + geometry + " gradient:orange-navy " + q(ppm)), 0);
    EXPECT_EQ(testsupport::run("cjpeg -sample 2x2 -quality 92 " + q(ppm) + " > " + q(jpeg)), 0);
    EXPECT_EQ(testsupport::run("exiftool -q -overwrite_original -n -Orientation=" + std::to_string(orientation) +
                               " -ExifImageWidth=" + std::to_string(width) + " -ExifImageHeight=" +
                               std::to_string(height) + " -Artist=Tester " + q(jpeg)),
              0);
    return jpeg;
}

std::string ToolScript::exif(const fs::path& file, const std::string& tags)
{
    std::string out;
    EXPECT_EQ(testsupport::run("exiftool -n -s -s " + tags + " " + q(file) + " | sed 's/: /=/' | tr '\\n' ' '", &out),
              0);
    return out;
}

std::string ToolScript::size(const fs::path& file)
{
    std::string out;
    EXPECT_EQ(testsupport::run("identify -format '%wx%h' " + q(file), &out), 0);
    return out;
}

}  // namespace toolstest
