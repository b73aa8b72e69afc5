#pragma once
// A headless main window with the folder tree and the file list, wired as the
// shell wires them, on real folders in a temporary directory.
#include "app/browser/browser.h"
#include "app/browser/browser_internal.h"
#include "app/browser/thumbnail_worker.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>

namespace browsertest {

// A 24-bit BMP of the given size in one colour.
void writeBmp(const std::filesystem::path& path, int width, int height, uint8_t grey = 128);

// Answers for the modal dialogs and message boxes the main window opens: each
// time a dialog's loop is idle the next step gets the dialog (WM_ENTERIDLE).
// A dialog met when no step is left is cancelled and counted.
using DialogStep = std::function<void(HWND dialog)>;
void answerDialogs(std::deque<DialogStep> steps);
bool dialogStepsDone();
int unexpectedDialogs();
// The text of the message box `dialog`.
std::string messageBoxText(HWND dialog);
// Steps that press a button of the dialog.
DialogStep press(int id);

class BrowserWindow : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::TempDir configDir;  // settings and the thumbnail cache, apart from the pictures
    HWND main = nullptr;
    void SetUp() override;
    void TearDown() override;
    // The temporary folder as a browser folder path (ending in "/").
    std::string folder(const std::string& relative = "") const;
    // Runs messages until the worker is done and the queue is empty (at most `seconds` of real time).
    void settle(double seconds = 20);
    std::string itemText(int index, int column) const;
};

}  // namespace browsertest
