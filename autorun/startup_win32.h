// Start-up of the menu launcher.
#pragma once

#include <windows.h>

// The whole start-up sequence and message loop; returns the exit code (0).
int RunLauncher(HINSTANCE instance, const char* commandLineText);
