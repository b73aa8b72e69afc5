// Starts the image library once for the whole suite.
#include <gtest/gtest.h>

#include "imagelib/formats.h"

namespace {

class LibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override { fotrix::libraryInit(); }
    void TearDown() override { fotrix::libraryExit(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);

}  // namespace
