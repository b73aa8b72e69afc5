// Deflate strips (compression 8 and the older code 32946): zlib streams.
#include <zlib.h>

#include "imagelib/readers/tiff/tiff_internal.h"
#include "imagelib/result.h"

namespace fotrix::tiff {

int decodeDeflate(std::span<const uint8_t> in, std::span<uint8_t> out)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return ResultNoMemory;
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int status = Z_OK;
    while (z.avail_out > 0 && status == Z_OK) status = inflate(&z, Z_SYNC_FLUSH);
    const size_t produced = out.size() - z.avail_out;
    inflateEnd(&z);
    if (produced == out.size()) return 0;
    if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR) return ResultCorrupt;
    return ResultReadError;
}

}  // namespace fotrix::tiff
