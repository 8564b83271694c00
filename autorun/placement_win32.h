// Window placement on the work area of the nearest monitor.
#pragma once

#include "autorun/menu.h"

#include <windows.h>

// The work area of the monitor nearest to `window`; the primary work area
// when window is null or the multi-monitor functions are missing.
Rect GetWorkArea(HWND window);
// Centres `window` on `reference` (or on its work area when null) and keeps
// it inside the work area; never resizes, reorders or activates it.
bool CenterWindow(HWND window, HWND reference);
