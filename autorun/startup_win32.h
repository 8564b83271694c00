// Start-up of the menu launcher: the single-instance test and the string table.
#pragma once

#include <windows.h>

#include <string>

// True when a copy started from the same executable path already runs; its
// window has then been restored and brought to the front.
bool ActivateExistingInstance();

// String-table entry `id` in the language the platform's loader picks; the
// empty string when there is none.
std::string LoadStringResource(HINSTANCE instance, UINT id);

// The whole start-up sequence and message loop; returns the exit code (0).
int RunLauncher(HINSTANCE instance, const char* commandLineText);
