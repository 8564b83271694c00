// The process-wide state of the menu launcher. It lives for the whole run and
// is touched only on the window thread, except BusyProcess. The menu on
// screen and the way back belong to navigation.h.
#pragma once

#include "autorun/interaction.h"
#include "autorun/menu.h"

#include <atomic>
#include <cstdint>
#include <string>

extern Menus MenuList;                // filled once at start-up
extern std::string AboutText;         // empty: no About entry
extern InteractionState Interaction;  // hover, focus and press
// The type of the drive the program runs from, read once at start-up (it
// cannot change while the program runs from it): DriveType* of media_removal.h.
extern std::uint32_t OwnDriveType;
// The code page the loaded menus' texts are stored in (menu_language.h), set
// once at start-up: the system's own may be another.
extern std::uint32_t MenuCodePage;

// Process handle of the program last started until it is ready for input;
// 0 otherwise. The only value shared with the watcher threads.
extern std::atomic<std::uintptr_t> BusyProcess;
