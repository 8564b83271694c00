// The hotspot commands, carried out for the menu window.
#pragma once

#include "autorun/commands_logic.h"
#include "autorun/interaction.h"

#include <windows.h>

// Closes the window, switches the menu, goes back or starts the plan's target
// through the shell, with the click sound and the busy cursor where they
// belong.
void CarryOutCommand(HWND window, const CommandPlan& plan);

// The system cursor that shows `choice`.
LPCSTR CursorResource(CursorChoice choice);
