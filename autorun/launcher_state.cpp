#include "autorun/launcher_state.h"

Menus MenuList;
std::string AboutText;
InteractionState Interaction;
std::uint32_t OwnDriveType = 0;
std::atomic<std::uintptr_t> BusyProcess{0};
