#pragma once
// The records behind HMENU, shared by the menu functions, the pop-up loop and
// the menu bar. Private to platform/.
#include "platform/menu/menu.h"

#include <string>
#include <vector>

struct MenuItemRec {
    UINT type = MFT_STRING;   // MFT_ bits
    UINT state = 0;           // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_HILITE, MF_DEFAULT
    UINT id = 0;
    HMENU sub = nullptr;
    std::string text;
    ULONG_PTR data = 0;
};

struct MenuRec {
    uint32_t magic = 0;
    bool popup = false;
    std::vector<MenuItemRec> items;
};

namespace menus {

bool alive(HMENU menu);
// The item at a position or with a command id (searched through sub-menus,
// depth first); null when there is none. `owner` gets the menu that holds it.
MenuItemRec* findItem(HMENU menu, UINT item, bool byPosition, HMENU* owner = nullptr, int* index = nullptr);

inline bool isSeparator(const MenuItemRec& item) { return item.type & MFT_SEPARATOR; }
inline bool isChoosable(const MenuItemRec& item)
{
    return !isSeparator(item) && !(item.state & (MF_GRAYED | MF_DISABLED));
}

// Runs the pop-up loop. With `cancelPoint` the screen point of a tap that
// cancelled the menu is reported there (x = -1 when it ended otherwise), so a
// menu bar can open the neighbouring menu that was tapped.
UINT trackPopup(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT* exclude, POINT* cancelPoint);

}  // namespace menus
