// The language of the menus and the code page their texts are stored in.
// Platform-free: start-up hands over the string table's language and the
// command line, and the accessible object converts the menus' texts with the
// code page.
#pragma once

#include "common/command_line.h"

#include <cstdint>
#include <string>
#include <vector>

// The languages whose menus are loaded, in the order they are tried: the
// value of the option "lang" when it has exactly one, else
// `interfaceLanguage` (string 3000); then English, whatever came first, so
// a damaged table for one language still leaves a usable menu.
std::vector<std::string> MenuLanguagesToTry(const std::string& interfaceLanguage, const CommandLine& cmdline);

// The code page the authoring kit stores a language's texts in (its default
// table; ASCII case does not matter): 1250 for Polish and its neighbours,
// 1251 for Cyrillic, ... and 1252 for every language it does not list.
std::uint32_t CodePageOfLanguage(const std::string& language);
