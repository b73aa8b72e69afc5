#pragma once
// The program's menu and menu-bar resources.
#include <vector>

namespace fotrix {

void RegisterAppMenus();
// Every text of the built-in menus and menu-bar buttons (repeats included):
// the keys a language file's "Menu" section may hold.
std::vector<const char*> BuiltInMenuTexts();

}  // namespace fotrix
