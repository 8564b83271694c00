#include "autorun/media_removal.h"

namespace {

// ASCII only: the path is in the ANSI code page, where a drive letter is
// always a plain Latin letter, whatever the C locale says about other bytes.
bool IsDriveLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

std::uint32_t DriveBitOfPath(const std::string& path)
{
    const std::string::size_type colon = path.find(':');
    if (colon == std::string::npos || colon == 0) {
        return NoDriveBit;
    }
    const bool plainDrive = colon == 1;
    const bool afterPrefix = colon >= 2 && path[colon - 2] == '\\';
    const char letter = path[colon - 1];
    if (!(plainDrive || afterPrefix) || !IsDriveLetter(letter)) {
        return NoDriveBit;
    }
    const char lower = static_cast<char>(letter | 0x20);
    return std::uint32_t{1} << (lower - 'a');
}

bool IsOwnMediumRemoved(std::uintptr_t event, std::uint32_t deviceType, std::uint32_t flags, std::uint32_t unitMask,
                        std::uint32_t driveBit, std::uint32_t driveType)
{
    const bool mediumGone =
        (flags & VolumeFlagMedia) != 0 || driveType == DriveTypeRemovable || driveType == DriveTypeFixed;
    if (event != DeviceRemoveComplete || deviceType != DeviceTypeVolume || !mediumGone) {
        return false;
    }
    return (unitMask & driveBit) != 0;
}
