#pragma once
// Main-view tests: a main window of the test's own with the main view in it
// (240 x 268, as below a menu bar), the message boxes it showed (answered
// with OK) and the commands it heard, and pictures listed as FileList entries.
#include "app/viewer/main_view.h"
#include "app/viewer/main_view_internal.h"
#include "imagelib/formats.h"
#include "imagelib/save.h"
#include "tests/app/viewer_fixture.h"

#include <string>
#include <vector>

namespace viewertest {

// Title and texts ("title|text|...|") of each message box shown.
extern std::vector<std::string> boxTexts;
// WM_COMMAND ids the main window heard.
extern std::vector<int> commands;

class MainView : public ViewerTest {
protected:
    testsupport::TempDir dir;
    void SetUp() override;
    void TearDown() override;
    // A JPEG of the pattern, listed as entry `files.size()`.
    int addJpeg(const std::string& name, int width, int height);
    int addFile(const std::string& path);
};

}  // namespace viewertest
