#pragma once
// A registry of the test's own: FOTRIX_CONFIG_DIR points at a fresh temporary
// folder, so no test reads or writes the user's settings.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace testsupport {

// The registry starts empty in `dir` before each test and is dropped after it
// (a fixture that adds its own steps calls these first in SetUp, last in TearDown).
class RegistryFixture : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override;
    void TearDown() override;
};

}  // namespace testsupport
