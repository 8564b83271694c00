#include "autorun/launcher_state.h"

Menus MenuList;
std::string AboutText;
InteractionState Interaction;
std::uint32_t OwnDriveType = 0;
std::uint32_t MenuCodePage = 1252;
std::atomic<std::uintptr_t> BusyProcess{0};
