// The device-change broadcasts that concern the menu window.
#pragma once

#include <windows.h>

#include <cstdint>

// The type of the drive this program runs from, as GetDriveTypeA gives it for
// the drive's root; DriveTypeUnknown when its path names no drive letter.
std::uint32_t QueryOwnDriveType();

// True when a WM_DEVICECHANGE broadcast reports the medium that holds this
// program taken out of its drive, or the removable drive it runs from pulled
// out (OwnDriveType of the launcher state tells which drive that is).
bool IsOwnMediumRemovedEvent(WPARAM event, LPARAM data);
