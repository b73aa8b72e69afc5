#pragma once
// The settings every batch tool writes its output with: the output format
// and its depth and quality (ConvertSettings, registry key "Convert") and the
// output folder with the name prefix and suffix (FolderSettings, key
// "Folder"). The output-format and output-folder pages edit them; a tool
// reads them from those pages at the moment of Apply.
#include <string>

namespace fotrix {

// The formats the output-format page offers, in the order of its radio buttons.
enum OutputFormat : int { OutputJpeg = 0, OutputGif, OutputBmp, OutputPng, OutputTga, OutputFormatCount };

struct ConvertSettings {
    int format = OutputJpeg;
    int pngCompression = 7;  // zlib level 1..9
    int gifMode = 2;         // 0 black and white, 1 16 colours, 2 256 colours
    int bmpMode = 3;         // as gifMode, and 3 16 million colours
    int pngMode = 3;
    int jpegQuality = 80;    // 1..100
};

struct FolderSettings {
    std::string folder;         // empty: the folder of each source file
    std::string prefix;         // at most 64 characters
    std::string suffix = "_m";  // at most 64 characters
    bool keepTime = true;       // the output takes the source's modification time
};

constexpr int kFolderTextLimit = 64;

// The short name of the image library's format ("jpeg", "gif", ...).
const char* OutputFormatName(int format);
// The library's format index of an output format (-1 when it has none).
int OutputFormatIndex(int format);
// The colour mode a picture is converted to before it is written.
int OutputColourMode(const ConvertSettings& settings);

// Registry values, read when a page opens and written when its sheet ends with OK.
ConvertSettings ReadConvertSettings();
void WriteConvertSettings(const ConvertSettings& settings);
FolderSettings ReadFolderSettings();
void WriteFolderSettings(const FolderSettings& settings);

}  // namespace fotrix
