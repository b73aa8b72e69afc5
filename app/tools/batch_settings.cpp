#include "app/tools/batch_settings.h"

#include "app/settings.h"
#include "imagelib/colours.h"
#include "imagelib/formats.h"

#include <algorithm>

namespace fotrix {

namespace {

constexpr const char* kFormatNames[OutputFormatCount] = {"jpeg", "gif", "bmp", "png", "tga"};

// Depth list index to colour mode: black and white, 16 colours, 256 colours, true colour.
constexpr int kDepthModes[] = {ColourBinary, ColourPalette16, ColourPalette256, ColourRgb};

int depthMode(int index, int lastIndex)
{
    if (index < 0 || index > lastIndex) index = lastIndex;
    return kDepthModes[index];
}

}  // namespace

const char* OutputFormatName(int format)
{
    return format >= 0 && format < OutputFormatCount ? kFormatNames[format] : kFormatNames[0];
}

int OutputFormatIndex(int format) { return formatFindByName(OutputFormatName(format)); }

int OutputColourMode(const ConvertSettings& settings)
{
    switch (settings.format) {
    case OutputGif:
        return depthMode(settings.gifMode, 2);
    case OutputBmp:
        return depthMode(settings.bmpMode, 3);
    case OutputPng:
        return depthMode(settings.pngMode, 3);
    default:  // JPEG, and Targa whose writer takes true colour
        return ColourRgb;
    }
}

ConvertSettings ReadConvertSettings()
{
    ConvertSettings s;
    s.format = std::clamp<int>(ReadNumber("Convert", "Format", 0), 0, OutputFormatCount - 1);
    s.pngCompression = std::clamp<int>(ReadNumber("Convert", "PngCompression", 7), 1, 9);
    s.gifMode = std::clamp<int>(ReadNumber("Convert", "GifMode", 2), 0, 2);
    s.bmpMode = std::clamp<int>(ReadNumber("Convert", "BmpMode", 3), 0, 3);
    s.pngMode = std::clamp<int>(ReadNumber("Convert", "PngMode", 3), 0, 3);
    s.jpegQuality = std::clamp<int>(ReadNumber("Convert", "JPEGQuality", 80), 1, 100);
    return s;
}

void WriteConvertSettings(const ConvertSettings& s)
{
    WriteNumber("Convert", "Format", s.format);
    WriteNumber("Convert", "PngCompression", s.pngCompression);
    WriteNumber("Convert", "GifMode", s.gifMode);
    WriteNumber("Convert", "BmpMode", s.bmpMode);
    WriteNumber("Convert", "PngMode", s.pngMode);
    WriteNumber("Convert", "JPEGQuality", s.jpegQuality);
}

FolderSettings ReadFolderSettings()
{
    FolderSettings s;
    ReadText("Folder", "Prefix", "", s.prefix, kFolderTextLimit + 1);
    ReadText("Folder", "Suffix", "_m", s.suffix, kFolderTextLimit + 1);
    s.keepTime = ReadNumber("Folder", "KeepTime", 1) != 0;
    return s;
}

void WriteFolderSettings(const FolderSettings& s)
{
    WriteText("Folder", "Prefix", s.prefix.c_str());
    WriteText("Folder", "Suffix", s.suffix.c_str());
    WriteNumber("Folder", "KeepTime", s.keepTime ? 1 : 0);
}

}  // namespace fotrix
