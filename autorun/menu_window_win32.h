// The menu window: class, creation, painting and the message routing.
#pragma once

#include <windows.h>

constexpr const char* MenuWindowClassName = "VelmoraAutorunClass";
constexpr const char* PauseMutexName = "VelmoraAutorunPauseMutex";
// Hides the window until the pause mutex is gone.
constexpr UINT WM_PAUSEMENU = WM_APP + 1;
constexpr UINT_PTR PauseTimerId = 1;
constexpr UINT PauseTimerPeriodMs = 250;
constexpr UINT IDM_ABOUT = 0x10;

// Registers the class and creates the window for CurrentMenu; null on failure.
HWND CreateMenuWindow(HINSTANCE instance);
bool IsMenuPaused();
LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintMenu(HDC dc, bool active);
void CloseOnMediaRemoval(HWND window, WPARAM event, LPARAM data);
