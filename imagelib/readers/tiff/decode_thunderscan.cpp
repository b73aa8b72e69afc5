// ThunderScan 4-bit grey (TIFF compression 32809). Each code byte holds its
// kind in the top two bits: a run of the last pixel, three 2-bit deltas, two
// 3-bit deltas or a raw pixel. Every row starts from pixel value 0.
#include "imagelib/readers/tiff/tiff_internal.h"
#include "imagelib/result.h"

namespace fotrix::tiff {

namespace {

constexpr int twoBitDeltas[4] = {0, 1, 0, -1};  // code 2 adds no pixel
constexpr int threeBitDeltas[8] = {0, 1, 2, 3, 0, -3, -2, -1};  // code 4 adds no pixel

}  // namespace

int decodeThunderScan(std::span<const uint8_t> in, std::span<uint8_t> out, uint32_t width, uint32_t rows)
{
    const size_t rowBytes = (width + 1) / 2;
    size_t pos = 0;
    for (uint32_t y = 0; y < rows && (y + 1) * rowBytes <= out.size(); y++) {
        uint8_t* row = out.data() + y * rowBytes;
        uint32_t x = 0;
        int last = 0;
        auto put = [&](int value) {
            if (x >= width) return;
            row[x >> 1] |= static_cast<uint8_t>((value & 15) << (x & 1 ? 0 : 4));
            x++;
        };
        while (x < width) {
            if (pos >= in.size()) return ResultReadError;
            const uint8_t n = in[pos++];
            switch (n & 0xC0) {
            case 0x00:
                for (int count = n & 0x3F; count > 0; count--) put(last);
                break;
            case 0x40:
                for (int shift = 4; shift >= 0; shift -= 2) {
                    const int code = (n >> shift) & 3;
                    if (code == 2) continue;
                    last = (last + twoBitDeltas[code]) & 15;
                    put(last);
                }
                break;
            case 0x80:
                for (int shift = 3; shift >= 0; shift -= 3) {
                    const int code = (n >> shift) & 7;
                    if (code == 4) continue;
                    last = (last + threeBitDeltas[code]) & 15;
                    put(last);
                }
                break;
            default:
                last = n & 15;
                put(last);
                break;
            }
        }
    }
    return 0;
}

}  // namespace fotrix::tiff
