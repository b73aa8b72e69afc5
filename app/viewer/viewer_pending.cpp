// Stand-ins for the viewer until it is built: no view window exists, nothing
// loads and no viewer command is ready (the menu greys them). The viewer
// replaces this file piece by piece.
#include "app/viewer/main_view.h"

namespace fotrix {

HWND CreateMainView(HWND) { return nullptr; }
void LoadIntoView(int, int, bool) {}
void ClearView() {}
void ViewSetFitMode(int) {}
void ViewSetZoom(int) {}
int ViewGetZoom() { return 100; }
int ViewGetFitMode() { return FitWindow; }
void ViewSetBackground(COLORREF) {}
void ViewSetLabel(const char*) {}
void ViewSetScrollbars(bool) {}
void ViewSetMouseMode(int) {}
void ViewScrollBy(int, int) {}
bool ViewerCommandReady(int) { return false; }
void RunViewerCommand(HWND, int) {}
void OnAnimationTimer(HWND) {}

}  // namespace fotrix
