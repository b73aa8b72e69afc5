#pragma once
// Shared steps of the codec suites: the library with the codec rows attached,
// pictures made by the codecs' own command-line tools, loads into RGBA.
#include <filesystem>
#include <functional>
#include <string>

#include "imagelib/load.h"
#include "tests/support/test_support.h"

namespace codectest {

// Index of a codec row, -1 when this build lacks it.
int formatIndex(const char* shortName);

struct Load {
    int code = -1;
    fotrix::FileInfo info;
    testsupport::Pixels pixels;  // RGBA
    ~Load() { fotrix::freeFileInfo(info); }
};

// Loads as 8-bit RGBA (ForceTrueColour + ForceAlpha); `adjust` may change the parameters.
void loadRgba(const std::filesystem::path& path, Load& load,
              const std::function<void(fotrix::LoadParams&)>& adjust = {});

// Runs a tool's command line; false (with the output in the failure message) when it fails.
bool runTool(const std::string& command);

// Source pictures from the shared corpus: an RGB photograph and a small RGBA picture.
std::filesystem::path photo();
std::filesystem::path alphaPicture();

}  // namespace codectest

// Skips (or fails, when test data is required) a test whose tool is missing.
#define REQUIRE_TOOL(tool)                                             \
    do {                                                               \
        if (!testsupport::haveTool(tool)) SKIP_MISSING("no " << tool); \
    } while (0)
