// The main window's view: creating it, clearing it, the settings the shell
// applies, the menu's zoom and fit check marks, and reloading.
#include "app/viewer/main_view_internal.h"
#include "app/viewer/view_transition.h"
#include "app/viewer/view_window.h"
#include "platform/menu/menubar.h"

#include <algorithm>

namespace fotrix {

namespace {

// Every item of the zoom and fit group: one of them carries the check mark.
constexpr int kZoomItems[] = {CmdFitWindow, CmdFitLargeFiles, CmdZoom150, CmdZoom200, CmdZoom300, CmdZoom400,
                              CmdZoom75,    CmdZoom50,        CmdZoom25,  CmdActualSize};

}  // namespace

HWND CreateMainView(HWND parent)
{
    HWND view = CreateView(parent, 0, nullptr, 0x808080, kViewControlId);
    if (!view) return nullptr;
    gApp.viewWindow = view;
    SetCallback(view, OnMainViewEvent, nullptr);
    return view;
}

void ClearView()
{
    if (gApp.mainWindow) KillTimer(gApp.mainWindow, kAnimationTimer);
    SetPicture(gApp.viewWindow, nullptr, true);
    FreeAnimation();
}

void ViewSetFitMode(int fitMode) { SetFitMode(gApp.viewWindow, fitMode); }
int ViewGetFitMode() { return GetFitMode(gApp.viewWindow); }
void ViewSetZoom(int percent) { SetZoom(gApp.viewWindow, percent); }
int ViewGetZoom() { return GetZoom(gApp.viewWindow); }
void ViewSetBackground(COLORREF colour) { SetBackground(gApp.viewWindow, colour); }
void ViewSetLabel(const char* text) { SetLabel(gApp.viewWindow, text); }
void ViewSetScrollbars(bool on) { SetScrollbars(gApp.viewWindow, on); }
// The view's own codes: 1 draws a selection, 2 pans, 0 does nothing.
void ViewSetMouseMode(int mode)
{
    SetMouseMode(gApp.viewWindow, mode == ViewMousePan ? 2 : mode == ViewMouseSelect ? 1 : 0);
}
void ViewScrollBy(int dx, int dy) { ScrollBy(gApp.viewWindow, dx, dy); }
bool ViewGetSelection(Rect* selection) { return GetSelection(gApp.viewWindow, selection); }

POINT ViewGetOrigin()
{
    POINT scroll = GetScrollPosition(gApp.viewWindow);
    int zoom = std::max(GetZoom(gApp.viewWindow), 1);
    return POINT{scroll.x * 100 / zoom, scroll.y * 100 / zoom};
}

int ViewNextTransition()
{
    ViewState* state = viewStateOf(gApp.viewWindow);
    return state ? TransitionOrder()[state->transitionCounter % kTransitionCount] : TransitionOrder()[0];
}

void WriteViewState(std::string& out)
{
    auto line = [&out](const char* key, const std::string& value) { out += std::string(key) + ": " + value + "\n"; };
    POINT origin = ViewGetOrigin();
    line("view-origin", std::to_string(origin.x) + " " + std::to_string(origin.y));
    Rect selection{};
    line("selection", ViewGetSelection(&selection) ? std::to_string(selection.x) + " " + std::to_string(selection.y) +
                                                         " " + std::to_string(selection.w) + " " +
                                                         std::to_string(selection.h)
                                                   : std::string());
    line("gif-frame", std::to_string(gApp.gifFrame));
    line("gif-frames", std::to_string(gApp.gifFrameCount));
    line("rotated", std::to_string(gApp.rotated));
    line("transition", std::to_string(ViewNextTransition()));
}

HMENU MainMenu()
{
    if (!gApp.menuBar) return nullptr;
    return reinterpret_cast<HMENU>(SendMessage(gApp.menuBar, SHCMBM_GETMENU, 0, 0));
}

bool MenuItemChecked(int command)
{
    HMENU menu = MainMenu();
    UINT state = menu ? GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND) : 0;
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void CheckZoomItem(int command)
{
    HMENU menu = MainMenu();
    if (!menu) return;
    for (int item : kZoomItems)
        CheckMenuItem(menu, static_cast<UINT>(item), MF_BYCOMMAND | (item == command ? MF_CHECKED : MF_UNCHECKED));
}

void ReloadForZoom()
{
    if (!gApp.loadedFull) LoadIntoView(gApp.currentIndex, 0, false);
}

void ReloadCurrent()
{
    int index = gApp.currentIndex, page = gApp.currentPage;
    gApp.currentIndex = -1;  // not the picture shown: it loads in any case
    LoadIntoView(index, page, false);
}

}  // namespace fotrix
