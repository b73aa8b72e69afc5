#pragma once
// Helpers of the JPEG and PNG reader tests: load a file into a bitmap that
// frees itself, and turn a bitmap into the Pixels that other tools' decodes
// are compared with.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"
#include "tests/support/bitmap_support.h"
#include "tests/support/test_support.h"

namespace readertest {

struct Loaded : testsupport::OwnedPicture {
    int code = -99;
};

inline fotrix::LoadParams paramsWith(uint32_t options, int formatIndex = -1)
{
    fotrix::LoadParams params;
    fotrix::loadParamsDefaults(params);
    params.options = options;
    params.formatIndex = static_cast<int16_t>(formatIndex);
    return params;
}

inline void load(Loaded& out, const std::filesystem::path& path, const fotrix::LoadParams& params)
{
    out.code = fotrix::loadBitmap(path.string(), out.bitmap, params, &out.info);
}

// The bitmap as 8-bit samples: grey levels scaled to 0..255, palettes
// looked up, channels in R, G, B(, A) order; CMYK as stored.
inline testsupport::Pixels toPixels(const fotrix::Bitmap& b)
{
    using namespace fotrix;
    testsupport::Pixels p;
    p.width = b.width;
    p.height = b.height;
    const bool one = b.type == Binary || b.type == Grey;
    p.channels = one ? 1 : (b.type == Indexed || b.type == Rgb || b.type == Bgr) ? 3 : 4;
    p.data.resize(static_cast<size_t>(p.width) * p.height * p.channels);
    const int bits = b.type == Grey ? (b.bitsPerComponent ? b.bitsPerComponent : 8) : 8;
    for (int y = 0; y < b.height; ++y) {
        const uint8_t* row = bitmapRow(b, y);
        uint8_t* out = &p.data[static_cast<size_t>(y) * p.width * p.channels];
        for (int x = 0; x < b.width; ++x) {
            uint8_t* d = out + static_cast<size_t>(x) * p.channels;
            switch (b.type) {
            case Binary: d[0] = bitGet(row, x) ? 255 : 0; break;
            case Grey: d[0] = static_cast<uint8_t>(row[x] * 255 / ((1 << bits) - 1)); break;
            case Indexed:
                d[0] = b.palette[PaletteRed + row[x]];
                d[1] = b.palette[PaletteGreen + row[x]];
                d[2] = b.palette[PaletteBlue + row[x]];
                break;
            case Rgb: std::memcpy(d, row + 3 * x, 3); break;
            case Bgr: d[0] = row[3 * x + 2]; d[1] = row[3 * x + 1]; d[2] = row[3 * x]; break;
            case Rgba:
            case Cmyk: std::memcpy(d, row + 4 * x, 4); break;
            case Bgra: d[0] = row[4 * x + 2]; d[1] = row[4 * x + 1]; d[2] = row[4 * x]; d[3] = row[4 * x + 3]; break;
            case Abgr: d[0] = row[4 * x + 3]; d[1] = row[4 * x + 2]; d[2] = row[4 * x + 1]; d[3] = row[4 * x]; break;
            case Argb: d[0] = row[4 * x + 1]; d[1] = row[4 * x + 2]; d[2] = row[4 * x + 3]; d[3] = row[4 * x]; break;
            default: break;
            }
        }
    }
    return p;
}

// The kinds of a metadata list, in order.
inline std::vector<uint32_t> metadataKinds(const fotrix::MetadataBlock* list)
{
    std::vector<uint32_t> kinds;
    for (; list; list = list->next) kinds.push_back(list->kind);
    return kinds;
}

// Describing a file must agree with loading it.
inline void expectInfoAgrees(const std::filesystem::path& path, const Loaded& loaded, int formatIndex)
{
    fotrix::FileInfo info;
    ASSERT_EQ(fotrix::getFileInfo(path.string(), formatIndex, 0, info), 0) << path;
    EXPECT_EQ(info.width, loaded.info.width) << path;
    EXPECT_EQ(info.height, loaded.info.height) << path;
    EXPECT_EQ(info.bitsPerPlane, loaded.info.bitsPerPlane) << path;
    EXPECT_EQ(info.componentCount, loaded.info.componentCount) << path;
    EXPECT_STREQ(info.description, loaded.info.description) << path;
    fotrix::freeFileInfo(info);
}

inline std::string shellQuoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace readertest
