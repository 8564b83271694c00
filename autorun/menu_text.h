// Loading of the menu definitions: the main index, the menu indexes and their
// messages. Platform-free; the resource texts it cuts are untrusted bytes.
#pragma once

#include "autorun/menu.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the loader needs of the program's resources, and where it reports.
class MenuResources {
public:
    virtual ~MenuResources() = default;
    // The bytes of the raw-data resource `name`; false leaves `out` unchanged.
    virtual bool LoadText(const std::string& name, std::string& out) = 0;
    // Loads the bitmap `name` into menu.bitmap and menu.bitmapInfo.
    virtual bool LoadBitmap(const std::string& name, Menu& menu) = 0;
    // One complete "error: ..." message, written and flushed at once.
    virtual void Report(const std::string& message) = 0;
};

// Appends the fields of `text` cut at `delimiter` to `out`, at most
// `maxFields` of them (0: no limit), the last holding the unsplit rest.
// Returns the number of fields appended.
std::size_t SplitString(const std::string& delimiter, const std::string& text,
                        std::vector<std::string>& out, std::size_t maxFields);

// A coordinate field read the way atol reads it; values beyond the 32-bit
// range are clamped, as strtol clamps, instead of overflowing.
std::int32_t ReadCoordinate(const std::string& field);

// Appends every menu of `language` that loads completely to `menus`.
// Returns true when `menus` is not empty afterwards.
bool LoadMenusFrom(MenuResources& resources, const std::string& language, Menus& menus);

// The first menu named `name` whose country filter passes, or NoMenu.
MenuPosition FindMenuIn(const Menus& menus, const std::string& name,
                        const std::function<bool(const std::string& country)>& countryMatches);
