#include "tests/app/tools_sheet_fixture.h"

#include "app/browser/browser.h"
#include "app/script/script.h"
#include "platform/windows.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace toolstest {

void ToolsWindow::SetUp()
{
    ShellWindow::SetUp();
    hasImageMagick = std::system("command -v convert >/dev/null 2>&1") == 0;
    hasExiftool = std::system("command -v exiftool >/dev/null 2>&1") == 0;
    createMain();
}

std::string ToolsWindow::output(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) out += buffer.data();
    pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

void ToolsWindow::makePictures(const std::vector<std::string>& names, int width, int height)
{
    std::filesystem::path folder = dir / "pictures";
    std::filesystem::create_directories(folder);
    for (const std::string& name : names) {
        std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                              " gradient:red-blue 'jpeg:" + (folder / name).string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    ASSERT_TRUE(fotrix::NavigateTo(folder.string() + "/"));
    settle();
    ASSERT_EQ(fotrix::fileCount(), static_cast<int>(names.size()));
}

void ToolsWindow::runScript(const std::string& text)
{
    std::string path = (dir / "script.txt").string();
    testsupport::writeFile(path, text + "\nquit\n");
    std::string error;
    ASSERT_EQ(fotrix::ScriptLoad(path.c_str(), &error), 0) << error;
    fotrix::ScriptStart();
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    fotrix::ScriptStop();
    EXPECT_TRUE(fotrix::ScriptFinished());
    EXPECT_EQ(fotrix::ScriptExitCode(), 0);
    main = nullptr;  // File > Exit destroyed it
}

std::string ToolsWindow::stateValue(const std::string& stateFile, const std::string& key) const
{
    std::ifstream in(dir / stateFile);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
    return "(missing)";
}

}  // namespace toolstest
