// Stand-ins for what the viewer does not do yet: animated GIF playback and
// the adjust-and-save tool button (4161, not listed by ViewerCommandReady).
#include "app/viewer/main_view_internal.h"

namespace fotrix {

void FreeAnimation() {}
void OnAnimationTimer(HWND) {}

}  // namespace fotrix
