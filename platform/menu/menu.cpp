// Menu records and the functions that build, change and query them.
#include "platform/menu/menu_internal.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

constexpr uint32_t kMenuMagic = 0x4D454E55;  // "MENU"

std::mutex& menusLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_set<HMENU>& liveMenus()
{
    static std::unordered_set<HMENU> set;
    return set;
}

HMENU newMenu(bool popup)
{
    HMENU m = new MenuRec();
    m->magic = kMenuMagic;
    m->popup = popup;
    std::lock_guard<std::mutex> guard(menusLock());
    liveMenus().insert(m);
    return m;
}

// An item as the MF_ flags of AppendMenu/InsertMenu/ModifyMenu describe it.
MenuItemRec itemFromFlags(UINT flags, UINT_PTR idOrSubMenu, const char* text)
{
    MenuItemRec item;
    item.type = flags & (MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_SEPARATOR);
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    if (flags & MF_POPUP) {
        HMENU sub = reinterpret_cast<HMENU>(idOrSubMenu);
        item.sub = menus::alive(sub) ? sub : nullptr;
    } else {
        item.id = static_cast<UINT>(idOrSubMenu);
    }
    if (!(flags & MF_SEPARATOR) && text) item.text = text;
    return item;
}

// Index before which to insert: a position (-1 or past the end appends) or the
// position of the item with that command in this very menu.
bool insertIndex(HMENU menu, UINT position, bool byPosition, size_t* index)
{
    if (byPosition) {
        *index = position >= menu->items.size() ? menu->items.size() : position;
        return true;
    }
    for (size_t i = 0; i < menu->items.size(); ++i)
        if (!menu->items[i].sub && menu->items[i].id == position) {
            *index = i;
            return true;
        }
    return false;
}

bool removeItem(HMENU menu, UINT position, UINT flags, bool destroySub)
{
    HMENU owner = nullptr;
    int index = -1;
    MenuItemRec* item = menus::findItem(menu, position, flags & MF_BYPOSITION, &owner, &index);
    if (!item) return false;
    HMENU sub = item->sub;
    owner->items.erase(owner->items.begin() + index);
    if (destroySub && sub) DestroyMenu(sub);
    return true;
}

}  // namespace

namespace menus {

bool alive(HMENU menu)
{
    if (!menu) return false;
    std::lock_guard<std::mutex> guard(menusLock());
    return liveMenus().count(menu) && menu->magic == kMenuMagic;
}

MenuItemRec* findItem(HMENU menu, UINT item, bool byPosition, HMENU* owner, int* index)
{
    if (!alive(menu)) return nullptr;
    if (byPosition) {
        if (item >= menu->items.size()) return nullptr;
        if (owner) *owner = menu;
        if (index) *index = static_cast<int>(item);
        return &menu->items[item];
    }
    for (size_t i = 0; i < menu->items.size(); ++i) {
        MenuItemRec& it = menu->items[i];
        if (it.sub) {
            if (MenuItemRec* inner = findItem(it.sub, item, false, owner, index)) return inner;
            continue;
        }
        if (it.id == item) {
            if (owner) *owner = menu;
            if (index) *index = static_cast<int>(i);
            return &it;
        }
    }
    return nullptr;
}

}  // namespace menus

HMENU CreateMenu() { return newMenu(false); }
HMENU CreatePopupMenu() { return newMenu(true); }

BOOL IsMenu(HMENU menu) { return menus::alive(menu); }

BOOL DestroyMenu(HMENU menu)
{
    if (!menus::alive(menu)) return FALSE;
    {
        std::lock_guard<std::mutex> guard(menusLock());
        liveMenus().erase(menu);
    }
    for (MenuItemRec& item : menu->items)
        if (item.sub) DestroyMenu(item.sub);
    menu->magic = 0;
    delete menu;
    return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrSubMenu, const char* text)
{
    return InsertMenu(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, idOrSubMenu, text);
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubMenu, const char* text)
{
    if (!menus::alive(menu)) return FALSE;
    if ((flags & MF_POPUP) && !menus::alive(reinterpret_cast<HMENU>(idOrSubMenu))) return FALSE;
    size_t index;
    if (!insertIndex(menu, position, flags & MF_BYPOSITION, &index)) return FALSE;
    menu->items.insert(menu->items.begin() + static_cast<long>(index), itemFromFlags(flags, idOrSubMenu, text));
    return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubMenu, const char* text)
{
    MenuItemRec* item = menus::findItem(menu, position, flags & MF_BYPOSITION);
    if (!item) return FALSE;
    if ((flags & MF_POPUP) && !menus::alive(reinterpret_cast<HMENU>(idOrSubMenu))) return FALSE;
    HMENU oldSub = item->sub;
    MenuItemRec changed = itemFromFlags(flags, idOrSubMenu, text);
    changed.data = item->data;
    *item = changed;
    // A sub-menu replaced by something else is destroyed, as the item owned it.
    if (oldSub && oldSub != item->sub) DestroyMenu(oldSub);
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, false); }
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, true); }

HMENU GetSubMenu(HMENU menu, int position)
{
    if (position < 0) return nullptr;
    MenuItemRec* item = menus::findItem(menu, static_cast<UINT>(position), true);
    return item ? item->sub : nullptr;
}

int GetMenuItemCount(HMENU menu) { return menus::alive(menu) ? static_cast<int>(menu->items.size()) : -1; }

UINT GetMenuItemID(HMENU menu, int position)
{
    if (position < 0) return static_cast<UINT>(-1);
    MenuItemRec* item = menus::findItem(menu, static_cast<UINT>(position), true);
    if (!item || item->sub) return static_cast<UINT>(-1);
    return item->id;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags)
{
    MenuItemRec* it = menus::findItem(menu, item, flags & MF_BYPOSITION);
    if (!it) return static_cast<DWORD>(-1);
    DWORD old = it->state & MF_CHECKED;
    it->state = (it->state & ~MF_CHECKED) | (flags & MF_CHECKED);
    return old;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags)
{
    bool byPosition = flags & MF_BYPOSITION;
    HMENU owner = nullptr;
    int checkIndex = -1, firstIndex = -1, lastIndex = -1;
    if (!menus::findItem(menu, check, byPosition, &owner, &checkIndex)) return FALSE;
    HMENU firstOwner = nullptr, lastOwner = nullptr;
    // The range must lie in the one menu that holds the checked item.
    if (!menus::findItem(menu, first, byPosition, &firstOwner, &firstIndex) ||
        !menus::findItem(menu, last, byPosition, &lastOwner, &lastIndex) || firstOwner != owner || lastOwner != owner)
        return FALSE;
    if (firstIndex > lastIndex) std::swap(firstIndex, lastIndex);
    if (checkIndex < firstIndex || checkIndex > lastIndex) return FALSE;
    for (int i = firstIndex; i <= lastIndex; ++i) {
        MenuItemRec& it = owner->items[i];
        if (i == checkIndex) {
            it.state |= MF_CHECKED;
            it.type |= MFT_RADIOCHECK;
        } else {
            it.state &= ~MF_CHECKED;
        }
    }
    return TRUE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags)
{
    MenuItemRec* it = menus::findItem(menu, item, flags & MF_BYPOSITION);
    if (!it) return -1;
    BOOL old = static_cast<BOOL>(it->state & (MF_GRAYED | MF_DISABLED));
    it->state = (it->state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return old;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
    MenuItemRec* it = menus::findItem(menu, item, flags & MF_BYPOSITION);
    if (!it) return 0xFFFFFFFFu;
    UINT state = it->state | it->type;
    if (it->sub) state = (state & 0xFF) | MF_POPUP | (static_cast<UINT>(std::min<size_t>(it->sub->items.size(), 255)) << 8);
    return state;
}

int GetMenuString(HMENU menu, UINT item, char* buffer, int capacity, UINT flags)
{
    MenuItemRec* it = menus::findItem(menu, item, flags & MF_BYPOSITION);
    if (!it) return 0;
    if (!buffer || capacity <= 0) return static_cast<int>(it->text.size());
    size_t n = std::min(it->text.size(), static_cast<size_t>(capacity - 1));
    while (n > 0 && n < it->text.size() && (static_cast<uint8_t>(it->text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, it->text.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info)
{
    if (!info || info->cbSize < sizeof(MENUITEMINFO)) return FALSE;
    MenuItemRec* it = menus::findItem(menu, item, byPosition);
    if (!it) return FALSE;
    UINT mask = info->fMask;
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it->type;
    if (mask & MIIM_STATE) info->fState = it->state;
    if (mask & MIIM_ID) info->wID = it->id;
    if (mask & MIIM_SUBMENU) info->hSubMenu = it->sub;
    if (mask & MIIM_DATA) info->dwItemData = it->data;
    bool wantsText = (mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !menus::isSeparator(*it));
    if (wantsText) {
        if (!info->dwTypeData || info->cch == 0) {
            info->cch = static_cast<UINT>(it->text.size());  // the length the caller needs
        } else {
            info->cch = static_cast<UINT>(GetMenuString(menu, item, info->dwTypeData, static_cast<int>(info->cch),
                                                        byPosition ? MF_BYPOSITION : MF_BYCOMMAND));
        }
    }
    return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info)
{
    if (!info || info->cbSize < sizeof(MENUITEMINFO)) return FALSE;
    MenuItemRec* it = menus::findItem(menu, item, byPosition);
    if (!it) return FALSE;
    UINT mask = info->fMask;
    if ((mask & MIIM_SUBMENU) && info->hSubMenu && !menus::alive(info->hSubMenu)) return FALSE;
    constexpr UINT kTypes = MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_SEPARATOR | MFT_RADIOCHECK;
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) it->type = info->fType & kTypes;
    if (mask & MIIM_STATE) it->state = info->fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    if (mask & MIIM_ID) it->id = info->wID;
    // A sub-menu replaced here is left to the caller, who may still use it.
    if (mask & MIIM_SUBMENU) it->sub = info->hSubMenu;
    if (mask & MIIM_DATA) it->data = info->dwItemData;
    bool setsText = (mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !(info->fType & MFT_SEPARATOR));
    if (setsText) it->text = info->dwTypeData ? info->dwTypeData : "";
    if ((mask & MIIM_TYPE) && (info->fType & MFT_SEPARATOR)) it->text.clear();
    return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info)
{
    if (!info || info->cbSize < sizeof(MENUITEMINFO) || !menus::alive(menu)) return FALSE;
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !menus::alive(info->hSubMenu)) return FALSE;
    size_t index;
    if (!insertIndex(menu, item, byPosition, &index)) return FALSE;
    menu->items.insert(menu->items.begin() + static_cast<long>(index), MenuItemRec{});
    return SetMenuItemInfo(menu, static_cast<UINT>(index), TRUE, info);
}
