#pragma once
// A main window on the headless platform with the program's resources, its
// own registry, home and instance channel in a scratch folder, and a folder of
// pictures for the browser to list.
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

    // `count` pictures in a folder the browser shows.
    void fillList(int count);
    // Runs messages until the thumbnail worker is done.
    void settle();
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
