// The program's own resources: string-table entries, raw-data texts, and the
// menus' texts and pictures as the platform-free loader reads them.
#pragma once

#include "autorun/menu.h"

#include <windows.h>

#include <string>

// String-table entry `id` in the language the platform's loader picks; the
// empty string when there is none.
std::string LoadStringResource(HINSTANCE instance, UINT id);

// The bytes of the raw-data resource `name`; false leaves `out` unchanged.
bool LoadTextResource(HINSTANCE instance, const char* name, std::string& out);

// Appends every menu of `language` that loads completely from the program's
// raw-data texts and bitmaps to `menus`; each problem goes to standard
// output as one complete message. True when `menus` is not empty afterwards.
bool LoadProgramMenus(HINSTANCE instance, const std::string& language, Menus& menus);
