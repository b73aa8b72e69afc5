#pragma once
// Building the two products of a show from a list of pictures: an album (a
// zip archive with "config", the prepared pictures and the sound) and a
// self-running slideshow (the slideshow program followed by the show).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/album/core/slideshow_settings.h"

namespace fotrix {

// Called before each picture with its path, index and total (count + 1), and
// once at the end with an empty text and index = count; false stops the build.
using BuildProgress = std::function<bool(const std::string& text, int index, int total)>;

enum class BuildResult {
    Done,
    CannotCreate,  // "Can't create file": the output (or a temporary) cannot be written
    NoStub,        // "Can't find stub fotrix-slide": the slideshow program is missing
    Stopped,       // the user stopped: nothing was written
};

struct BuildJob {
    std::vector<std::string> pictures;  // full paths, in showing order
    SlideshowSettings settings;
    bool portraitScreen = false;
    std::string temporaryFolder;        // where each prepared picture waits to be added
    BuildProgress progress;             // may be empty
};

// The product's path: outputDir + outputName.
std::string buildOutputPath(const SlideshowSettings& settings);
// `name` with its extension (if any) replaced by `extension` (".alb", ".run").
std::string replaceExtension(const std::string& name, const std::string& extension);

// The slideshow program to copy: "fotrix-slide" beside the running program
// (or in the build tree's app/ beside cli/), else where it is installed.
// Empty when none is found.
std::string findSlideshowStub();

// Both replace an existing product only when the new one is complete.
BuildResult albumBuild(const BuildJob& job);
// `stubPath` is the slideshow program copied in front; `background` 0x00BBGGRR.
BuildResult selfRunningBuild(const BuildJob& job, const std::string& stubPath, uint32_t background);

}  // namespace fotrix
