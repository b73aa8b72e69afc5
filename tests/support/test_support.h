#pragma once
// Helpers shared by the test suites: where the public test data lives, scratch
// folders that clean up after themselves, and running the tools we compare with.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testsupport {

// Folder of the public test suites (../shared/testdata beside the repository;
// FOTRIX_TESTDATA overrides it).
std::filesystem::path testdata(const std::string& relative = "");

// The build folder, where fotrix-cli and the other programs are.
std::filesystem::path binaryDir();
// The source tree (fuzz regression files, language files, scripts).
std::filesystem::path sourceDir();

// Whether a program is on PATH (tests that compare with other tools skip without it).
bool haveTool(const std::string& program);

// Whether FOTRIX_REQUIRE_TESTDATA=1: a missing corpus or tool then fails the
// test instead of skipping it (CI sets it, so nothing is skipped unnoticed).
bool requireTestdata();

// Runs a shell command; returns its exit status and, when asked, its stdout.
int run(const std::string& command, std::string* output = nullptr);

std::vector<uint8_t> readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void writeFile(const std::filesystem::path& path, const std::string& text);

// A fresh temporary folder removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A decoded PAM/PNM picture (P5, P6, P7) as 8-bit samples, for comparing our
// output with what other tools decode.
struct Pixels {
    int width = 0;
    int height = 0;
    int channels = 0;  // 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA (or CMYK)
    std::vector<uint8_t> data;
};
bool readPnm(const std::filesystem::path& path, Pixels& out);

// Decodes any picture with ImageMagick into 8-bit RGBA (skips when it is missing).
bool decodeWithMagick(const std::filesystem::path& picture, Pixels& out);

// Largest absolute difference of two pictures of the same size and channels; -1 when they differ in shape.
int maxDifference(const Pixels& a, const Pixels& b);
// Largest difference in red, green or blue of two RGBA pictures of the same size
// (alpha left out); -1 when they differ in size.
int rgbDifference(const Pixels& a, const Pixels& b);

// Converts a picture to RGBA (grey replicated, alpha 255 when absent).
Pixels toRgba(const Pixels& p);

}  // namespace testsupport

// Skips a test whose corpus or tool is missing, with the reason (which may be
// streamed: SKIP_MISSING("no " << tool)); fails it instead when test data is required.
#define SKIP_MISSING(reason)                                             \
    do {                                                                 \
        if (testsupport::requireTestdata())                              \
            GTEST_FAIL() << "required by FOTRIX_REQUIRE_TESTDATA: " << reason; \
        else                                                             \
            GTEST_SKIP() << reason;                                      \
    } while (0)
