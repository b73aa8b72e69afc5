// Stand-ins for the file operations that are not built yet: the file
// clipboard, the favorites and the file types. BrowserCommandReady lists none
// of their commands, so the menu greys them.
#include "app/browser/browser.h"

namespace fotrix {

bool FileClipboardHasFiles() { return false; }
void FreeFileClipboard() {}
void FillFavoritesMenu(HMENU) {}
void RegisterAlbumFileType() {}

}  // namespace fotrix
