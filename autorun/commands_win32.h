// The hotspot commands, carried out for the menu window.
#pragma once

#include "autorun/interaction.h"

#include <windows.h>

#include <string>

void ActivateHotspot(HWND window, HotspotRef hotspot);
void ShowMenu(HWND window, const std::string& name);
void GoBack(HWND window);
void ExecuteArgument(HWND window, std::string argument);
