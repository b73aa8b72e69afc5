#pragma once
// A main window on the headless platform, with its own registry, home and
// instance channel in a scratch folder, a small menu 102 like the program's,
// and helpers that fill the file list directly.
#include "app/shell/app_state.h"
#include "platform/windows.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shelltest {

class ShellWindow : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    HWND main = nullptr;

    void SetUp() override;
    void TearDown() override;

    // Platform and registry only; the window comes with createMain().
    void startPlatform(int width = 240, int height = 320, int dpi = 96);
    void createMain();
    void destroyMain();
    // Stores a General number before the window reads the section.
    void storeNumber(const char* name, int value);

    // `count` pictures in the list (FileEntry and list item each).
    void fillList(int count);
    void select(const std::vector<int>& indexes);
    std::vector<int> selected() const;
    void command(int id);
    void key(UINT virtualKey);
    bool menuEnabled(int command) const;
    bool menuChecked(int command) const;
    int buttonState(int command) const;
    bool platformStarted = false;
};

}  // namespace shelltest
