// The hotspot commands, carried out for the menu window.
#pragma once

#include "autorun/interaction.h"

#include <windows.h>

void ActivateHotspot(HWND window, HotspotRef hotspot);
void GoBack(HWND window);
