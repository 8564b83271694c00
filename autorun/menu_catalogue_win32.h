// The menu definitions as the program's own resources hold them.
#pragma once

#include "autorun/menu.h"

#include <windows.h>

#include <string>

bool LoadTextResource(HINSTANCE instance, const char* name, std::string& out);
// Appends the menus of `language` to MenuList; true when MenuList is not empty.
bool LoadMenus(HINSTANCE instance, const std::string& language);
MenuPosition FindMenu(const std::string& name);
// The English name of the user's country ("Germany"), or "" when unreadable.
std::string UserCountryName();
