// The menus of this run: loaded from the program's resources, looked up for
// the user's country.
#pragma once

#include "autorun/menu.h"

#include <windows.h>

#include <string>

// Appends the menus of `language` to MenuList; true when MenuList is not empty.
bool LoadMenus(HINSTANCE instance, const std::string& language);
// The English name of the user's country ("Germany"), or "" when unreadable.
std::string UserCountry();
// The menu named `name` ("" the root) for the user's country, or NoMenu.
MenuPosition FindMenu(const std::string& name);
