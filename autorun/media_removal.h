// Whether a device-change event means that the medium the program runs from
// was taken out. Platform-free: the window hands over the event's numbers.
#pragma once

#include <cstdint>
#include <string>

// The event and record values of a device-change broadcast that matter here.
constexpr std::uintptr_t DeviceRemoveComplete = 0x8004;
constexpr std::uint32_t DeviceTypeVolume = 2;
constexpr std::uint32_t VolumeFlagMedia = 0x0001;

// The types of the program's drive that the decision tells apart, numbered
// as the system numbers them. Unknown stands for a path without a drive.
constexpr std::uint32_t DriveTypeUnknown = 0;
constexpr std::uint32_t DriveTypeRemovable = 2;
constexpr std::uint32_t DriveTypeFixed = 3;
constexpr std::uint32_t DriveTypeCdRom = 5;

// No drive letter in the path: no unit-mask bit can match it.
constexpr std::uint32_t NoDriveBit = 0;

// The unit-mask bit of the drive the program's path starts on (a: 1 << 0,
// z: 1 << 25), or NoDriveBit. The drive letter stands before the first colon,
// which must be the second character ("D:\...") or follow a prefix ending in
// a backslash ("\\?\D:\..."). Network paths ("\\server\share\...") have none.
std::uint32_t DriveBitOfPath(const std::string& path);

// True when the event reports the volume of a drive whose bit is set in
// `unitMask` gone, that drive holds the program, and what went takes the
// program with it: a medium taken out of its drive; or, on a removable or
// fixed drive (`driveType`, the program's drive as it was at start-up), the
// whole volume, since a pulled stick reports no medium of its own, and some
// sticks call themselves fixed disks. A CD-ROM drive, or one of no known
// type, stays in place when only the device record goes.
bool IsOwnMediumRemoved(std::uintptr_t event, std::uint32_t deviceType, std::uint32_t flags, std::uint32_t unitMask,
                        std::uint32_t driveBit, std::uint32_t driveType);
