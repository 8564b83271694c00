#include "autorun/navigation.h"

#include "autorun/launcher_state.h"

namespace {

MenuPosition CurrentMenu = NoMenu;     // the menu on screen
std::deque<MenuPosition> MenuHistory;  // used only at its back
// The hotspots while no menu is on screen. Here rather than a static inside
// the function, whose thread-safe first use would link the runtime's guard.
const Hotspots NoHotspots;

}  // namespace

bool SwitchToMenu(MenuPosition found, MenuPosition& current, std::deque<MenuPosition>& history,
                  InteractionState& interaction)
{
    if (found == NoMenu)
        return false;
    // Pushed even when `found` is the current menu, so every successful
    // switch is undone by exactly one "back".
    history.push_back(current);
    current = found;
    ResetHotspotRefs(interaction);
    return true;
}

bool ReturnToPreviousMenu(MenuPosition& current, std::deque<MenuPosition>& history, InteractionState& interaction)
{
    if (history.empty())
        return false;
    current = history.back();
    history.pop_back();
    ResetHotspotRefs(interaction);
    return true;
}

bool ShowFirstMenu(MenuPosition root)
{
    if (root == NoMenu)
        return false;
    CurrentMenu = root;
    ResetHotspotRefs(Interaction);
    return true;
}

bool ShowMenuAt(MenuPosition found)
{
    return SwitchToMenu(found, CurrentMenu, MenuHistory, Interaction);
}

bool ShowPreviousMenu()
{
    return ReturnToPreviousMenu(CurrentMenu, MenuHistory, Interaction);
}

const Menu* OnScreenMenu()
{
    return CurrentMenu < MenuList.size() ? &MenuList[CurrentMenu] : nullptr;
}

const Hotspots& CurrentHotspots()
{
    const Menu* menu = OnScreenMenu();
    return menu != nullptr ? menu->hotspots : NoHotspots;
}
