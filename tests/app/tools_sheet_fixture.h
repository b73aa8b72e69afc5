#pragma once
// The real main window over a folder of pictures made with ImageMagick,
// driven by scripts of the program's own script driver, with helpers that
// read the files the tools wrote back through other tools.
#include "tests/app/shell_fixture.h"

#include <string>
#include <vector>

namespace toolstest {

class ToolsWindow : public shelltest::ShellWindow {
protected:
    void SetUp() override;
    // JPEG pictures (a gradient, `width` x `height`) in dir/pictures, listed by the browser.
    void makePictures(const std::vector<std::string>& names, int width = 64, int height = 48);
    std::string picture(const std::string& name) const { return (dir / "pictures" / name).string(); }
    // Runs `text` (without the final quit) in the program's message loop until it ends.
    void runScript(const std::string& text);
    // A value of a state file the script wrote into dir.
    std::string stateValue(const std::string& stateFile, const std::string& key) const;
    // stdout of a shell command (empty on failure).
    static std::string output(const std::string& command);
    bool hasImageMagick = false;
    bool hasExiftool = false;
};

}  // namespace toolstest
