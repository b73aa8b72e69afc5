#pragma once
// EXIF: walking the block a JPEG carries in its APP1 segment into labelled,
// readable values, and the one tag the program acts on, the orientation.
#include <cstddef>
#include <cstdint>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"

namespace fotrix {

// Groups of reported values, in the order they are reported.
enum ExifGroup : uint32_t {
    ExifGroupCamera = 1,      // IFD0
    ExifGroupImage = 2,       // EXIF sub-directory
    ExifGroupIop = 4,         // interoperability directory
    ExifGroupThumbnail = 8,   // the directory linked after IFD0
    ExifGroupGps = 16,
    ExifGroupMakernotes = 32,
};

// Called once per value: (userData, group, tag, label, value). A null value
// announces the start of a group (tag 0, label = the group's label). Value
// texts are at most 255 characters.
using ExifCallback = void (*)(void* userData, uint32_t group, uint32_t tag, const char* label,
                              const char* value);

// Walks the first usable EXIF block of the list (at least six bytes, starting
// "Exif", 0, 0). Reports nothing when there is none.
void exifListTags(const MetadataBlock* metadata, ExifCallback callback, void* userData);

// Walks one block. Returns 1 when its TIFF header was valid and the walk was made.
int exifReadBlock(const uint8_t* block, size_t size, ExifCallback callback, void* userData);

// The orientation (1..8) of IFD0 when it holds tag 0x0112 as one SHORT: 1 and
// the value, else 0.
int exifGetOrientation(const MetadataBlock* metadata, int& value);
// Overwrites that value in place (the block keeps its size and every other
// byte). Returns 1 when done.
int exifSetOrientation(MetadataBlock* metadata, int value);

// Block-level forms of the two above, for callers that hold the bytes.
int exifBlockGetOrientation(const uint8_t* block, size_t size, int& value);
int exifBlockSetOrientation(uint8_t* block, size_t size, int value);

// Rotation codes reported by exifAutoRotate.
enum ExifRotation : int {
    ExifRotateNone = 0,
    ExifRotate90 = 1,
    ExifRotate270 = 16,
    ExifRotate180 = 17,
};

// Turns a freshly loaded bitmap upright: the camera-raw orientation of
// `fileInfo` (may be null) first, else the EXIF orientation. With `resetTag`
// the EXIF orientation is set to 1 afterwards, so a saved file is not turned
// twice. Returns 1 when the pixels were transformed.
int exifAutoRotate(Bitmap& bitmap, const FileInfo* fileInfo, bool resetTag, int& rotationCode);

// The application's load helper: the load pipeline, and for camera-raw files
// loaded without a box also the upright turn.
int loadPicture(const char* path, Bitmap& bitmap, LoadParams& params, FileInfo* fileInfo);

}  // namespace fotrix
