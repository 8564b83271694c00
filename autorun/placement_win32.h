// Window placement on the work area of the nearest monitor.
#pragma once

#include <windows.h>

// Centres `window` on `reference` (or on its work area when null) and keeps
// it inside the work area; never resizes, reorders or activates it.
bool CenterWindow(HWND window, HWND reference);
