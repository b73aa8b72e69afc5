// What the main window does after the options sheet closed with OK, and the
// font heights of the tree and the list.
#include "app/browser/browser.h"
#include "app/shell/main_window.h"
#include "app/shell/shell_internal.h"
#include "app/viewer/main_view.h"

#include <map>

namespace fotrix {

namespace {

// Fonts this shell made for a control; the control's own font is never deleted.
std::map<HWND, HFONT> gMadeFonts;

}  // namespace

void SetControlFontHeight(HWND control, int height)
{
    if (!control || height < 1) return;
    HFONT current = reinterpret_cast<HFONT>(SendMessage(control, WM_GETFONT, 0, 0));
    LOGFONT font{};
    if (current) GetObject(current, sizeof font, &font);
    if (current && font.lfHeight == -height) return;
    font.lfHeight = -height;
    HFONT made = CreateFontIndirect(&font);
    if (!made) return;
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    auto old = gMadeFonts.find(control);
    if (old != gMadeFonts.end() && old->second != made) DeleteObject(old->second);
    gMadeFonts[control] = made;
    InvalidateRect(control, nullptr, TRUE);
}

void ReleaseControlFonts()
{
    for (auto& [control, font] : gMadeFonts) DeleteObject(font);
    gMadeFonts.clear();
}

void ApplyOptions(const AppState& before)
{
    if (gApp.thumbSize != before.thumbSize) {
        RebuildCellSizes();
        RefillFileList();
    } else if (gApp.showLabel != before.showLabel) {
        RebuildCellSizes();
        if (gApp.listWindow) InvalidateRect(gApp.listWindow, nullptr, TRUE);
    } else if (gApp.fontThumb != before.fontThumb) {
        SetControlFontHeight(gApp.listWindow, gApp.fontThumb);
        RebuildCellSizes();
        if (gApp.listWindow) InvalidateRect(gApp.listWindow, nullptr, TRUE);
    }
    if (gApp.mode == ModeStrip && gApp.showLabel != before.showLabel) LayoutMainWindow();
    SetControlFontHeight(gApp.treeWindow, gApp.fontTree);
    if (gApp.useScrollbar != before.useScrollbar) ViewSetScrollbars(gApp.useScrollbar != 0);
    ViewSetMouseMode(gApp.viewMove);
    if (gApp.viewBackColor != before.viewBackColor && gApp.mode != ModeSlideshow) ViewSetBackground(gApp.viewBackColor);
    ApplyMenuChecks();
}

}  // namespace fotrix
