#include "autorun/menu_catalogue_win32.h"

#include "autorun/launcher_state.h"
#include "autorun/menu_text.h"
#include "autorun/program_resources_win32.h"

#include <cstddef>
#include <vector>

std::string UserCountry()
{
    const int needed = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, nullptr, 0);
    if (needed <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1, '\0');
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, buffer.data(), needed) == 0)
        return std::string();
    return std::string(buffer.data());
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
