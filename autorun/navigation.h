// Which menu is on screen and the way back to the earlier ones.
// Platform-free. Only this module changes them, and every change puts the
// interaction's hotspot references back to none: a hover or focus position
// in one menu means nothing in the next.
#pragma once

#include "autorun/interaction.h"
#include "autorun/menu.h"

#include <deque>

// The two steps on a history of their own: exported for their unit tests,
// since the run's history below is one per process.
// Switches to `found`, pushing the current menu; false and no change at all
// when `found` is NoMenu.
bool SwitchToMenu(MenuPosition found, MenuPosition& current, std::deque<MenuPosition>& history,
                  InteractionState& interaction);
// Returns to the menu on top of the history; false and no change when it is empty.
bool ReturnToPreviousMenu(MenuPosition& current, std::deque<MenuPosition>& history, InteractionState& interaction);

// The same steps on this run's menus (MenuList and Interaction of
// launcher_state.h) and its own history, which only these functions change.
// The first menu of the run, with no way back; false when `root` is NoMenu.
bool ShowFirstMenu(MenuPosition root);
bool ShowMenuAt(MenuPosition found);
bool ShowPreviousMenu();

// The menu on screen; null before the first one.
const Menu* OnScreenMenu();
// Its hotspots; none before the first menu.
const Hotspots& CurrentHotspots();
