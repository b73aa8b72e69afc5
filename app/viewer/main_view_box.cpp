// The decoding box: the size a picture is decoded at for the view, so that
// large pictures are never decoded in full unless the user zooms in.
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_window.h"

#include <utility>

namespace fotrix {

DecodeBox DecodingBox(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight, int zoomPercent,
                      bool exchange)
{
    DecodeBox box;
    if (pictureWidth <= 2 * screenWidth || pictureHeight <= 2 * screenHeight) return box;
    if (zoomPercent >= 100) return box;
    if (zoomPercent > 0) {
        box.width = static_cast<int>(static_cast<long long>(pictureWidth) * zoomPercent / 100);
        box.height = static_cast<int>(static_cast<long long>(pictureHeight) * zoomPercent / 100);
    } else {
        box.width = screenWidth;
        box.height = screenHeight;
    }
    if (exchange) std::swap(box.width, box.height);
    return box;
}

bool ExchangeBox(int pictureWidth, int pictureHeight)
{
    if (gApp.mode == ModeSlideshow && gApp.slideLandscape) return true;
    return gApp.rotateAuto && pictureWidth > pictureHeight;
}

DecodeBox CurrentDecodingBox()
{
    return DecodingBox(gApp.fullWidth, gApp.fullHeight, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                       gApp.zoomPercent, ExchangeBox(gApp.fullWidth, gApp.fullHeight));
}

}  // namespace fotrix
