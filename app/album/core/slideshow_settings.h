#pragma once
// The settings of one album or self-running slideshow build, as the wizard
// collects them and the "Slide" settings key stores them.
#include <string>

namespace fotrix {

struct SlideshowSettings {
    int delay = 5;          // seconds per picture
    int size = 0;           // 0 keep, 1 240x180, 2 320x240, 3 640x480, 4 800x600, 5 1024x768
    int fit = 0;            // also enlarge pictures smaller than the box
    int rotate = 0;         // 0 never, 1 left, 2 right: landscape pictures on a portrait screen
    int autoLevels = 0;
    int jpegQuality = 80;   // 1..100
    int transitions = 0;
    int audio = 0;
    int loop = 1;
    std::string soundPath;
    std::string outputDir;  // ends with a slash, or empty for the working folder
    std::string outputName = "album";
};

}  // namespace fotrix
