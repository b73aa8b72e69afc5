#pragma once
// Runs the real `fotrix` program headless on a folder of pictures with a
// script, its registry, home and runtime folder in a scratch folder, so the
// batch tools are driven as a user would drive them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

namespace toolstest {

class ToolScript : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::filesystem::path pictures;

    void SetUp() override;
    void TearDown() override;

    // Registry values under "Software\Fotrix Pocket\<section>" written before the run.
    void storeNumber(const std::string& section, const std::string& name, int value);
    void storeText(const std::string& section, const std::string& name, const std::string& value);
    // Runs the script (a `state` line and `quit` are added) on the pictures
    // folder; returns the program's exit status. `state()` then holds the
    // state written at the end.
    int runScript(const std::string& script);
    std::string state(const std::string& key) const;
    std::string stateText;

    // A JPEG made by ImageMagick and cjpeg, with EXIF pixel size and
    // orientation written by exiftool.
    std::filesystem::path makeJpeg(const std::string& name, int width, int height, int orientation = 1);
    // "key=value ..." as exiftool reads them (-n), for the tags asked.
    std::string exif(const std::filesystem::path& file, const std::string& tags);
    // "WxH" as ImageMagick's identify reads it.
    std::string size(const std::filesystem::path& file);

private:
    std::string registry_;
};

bool haveImageTools();

}  // namespace toolstest
