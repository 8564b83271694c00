#include "autorun/menu_catalogue_win32.h"

#include "autorun/launcher_state.h"
#include "autorun/menu_text.h"
#include "autorun/program_resources_win32.h"

#include <cstddef>
#include <cstring>
#include <string>

std::string UserCountry()
{
    // One text, returned as it is: empty when the system has no name.
    std::string country;
    const int needed = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, nullptr, 0);
    if (needed <= 0)
        return country;
    country.assign(static_cast<std::size_t>(needed) + 1, '\0');
    const int written = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country.data(), needed);
    // The text ends at its first NUL.
    country.resize(written == 0 ? 0 : std::strlen(country.data()));
    return country;
}

bool LoadMenus(HINSTANCE instance, const std::string& language)
{
    return LoadProgramMenus(instance, language, MenuList);
}

MenuPosition FindMenu(const std::string& name)
{
    // Read afresh on every call: the user may change the region while the
    // menu is open.
    return FindMenuIn(MenuList, name, UserCountry());
}
