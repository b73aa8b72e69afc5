// The hardware keys of the main window and the KeyAction each one runs.
#include "app/shell/main_window.h"
#include "app/shell/shell_internal.h"
#include "app/viewer/main_view.h"
#include "platform/controls/listview.h"

namespace fotrix {

namespace {

constexpr int kScrollStep = 16;
constexpr int kZoomStep = 10;

void setSelected(int index, bool on)
{
    if (!gApp.listWindow || index < 0) return;
    const int multiSelect = gApp.multiSelect;  // the program's own change, as in list_selection.cpp
    gApp.multiSelect = 0;
    LVITEM item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = on ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessage(gApp.listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    gApp.multiSelect = multiSelect;
    if (on) SendMessage(gApp.listWindow, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

// Next (+1) or previous (-1) picture of the list, going round at either end.
void stepPicture(int direction)
{
    int count = fileCount();
    if (count == 0) return;
    int current = gApp.currentIndex;
    int next = current < 0 ? 0 : (current + direction + count) % count;
    if (current >= 0 && current < count) setSelected(current, false);
    ShowEntry(next, false);
    setSelected(next, true);
}

void scrollPicture(UINT virtualKey)
{
    struct Step { UINT key; int dx; int dy; };
    static constexpr Step kSteps[] = {
        {VK_LEFT, -kScrollStep, 0}, {VK_RIGHT, kScrollStep, 0}, {VK_UP, 0, -kScrollStep}, {VK_DOWN, 0, kScrollStep},
    };
    for (const Step& step : kSteps)
        if (step.key == virtualKey) ViewScrollBy(step.dx, step.dy);
}

int actionOfKey(UINT virtualKey)
{
    switch (virtualKey) {
    case VK_RETURN: return gApp.keyReturn;
    case VK_UP: return gApp.keyUp;
    case VK_DOWN: return gApp.keyDown;
    case VK_LEFT: return gApp.keyLeft;
    case VK_RIGHT: return gApp.keyRight;
    default: return -1;
    }
}

}  // namespace

// Zoom: action 5 zooms in by 10 points and 6 out, as the options sheet names them.
void RunKeyAction(int action, UINT virtualKey)
{
    switch (action) {
    case KeyActionNone: scrollPicture(virtualKey); break;
    case KeyActionNextPicture: stepPicture(+1); break;
    case KeyActionPreviousPicture: stepPicture(-1); break;
    case KeyActionOpenClose: SendMessage(gApp.mainWindow, WM_COMMAND, CmdOpenClose, 0); break;
    case KeyActionSlideshow: SendMessage(gApp.mainWindow, WM_COMMAND, CmdSlideshow, 0); break;
    case KeyActionZoomIn: ViewSetZoom(ViewGetZoom() + kZoomStep); break;
    case KeyActionZoomOut: ViewSetZoom(ViewGetZoom() - kZoomStep); break;
    default: break;
    }
}

void HandleKeyDown(UINT virtualKey)
{
    if (gApp.mode == ModeSlideshow) {
        if (virtualKey == VK_UP || virtualKey == VK_LEFT) StepSlideshow(+1);
        if (virtualKey == VK_DOWN || virtualKey == VK_RIGHT) StepSlideshow(-1);
        return;
    }
    if (isBrowseMode(gApp.mode) && virtualKey != VK_RETURN) return;
    int action = actionOfKey(virtualKey);
    if (action >= 0) RunKeyAction(action, virtualKey);
}

}  // namespace fotrix
