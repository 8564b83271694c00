// Pictures of the menus for a reviewer: each menu bitmap with its hotspot
// rectangles, their keyboard focus order and their commands drawn over it.
#pragma once

#include "disckit/menucheck/diagnostic.h"
#include "disckit/menucheck/menu_check.h"

#include <string>
#include <vector>

// The file name of a menu's picture: language, name ("root" for the empty
// one) and country, reduced to characters that are safe in a file name.
std::string PreviewFileName(const CheckedMenu& menu);

// The label drawn beside a hotspot: its place in the focus order (none for
// "close"), the name a screen reader says for it where it has one (UTF-8),
// its command word, and for a start command the file it opens; at most 40
// characters.
std::string PreviewLabel(const Hotspot& hotspot, std::size_t focusPlace, const std::string& name = {});

// Writes one PNG per menu into `directory` with ImageMagick's convert, and
// beside it NAME@2x.png of its 200 % picture where that is usable; each
// label with the hotspot's name from `namesDir` (may be empty).
// Returns false, with a diagnostic for each picture that failed.
bool WritePreviews(const std::vector<CheckedMenu>& menus, const std::string& directory, const std::string& namesDir,
                   std::vector<Diagnostic>& diagnostics);
