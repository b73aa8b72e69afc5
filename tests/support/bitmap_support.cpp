#include "tests/support/bitmap_support.h"

namespace testsupport {

OwnedBitmap::~OwnedBitmap() { fotrix::bitmapFree(bitmap); }

OwnedPicture::~OwnedPicture()
{
    fotrix::bitmapFree(bitmap);
    fotrix::freeFileInfo(info);
}

}  // namespace testsupport
