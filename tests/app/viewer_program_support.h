#pragma once
// The real program run headless on a picture with a script: for viewer tests
// that go through the script driver as a user would.
#include "tests/support/test_support.h"

#include <filesystem>
#include <string>

namespace viewertest {

class ProgramRun {
public:
    // Folders config/, home/ and pics/ under `dir`.
    explicit ProgramRun(const std::filesystem::path& dir);
    bool built() const;
    // Runs fotrix at 240 x 320 (or `screen`) on `path` with "idle", `lines`
    // and "quit"; the exit status (0 when the script ran through), with the
    // program's stderr in `errors`.
    int run(const std::filesystem::path& path, const std::string& lines, const std::string& screen = "240x320");
    std::string errors() const;
    // The value of `key` in a state file the script wrote into the folder.
    std::string state(const std::string& file, const std::string& key) const;
    // Settings stored before the run: "Name"=dword:... lines of the General section.
    void storeSettings(const std::string& lines);

private:
    std::filesystem::path dir_;
};

}  // namespace viewertest
