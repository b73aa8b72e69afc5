#include "tests/support/menu_support.h"

namespace testsupport {

void runPopupScript(HWND popup, void* data)
{
    auto* s = static_cast<PopupScript*>(data);
    RECT r;
    GetWindowRect(popup, &r);
    s->popups.push_back(r);
    if (s->next < s->steps.size()) s->steps[s->next++](popup);
    else PlatformKeyInput(VK_ESCAPE, true);
}

std::string menuBarButtonText(HWND bar, int index)
{
    char text[64] = "";
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = text;
    info.cchText = sizeof text;
    SendMessage(bar, TB_GETBUTTONINFO, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
    return text;
}

}  // namespace testsupport
