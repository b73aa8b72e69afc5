#pragma once
// Favorites: folders kept under a display name in the registry
// (Software\Fotrix Pocket\Favorites, one sub-key per favorite with the text
// value "Path"), read afresh whenever the menu opens or a favorite is used.
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

struct FavoriteEntry {
    std::string name;  // at most 63 characters
    std::string path;  // a folder, ending in "/"
};

// In the order the registry enumerates them; an empty list when there are none.
std::vector<FavoriteEntry> LoadFavorites();
// A display name a favorite can have: not empty, at most 63 characters and
// no "\" (which would make a key below another favorite).
bool IsFavoriteName(const std::string& name);
bool StoreFavorite(const std::string& name, const std::string& path);
bool DeleteFavorite(const std::string& name);
// Stores the favorite under its new name before the old one goes, so that a
// failed write never loses it.
bool ModifyFavorite(const std::string& oldName, const std::string& newName, const std::string& path);

// The menu shows the first ten.
constexpr int kFavoritesInMenu = 10;

// The commands: go to favorite n, add the folder shown, organize.
void GoToFavorite(int n);
void AddFavoriteCommand(HWND mainWindow);
void OrganizeFavoritesCommand(HWND mainWindow);

// The organize dialog: shows the favorites, deletes or modifies them; true with
// the folder in *open when the user chose one to go to.
bool ShowOrganizeFavorites(HWND owner, std::string* open);

}  // namespace fotrix
