#pragma once
// Preparing one picture for a show: loaded, fitted into the target box of the
// settings, turned for a portrait screen, made true colour, levelled, and
// written as a JPEG file, so that the show never decodes large files.
#include <string>

#include "app/album/core/slideshow_settings.h"

namespace fotrix {

struct PreparedSize {
    int width = 0;
    int height = 0;
    int turn = 0;  // 0, -90 or +90, applied after the resize
};

// The size a width x height picture gets from the settings on a screen that
// is portrait or not.
PreparedSize preparedSize(int width, int height, const SlideshowSettings& settings, bool portraitScreen);

// True when `target` was written.
bool slideshowPreparePicture(const std::string& source, const std::string& target,
                             const SlideshowSettings& settings, bool portraitScreen);

}  // namespace fotrix
