// Opening what the command line (or another instance) names, and opening the
// selected picture in the view and closing it again.
#include "app/album/album_commands.h"
#include "app/browser/browser.h"
#include "app/shell/main_window.h"
#include "app/shell/shell_internal.h"
#include "app/viewer/main_view.h"

#include <strings.h>

namespace fotrix {

namespace {

bool endsWithAlbum(const std::string& path)
{
    return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".alb") == 0;
}

int findEntry(const std::string& path)
{
    for (int i = 0; i < fileCount(); ++i)
        if (strcasecmp(gApp.files[i].path.c_str(), path.c_str()) == 0) return i;
    return -1;
}

}  // namespace

bool OpenPath(const std::string& given)
{
    if (given.empty()) return false;
    DWORD attributes = GetFileAttributes(given.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    std::string path = given;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && path.back() != '/') path += '/';
    if (endsWithAlbum(path) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return PlayAlbum(gApp.mainWindow, path);
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    gApp.currentFolder = path.substr(0, slash + 1);
    NavigateTo(gApp.currentFolder);
    int index = findEntry(path);
    if (index < 0) return false;
    ListSetAllSelected(0);
    ListSelectOnly(index);
    if (gApp.mode == ModeImage || gApp.mode == ModeFullScreen) OpenInViewer(index);
    ShowWindow(gApp.mainWindow, SW_SHOW);
    int savedOpenInFull = gApp.openInFull;
    gApp.openInFull = 1;
    OpenInViewer(index);
    gApp.openInFull = savedOpenInFull;
    return true;
}

void OpenInViewer(int index)
{
    if (gApp.mode == ModeSlideshow) StopSlideshow();
    if (gApp.returnMode == -1) {
        ShowEntry(index, false);
        SetViewMode(gApp.openInFull ? CmdModeFullScreen : CmdModeImage);
        return;
    }
    int back = gApp.returnMode;
    SetViewMode(CmdModeThumbnails + (isBrowseMode(back) ? back : ModeThumbnails));
    gApp.returnMode = -1;
    if (gApp.listWindow) SetFocus(gApp.listWindow);
}

}  // namespace fotrix
