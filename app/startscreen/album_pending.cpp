#include "app/startscreen/album_pending.h"

namespace fotrix {

// The album player is not in this build yet: the chosen file is not played.
void PlayAlbumFile(HWND, const std::string&) {}

}  // namespace fotrix
