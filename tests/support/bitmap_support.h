#pragma once
// Bitmaps and loaded pictures that free themselves, so that a failed assertion
// in the middle of a test does not leak what the library allocated.
#include "imagelib/bitmap.h"
#include "imagelib/load.h"

namespace testsupport {

// A bitmap freed when the object goes; not copyable, so it is freed once.
struct OwnedBitmap {
    fotrix::Bitmap bitmap;
    OwnedBitmap() = default;
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    ~OwnedBitmap();
};

// A loaded picture and the file information the loader filled in, both freed
// when the object goes. Tests add the result code they keep.
struct OwnedPicture {
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    OwnedPicture() = default;
    OwnedPicture(const OwnedPicture&) = delete;
    OwnedPicture& operator=(const OwnedPicture&) = delete;
    ~OwnedPicture();
};

}  // namespace testsupport
