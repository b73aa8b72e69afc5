// Finding dialogs, sheet pages and message boxes among the windows shown.
#include "app/script/script_windows.h"

#include <cstring>
#include <vector>

namespace fotrix::script {

namespace {

// The message box's text is the static with this id (the platform's layout).
constexpr int kMessageTextId = 0xFFFF;

std::vector<HWND> children(HWND parent)
{
    std::vector<HWND> out;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) out.push_back(w);
    return out;
}

BOOL collectTopLevel(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevelWindows()
{
    std::vector<HWND> out;
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool isShownDialog(HWND w) { return w && IsWindowVisible(w) && HasClass(w, WC_DIALOG); }

bool isStandardButton(HWND w)
{
    int id = GetDlgCtrlID(w);
    return HasClass(w, WC_BUTTON) && id >= IDOK && id <= IDNO;
}

}  // namespace

bool HasClass(HWND hwnd, const char* className)
{
    char name[64];
    return hwnd && GetClassName(hwnd, name, sizeof name) > 0 && strcasecmp(name, className) == 0;
}

HWND ActiveDialog()
{
    HWND active = GetActiveWindow();
    if (isShownDialog(active)) return active;
    for (HWND w : topLevelWindows())
        if (isShownDialog(w)) return w;
    return nullptr;
}

HWND CurrentSheetPage(HWND dialog)
{
    // A property sheet (with its tabs), or a frame that shows pages one at a
    // time without tabs (the album wizard): both answer which page is shown.
    HWND page = reinterpret_cast<HWND>(SendMessage(dialog, PSM_GETCURRENTPAGEHWND, 0, 0));
    return page && IsWindow(page) && GetParent(page) == dialog ? page : nullptr;
}

bool IsMessageBox(HWND dialog)
{
    if (!HasClass(dialog, WC_DIALOG) || (GetWindowLong(dialog, GWL_STYLE) & WS_CHILD)) return false;
    int texts = 0, buttons = 0;
    for (HWND w : children(dialog)) {
        if (GetDlgCtrlID(w) == kMessageTextId && HasClass(w, WC_STATIC)) ++texts;
        else if (isStandardButton(w)) ++buttons;
        else return false;
    }
    return texts == 1 && buttons >= 1 && buttons <= 3;
}

HWND ShownMessageBox()
{
    HWND active = GetActiveWindow();
    if (isShownDialog(active) && IsMessageBox(active)) return active;
    for (HWND w : topLevelWindows())
        if (isShownDialog(w) && IsMessageBox(w)) return w;
    return nullptr;
}

std::string MessageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, kMessageTextId);
    if (!text) return "";
    std::string out(static_cast<size_t>(GetWindowTextLength(text)) + 1, '\0');
    int n = GetWindowText(text, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    return out;
}

}  // namespace fotrix::script
