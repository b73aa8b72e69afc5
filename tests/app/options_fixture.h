#pragma once
// Headless runs of the options sheet and the start screen: a stand-in main
// window that records the commands it gets and runs a script of steps each
// time a modal loop over it goes idle, a temporary registry and language
// folder, and the built-in texts the pages show.
#include "app/shell/app_state.h"
#include "platform/windows.h"
#include "tests/support/dialog_script_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace optionstest {

using Step = testsupport::DialogStep;
using testsupport::kScriptRanOut;

class AppWindowTest : public ::testing::Test {
protected:
    void SetUp() override { start(240, 320, 96); }
    void TearDown() override;
    void start(int width, int height, int dpi);

    // Steps run one per idle turn of a modal loop; when they run out the
    // dialog ends with kScriptRanOut so that a test never hangs.
    void script(std::vector<Step> steps);
    bool scriptDone() const;
    // WM_COMMAND ids the stand-in main window received.
    std::vector<int> commands() const;

    void writeFile(const char* name, const std::string& text) { testsupport::writeFile(dir / name, text); }
    std::string screenshotPath(const std::string& name) const;

    testsupport::TempDir dir;
    HWND mainWindow = nullptr;
};

// Input and control helpers (queued input; controls set as the user would).
void tapAt(HWND w, int x, int y);
void stylusDown(HWND w, int x, int y);
void stylusUp(HWND w, int x, int y);
void keyPress(UINT vk);
void pump();
// Sets a check box to `on` by clicking it when it differs.
void setCheck(HWND dialog, int id, bool on);
// Chooses item `index` of a combo box and tells its owner, as the list does.
void chooseComboItem(HWND dialog, int id, int index);
void setText(HWND dialog, int id, const char* text);
HWND currentPage(HWND sheet);
void showPage(HWND sheet, int index);
void pressOk(HWND sheet);
void pressCancel(HWND sheet);
// Every text of a dialog's children, joined by "|".
std::string dialogTexts(HWND dialog);
bool saveScreen(const std::string& path);

}  // namespace optionstest
