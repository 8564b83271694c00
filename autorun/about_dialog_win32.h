// The About dialog, opened from the window's system menu.
#pragma once

#include <windows.h>

#include <string>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The link time of the program file at `path` as local calendar time; false
// when the file cannot be read or holds no PE headers.
bool ReadBuildTime(const char* path, SYSTEMTIME& time);

// printf-style formatting; the result is the whole text whatever its length.
std::string FormatText(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
