#include "cli/pam.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace cli {

namespace {

using fotrix::Bitmap;

struct TupleLayout {
    const char* tupleType;
    int depth;
};

TupleLayout layoutOf(const Bitmap& bitmap)
{
    switch (bitmap.type) {
    case fotrix::Binary:
    case fotrix::Grey: return {"GRAYSCALE", 1};
    case fotrix::Cmyk: return {"CMYK", 4};
    case fotrix::Rgba: case fotrix::Abgr: case fotrix::Bgra: case fotrix::Argb: return {"RGB_ALPHA", 4};
    default: return {"RGB", 3};
    }
}

// Byte positions of R, G, B, A (or C, M, Y, K) inside a stored pixel.
void channelPositions(uint16_t type, int positions[4])
{
    static const int rgba[4] = {0, 1, 2, 3}, bgr[4] = {2, 1, 0, 3}, abgr[4] = {3, 2, 1, 0}, bgra[4] = {2, 1, 0, 3},
                     argb[4] = {1, 2, 3, 0};
    const int* p = rgba;
    if (type == fotrix::Bgr) p = bgr;
    else if (type == fotrix::Abgr) p = abgr;
    else if (type == fotrix::Bgra) p = bgra;
    else if (type == fotrix::Argb) p = argb;
    for (int i = 0; i < 4; ++i) positions[i] = p[i];
}

struct PamLayout {
    TupleLayout tuple;
    int sampleBytes;
    size_t rowBytes;
};

PamLayout pamLayoutOf(const Bitmap& bitmap)
{
    const TupleLayout tuple = layoutOf(bitmap);
    const bool deep = bitmap.bitsPerComponent == 16 && bitmap.type != fotrix::Binary;
    const int sampleBytes = deep ? 2 : 1;
    return {tuple, sampleBytes, static_cast<size_t>(bitmap.width) * tuple.depth * sampleBytes};
}

}  // namespace

// Picture rows (in display order) as PAM samples. The common layouts have
// loops of their own: rows already in PAM's order are copied, B, G, R rows
// swapped, and palette indexes looked up as whole pixels.
class PamRows {
public:
    explicit PamRows(const Bitmap& bitmap)
        : bitmap_(bitmap), layout_(pamLayoutOf(bitmap)), mirror_((bitmap.origin & fotrix::OriginRight) != 0),
          levels_(bitmap.bitsPerComponent >= 1 && bitmap.bitsPerComponent < 8 ? (1u << bitmap.bitsPerComponent) - 1
                                                                                : 255),
          row_(layout_.rowBytes + 1)  // a palette pixel is stored as four bytes, the last one overwritten
    {
        channelPositions(bitmap.type, positions_);
        if (bitmap.type == fotrix::Indexed) {
            for (unsigned i = 0; i < 256; ++i) {
                const uint8_t* palette = bitmap.palette;
                const uint8_t pixel[4] = {palette ? palette[fotrix::PaletteRed + i] : static_cast<uint8_t>(i),
                                          palette ? palette[fotrix::PaletteGreen + i] : static_cast<uint8_t>(i),
                                          palette ? palette[fotrix::PaletteBlue + i] : static_cast<uint8_t>(i), 0};
                std::memcpy(&pixels_[i], pixel, 4);
            }
        }
    }

    const PamLayout& layout() const { return layout_; }

    // One stored row as layout().rowBytes bytes of PAM samples: the row
    // itself when it already is, else converted into a row of our own.
    const uint8_t* convert(const uint8_t* row)
    {
        uint8_t* out = row_.data();
        const int width = bitmap_.width;
        const uint16_t type = bitmap_.type;
        if (!mirror_ && layout_.sampleBytes == 1) {
            const bool samePixels = type == fotrix::Rgb || type == fotrix::Rgba || type == fotrix::Cmyk ||
                                    (type == fotrix::Grey && levels_ == 255);
            if (samePixels) return row;
            if (type == fotrix::Bgr) {
                for (int x = 0; x < width; ++x, row += 3, out += 3) {
                    out[0] = row[2];
                    out[1] = row[1];
                    out[2] = row[0];
                }
                return row_.data();
            }
            if (type == fotrix::Indexed) {
                for (int x = 0; x < width; ++x, out += 3) std::memcpy(out, &pixels_[row[x]], 4);
                return row_.data();
            }
        }
        convertEachSample(row, out);
        return row_.data();
    }

private:
    void convertEachSample(const uint8_t* row, uint8_t* out) const
    {
        const int depth = layout_.tuple.depth;
        const int sampleBytes = layout_.sampleBytes;
        for (int x = 0; x < bitmap_.width; ++x) {
            const int sx = mirror_ ? bitmap_.width - 1 - x : x;
            uint8_t* o = out + static_cast<size_t>(x) * depth * sampleBytes;
            if (bitmap_.type == fotrix::Binary) {
                o[0] = fotrix::bitGet(row, sx) ? 255 : 0;
            } else if (bitmap_.type == fotrix::Grey) {
                if (sampleBytes == 2) {
                    o[0] = row[2 * sx + 1];
                    o[1] = row[2 * sx];
                } else {
                    o[0] = static_cast<uint8_t>(row[sx] * 255u / levels_);
                }
            } else if (bitmap_.type == fotrix::Indexed) {
                std::memcpy(o, &pixels_[row[sx]], 3);
            } else {
                const uint8_t* pixel = row + static_cast<size_t>(sx) * bitmap_.bytesPerPixel;
                for (int c = 0; c < depth; ++c) {
                    const int position = bitmap_.type == fotrix::Cmyk ? c : positions_[c];
                    if (sampleBytes == 2) {
                        o[2 * c] = pixel[2 * position + 1];
                        o[2 * c + 1] = pixel[2 * position];
                    } else {
                        o[c] = pixel[position];
                    }
                }
            }
        }
    }

    const Bitmap& bitmap_;
    const PamLayout layout_;
    const bool mirror_;
    const unsigned levels_;
    int positions_[4] = {};
    uint32_t pixels_[256] = {};  // R, G, B, 0 of each palette entry
    std::vector<uint8_t> row_;
};

PamOutput::PamOutput() = default;
PamOutput::~PamOutput() = default;

int PamOutput::open(const std::string& fileName)
{
    fotrix::ReplaceOptions options;
    options.durable = false;
    const fotrix::ReplaceStatus status = replacement_.open(fileName, options);
    if (status == fotrix::ReplaceStatus::NotRegular) {
        file_ = std::fopen(fileName.c_str(), "wb");
        inPlace_ = true;
        fotrix::setOutputBuffer(file_, buffer_);
    } else if (status == fotrix::ReplaceStatus::Ok) {
        file_ = replacement_.stream();  // block-buffered by the replacement
    }
    return file_ ? 0 : 5;
}

void PamOutput::header(const Bitmap& picture)
{
    const PamLayout layout = pamLayoutOf(picture);
    std::fprintf(file_, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL %d\nTUPLTYPE %s\nENDHDR\n", picture.width,
                 picture.height, layout.tuple.depth, layout.sampleBytes == 2 ? 65535 : 255, layout.tuple.tupleType);
}

bool PamOutput::write(const void* data, size_t size) { return std::fwrite(data, 1, size, file_) == size; }

int PamOutput::finish()
{
    if (inPlace_) {
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok ? 0 : 6;
    }
    file_ = nullptr;
    return replacement_.commit() == fotrix::ReplaceStatus::Ok ? 0 : 6;
}

void PamOutput::discard()
{
    if (inPlace_ && file_) std::fclose(file_);
    file_ = nullptr;
    replacement_.discard();
}

int PamOutput::begin(const Bitmap& picture)
{
    rows_ = std::make_unique<PamRows>(picture);
    header(picture);
    return 0;
}

int PamOutput::row(const uint8_t* pixels)
{
    if (write(rows_->convert(pixels), rows_->layout().rowBytes)) return 0;
    discard();
    return fotrix::ResultWriteError;
}

int PamOutput::end(bool loadSucceeded)
{
    rows_.reset();
    if (!loadSucceeded) {
        discard();
        return fotrix::ResultCancelled;
    }
    return finish();
}

int writePam(const Bitmap& bitmap, const std::string& fileName)
{
    PamOutput out;
    if (out.open(fileName) != 0) return 5;
    PamRows rows(bitmap);
    out.header(bitmap);
    const bool bottomUp = (bitmap.origin & fotrix::OriginBottom) != 0;
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = rows.convert(fotrix::bitmapRow(bitmap, bottomUp ? bitmap.height - 1 - y : y));
        if (!out.write(row, rows.layout().rowBytes)) {
            out.discard();
            return 6;
        }
    }
    return out.finish();
}

}  // namespace cli
