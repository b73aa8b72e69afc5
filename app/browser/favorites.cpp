// The favorites store and the favorites drop-down menu.
#include "app/browser/favorites.h"

#include "app/browser/browser.h"
#include "app/browser/file_messages.h"
#include "app/browser/name_dialogs.h"
#include "app/settings.h"
#include "platform/menu/menu.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace fotrix {

namespace {

const std::string kFavoritesKey = std::string(kSettingsRoot) + "\\Favorites";

size_t characterCount(const std::string& text)
{
    size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

std::string folderPath(std::string path)
{
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// The Path value of one favorite's key, when it is a text of a usable length.
bool readPath(HKEY favorites, const char* name, std::string* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(favorites, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[1024];
    DWORD type = REG_NONE, size = sizeof buffer;
    const LONG result = RegQueryValueEx(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || size == 0) return false;
    path->assign(buffer, strnlen(buffer, size));
    return !path->empty() && (*path)[0] == '/';
}

// The text a menu item shows: "&" doubled so that it is not taken as a prefix.
std::string menuText(const std::string& name)
{
    std::string text;
    for (char c : name) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

}  // namespace

bool IsFavoriteName(const std::string& name)
{
    return !name.empty() && characterCount(name) <= 63 && name.find('\\') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::vector<FavoriteEntry> LoadFavorites()
{
    std::vector<FavoriteEntry> favorites;
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, kFavoritesKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return favorites;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyEx(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        FavoriteEntry entry{name, {}};
        if (IsFavoriteName(entry.name) && readPath(key, name, &entry.path)) {
            entry.path = folderPath(entry.path);
            favorites.push_back(std::move(entry));
        }
    }
    RegCloseKey(key);
    return favorites;
}

bool StoreFavorite(const std::string& name, const std::string& path)
{
    if (!IsFavoriteName(name) || path.size() >= 1024) return false;
    const std::string keyName = kFavoritesKey + "\\" + name;
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                       &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueEx(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                      static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool DeleteFavorite(const std::string& name)
{
    if (!IsFavoriteName(name)) return false;
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, kFavoritesKey.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    const LONG result = RegDeleteKey(key, name.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool ModifyFavorite(const std::string& oldName, const std::string& newName, const std::string& path)
{
    if (!IsFavoriteName(newName)) return false;
    // Key names ignore case: a name that only changes case is the same key,
    // which must go first to take the new spelling (and comes back on failure).
    if (oldName != newName && strcasecmp(oldName.c_str(), newName.c_str()) == 0) {
        if (!DeleteFavorite(oldName)) return false;
        if (StoreFavorite(newName, path)) return true;
        StoreFavorite(oldName, path);
        return false;
    }
    if (!StoreFavorite(newName, path)) return false;
    return oldName == newName || DeleteFavorite(oldName);
}

void FillFavoritesMenu(HMENU menu)
{
    if (!menu) return;
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    const std::vector<FavoriteEntry> favorites = LoadFavorites();
    const size_t shown = std::min(favorites.size(), static_cast<size_t>(kFavoritesInMenu));
    for (size_t i = 0; i < shown; ++i)
        AppendMenu(menu, MF_STRING, CmdFavorite0 + i, menuText(favorites[i].name).c_str());
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    const TextId organize = favorites.size() > shown ? kIdsFavoritesEntry2 : kIdsFavoritesEntry1;
    AppendMenu(menu, MF_STRING, CmdOrganizeFavorites, Tr(organize).c_str());
}

void GoToFavorite(int n)
{
    const std::vector<FavoriteEntry> favorites = LoadFavorites();
    if (n < 0 || static_cast<size_t>(n) >= favorites.size()) return;
    const std::string& path = favorites[static_cast<size_t>(n)].path;
    if (!NavigateTo(path)) ShowFileFailure(path, ERROR_PATH_NOT_FOUND);
}

void AddFavoriteCommand(HWND mainWindow)
{
    const std::string folder = gApp.currentFolder;
    if (folder.empty()) return;
    std::string name = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
    name = name.substr(name.find_last_of('/') + 1);
    if (name.empty()) name = Tr(kIdsTreeRoot);
    if (!AskForName(mainWindow, NameDialog::AddFavorite, folder, &name)) return;
    if (!IsFavoriteName(name)) ShowFileFailure(name, ERROR_INVALID_NAME);
    else if (!StoreFavorite(name, folder)) ShowFileFailure(name, ERROR_WRITE_FAULT);
}

void OrganizeFavoritesCommand(HWND mainWindow)
{
    std::string open;
    if (ShowOrganizeFavorites(mainWindow, &open) && !NavigateTo(open)) ShowFileFailure(open, ERROR_PATH_NOT_FOUND);
}

}  // namespace fotrix
