// The menu window: its class, its creation and the names that other
// programs use to find and steer it.
#pragma once

#include <windows.h>

constexpr const char* MenuWindowClassName = "VelmoraAutorunClass";
constexpr const char* PauseMutexName = "VelmoraAutorunPauseMutex";
// Hides the window until the pause mutex is gone.
constexpr UINT WM_PAUSEMENU = WM_APP + 1;
// The About entry of the system menu.
constexpr UINT IDM_ABOUT = 0x10;

// Registers the class and creates the window for the menu on screen; null on
// failure.
HWND CreateMenuWindow(HINSTANCE instance);
