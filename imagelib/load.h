#pragma once
// The load pipeline, caller side: options, the file description handed back,
// and the two entry points loadBitmap and getFileInfo.
#include <cstdint>
#include <string>

#include "imagelib/bitmap.h"
#include "imagelib/result.h"

namespace fotrix {

enum LoadOptions : uint32_t {
    ForceTrueColour = 2,
    NoAlpha = 4,
    ForceAlpha = 8,
    ToleratePartial = 1024,
    Preview = 2048,
    ExtensionOnly = 4096,
    ReadComment = 65536,
    ReadTextInfo = 131072,
    ReadMetadata = 262144,
    ExpandBinary = 524288,
    KeepCmyk = 1048576,
    KeepDeep = 2097152,
    NoPixels = 4194304,
    FullPicture = 16777216,  // the reader delivers the whole picture; reduction comes after
    InfoOnly = 67108864,
    EstimateQuality = 134217728,
    // Pictures with an embedded ICC profile are converted to sRGB (CMYK ones
    // through their profile) and the profile is dropped; without it the
    // samples keep the file's own values.
    ConvertToSrgb = 268435456,
    // Camera raw files: decode the sensor data into the full picture rather
    // than show the embedded preview (which is what they give otherwise,
    // unless they have none).
    DecodeRawSensor = 536870912,
};

enum ScaleMethod : uint32_t { ScaleNearest = 0, ScaleAreaAverage = 2 };

using RowCallback = int (*)(int row, int totalRows, void* data);
using AllocCallback = uint8_t* (*)(int width, int height, int components, int bitsPerComponent,
                                   int rowAlignment, uint32_t bytesPerRow, void* data);
using ProgressPercentCallback = void (*)(int percent, void* data);
using CancelCallback = int (*)(void* data);

struct LoadParams {
    uint16_t channelOrder = 0;  // 0 Rgb/Rgba, 1 Bgr/Abgr, 2 Bgr/Bgra, 3 Bgr/Argb
    int16_t formatIndex = -1;
    uint16_t origin = 0;
    uint32_t options = 0;
    uint32_t frameIndex = 0;
    uint16_t rowAlignment = 4;
    uint8_t fillAlpha = 255;
    uint32_t scaleMethod = ScaleNearest;
    int32_t maxWidth = -1;
    int32_t maxHeight = -1;
    void* rowCallbackData = nullptr;
    RowCallback rowCallback = nullptr;
    AllocCallback allocCallback = nullptr;
    void* allocCallbackData = nullptr;
    ProgressPercentCallback progressCallback = nullptr;
    void* progressData = nullptr;
    CancelCallback cancelCallback = nullptr;
    void* cancelData = nullptr;
    uint8_t pngFlattenIndexed = 0;
    uint8_t pngFlattenAlpha = 0;
    uint8_t rawPreview = 0;
    uint8_t psdDropExtraChannels = 0;
    uint8_t icoMaskAsAlpha = 0;
    // Camera-raw settings, handed unchanged to the raw decoder.
    uint8_t rawSettings[4] = {};
    float rawFactors[7] = {0.6f, 0.8f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f};
};

void loadParamsDefaults(LoadParams& params);

constexpr int FileInfoMaxTexts = 32;

struct FileInfo {
    uint32_t fileSize = 0;
    uint16_t formatIndex = 0;
    uint16_t fileOrigin = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerComponent = 0;
    uint16_t componentCount = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPlane = 0;
    uint32_t bytesPerPlane = 0;
    uint16_t dpiX = 0;
    uint16_t dpiY = 0;
    uint16_t compression = 0;
    uint16_t colourModel = 0;
    uint32_t imageCount = 0;
    uint32_t readerValues[3] = {};  // the third: JPEG quality estimate
    char description[64] = {};
    char* comment = nullptr;
    int32_t textCount = 0;
    char* texts[FileInfoMaxTexts] = {};
    char compressionText[32] = {};
    MetadataBlock* metadata = nullptr;
    char errorText[64] = {};
    uint32_t orientation = 0;  // 2: turn a quarter left, 4: a quarter right
};

// Loads a picture. On success `bitmap` is filled; on failure it is left empty.
// `info` may be null.
int loadBitmap(const std::string& fileName, Bitmap& bitmap, const LoadParams& params, FileInfo* info);

// Describes a file without reading its pixels (image `frameIndex` of a
// multi-image file). `info` is cleared first: free an earlier result with
// freeFileInfo before reusing the record.
int getFileInfo(const std::string& fileName, int formatIndex, uint32_t options, FileInfo& info,
                uint32_t frameIndex = 0);

void freeFileInfo(FileInfo& info);

}  // namespace fotrix
