#include "autorun/launcher_state.h"

Menus MenuList;
std::string AboutText;
InteractionState Interaction;
std::atomic<std::uintptr_t> BusyProcess{0};
