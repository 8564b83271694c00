// The About dialog, opened from the window's system menu.
#pragma once

#include <windows.h>

// Shows the modal About dialog over `owner` until the user closes it.
void ShowAboutDialog(HWND owner);
