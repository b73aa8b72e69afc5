// Menu resources: tables registered by the program and turned into menus by LoadMenu.
#include "platform/menu/menu_internal.h"

#include <mutex>
#include <vector>

namespace {

std::mutex& resourcesLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<MenuResource>& menuResources()
{
    static std::vector<MenuResource> list;
    return list;
}

// Appends the rows from `row` up to the MENU_END_POPUP that closes this level
// (or the end of the table at the top level). False when the table is unbalanced.
bool buildLevel(HMENU menu, const MenuResource& res, int& row, bool topLevel)
{
    while (row < res.count) {
        const MenuTemplateItem& t = res.items[row++];
        if (t.flags & MENU_END_POPUP) return !topLevel;
        if (t.flags & MF_POPUP) {
            HMENU sub = CreatePopupMenu();
            if (!buildLevel(sub, res, row, false)) {
                DestroyMenu(sub);
                return false;
            }
            AppendMenu(menu, t.flags, reinterpret_cast<UINT_PTR>(sub), t.text);
            continue;
        }
        UINT flags = t.flags & ~MFT_RADIOCHECK;
        AppendMenu(menu, flags, t.id, t.text);
        if (t.flags & MFT_RADIOCHECK) {
            MENUITEMINFO info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_RADIOCHECK;
            SetMenuItemInfo(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE, &info);
        }
    }
    return topLevel;  // a pop-up left open at the end of the table is an error
}

}  // namespace

void RegisterMenus(const MenuResource* list, int count)
{
    std::lock_guard<std::mutex> guard(resourcesLock());
    for (int i = 0; i < count; ++i) menuResources().push_back(list[i]);
}

HMENU LoadMenu(HINSTANCE, const char* name)
{
    if (!name || !IS_INTRESOURCE(name)) return nullptr;
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    MenuResource found{};
    {
        std::lock_guard<std::mutex> guard(resourcesLock());
        // The last registration of an id wins, so a program can replace a table.
        for (const MenuResource& r : menuResources())
            if (r.id == id) found = r;
    }
    if (!found.items) return nullptr;
    HMENU menu = CreateMenu();
    int row = 0;
    if (!buildLevel(menu, found, row, true)) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}
