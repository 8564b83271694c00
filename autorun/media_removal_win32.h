// The device-change broadcasts that concern the menu window.
#pragma once

#include <windows.h>

// True when a WM_DEVICECHANGE broadcast reports the medium that holds this
// program taken out of its drive.
bool IsOwnMediumRemovedEvent(WPARAM event, LPARAM data);
