#pragma once
// What the container parsers share: a bounded view of the raw file and the
// scan record each parser fills.
#include <cstdint>
#include <vector>

#include "imagelib/bytes.h"
#include "imagelib/reader.h"
#include "imagelib/stream.h"

namespace fotrix::raw {

// A JPEG stream somewhere in the file.
struct PreviewCandidate {
    uint64_t offset = 0;
    uint64_t length = 0;
};

// What a container parser found.
struct RawScan {
    std::vector<PreviewCandidate> candidates;
    uint32_t width = 0;        // size of the full picture, as stored (0: unknown)
    uint32_t height = 0;
    int exifOrientation = 0;   // 1..8 as in EXIF, 0 when the file gives none
    const char* kind = "";     // short display name of the container
};

// Keeps at most this many candidates, so a damaged file cannot make us
// probe without end.
constexpr size_t MaxCandidates = 64;

void addCandidate(RawScan& scan, const Stream& file, uint64_t offset, uint64_t length);
// A larger picture size replaces a smaller one.
void offerSize(RawScan& scan, uint32_t width, uint32_t height);

// Reads `size` bytes at `offset` when they lie wholly inside the file.
bool readAt(Stream& file, uint64_t offset, void* out, size_t size);


// Where a TIFF structure lies and how to read it.
struct TiffWindow {
    uint64_t base = 0;   // file offset that the structure's offsets count from
    uint64_t end = 0;    // file offset where the structure's bytes end
};

enum class TiffFlavour {
    Plain,        // TIFF-based raw kinds: IFD chain, sub-IFDs, EXIF IFD
    Panasonic,    // IFD0 also holds the embedded JPEG and the sensor size
    Minolta,      // the maker note holds the preview (MRW's TTW block)
};

// Walks the TIFF structure whose header starts at window.base. False when
// there is no valid TIFF header there.
bool tiffScan(Stream& file, const TiffWindow& window, TiffFlavour flavour, RawScan& scan);

// The EXIF orientation of the JPEG stream at `offset` (0 when none).
int jpegExifOrientation(Stream& file, uint64_t offset, uint64_t length);

// Size of the JPEG stream at `offset` when it is one our JPEG reader decodes
// (8-bit baseline, extended or progressive with 1 or 3 components).
bool jpegProbe(Stream& file, uint64_t offset, uint64_t length, uint32_t& width, uint32_t& height);

// Decodes the sensor data through LibRaw into the full picture (upright),
// reading the camera-raw settings of the context's LoadParams; in the
// information-only mode it describes that picture. It lives in the LibRaw
// module (fotrix-codec-libraw.so), which the raw reader loads on first use.
int decodeSensor(Stream& file, ReaderContext& context, const char* kind);

// Container parsers. Each returns false when the file is not of its kind.
bool crwScan(Stream& file, RawScan& scan);
bool rafScan(Stream& file, RawScan& scan);
bool mrwScan(Stream& file, RawScan& scan);
bool x3fScan(Stream& file, RawScan& scan);

}  // namespace fotrix::raw
