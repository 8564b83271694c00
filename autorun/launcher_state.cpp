#include "autorun/launcher_state.h"

Menus MenuList;
MenuPosition CurrentMenu = NoMenu;
std::deque<MenuPosition> MenuHistory;
std::string AboutText;
InteractionState Interaction;
std::atomic<std::uintptr_t> BusyProcess{0};

const Hotspots& CurrentHotspots()
{
    static const Hotspots none;
    return CurrentMenu < MenuList.size() ? MenuList[CurrentMenu].hotspots : none;
}
