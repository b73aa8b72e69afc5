// System colours: a light Pocket PC look (white windows, grey bars, navy selection).
#include "platform/gdi/gdi_internal.h"

#include <mutex>

namespace {

constexpr int kColorCount = 27;

constexpr COLORREF kColors[kColorCount] = {
    RGB(224, 224, 224),  // COLOR_SCROLLBAR
    RGB(255, 255, 255),  // COLOR_BACKGROUND
    RGB(16, 52, 120),    // COLOR_ACTIVECAPTION: the task bar
    RGB(96, 96, 96),     // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU: the menu bar
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(232, 232, 232),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(255, 255, 255),  // COLOR_STATIC
    RGB(0, 0, 0),        // COLOR_STATICTEXT
};

}  // namespace

DWORD GetSysColor(int index) { return index >= 0 && index < kColorCount ? kColors[index] : 0; }

HBRUSH GetSysColorBrush(int index)
{
    static HBRUSH brushes[kColorCount];
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i < kColorCount; ++i) {
            brushes[i] = CreateSolidBrush(kColors[i]);
            brushes[i]->stock = true;  // shared: DeleteObject leaves it alone
        }
    });
    return index >= 0 && index < kColorCount ? brushes[index] : nullptr;
}
