// The device-change broadcasts that concern the menu window.
#pragma once

#include "autorun/system_events.h"

#include <windows.h>

#include <cstdint>

// The type of the drive this program runs from, as GetDriveTypeA gives it for
// the drive's root; DriveTypeUnknown when its path names no drive letter.
std::uint32_t QueryOwnDriveType();

// The numbers of a WM_DEVICECHANGE message; what they mean is for
// DecideDeviceChange to say. The record is read only for the events that
// ReadsDeviceRecord names: the others' lParam is no address to follow.
DeviceChange ReadDeviceChange(WPARAM event, LPARAM data);
