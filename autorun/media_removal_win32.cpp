#include "autorun/media_removal_win32.h"

#include "autorun/media_removal.h"
#include "common/program_path_win32.h"

#include <dbt.h>

// The broadcast's numbers go to the platform-free logic as they come.
static_assert(DeviceRemoveComplete == DBT_DEVICEREMOVECOMPLETE, "the removal event of the media logic");
static_assert(DeviceTypeVolume == DBT_DEVTYP_VOLUME, "the volume record type of the media logic");
static_assert(VolumeFlagMedia == DBTF_MEDIA, "the media flag of the media logic");
static_assert(DriveTypeUnknown == DRIVE_UNKNOWN, "the unknown drive type of the media logic");
static_assert(DriveTypeRemovable == DRIVE_REMOVABLE, "the removable drive type of the media logic");
static_assert(DriveTypeFixed == DRIVE_FIXED, "the fixed drive type of the media logic");
static_assert(DriveTypeCdRom == DRIVE_CDROM, "the CD-ROM drive type of the media logic");
static_assert(VolumeRecordSize == sizeof(DEV_BROADCAST_VOLUME), "the volume record of the media logic");

std::uint32_t QueryOwnDriveType()
{
    // A cut-off path still starts with the program's drive.
    const std::uint32_t driveBit = DriveBitOfPath(OwnProgramPath().path);
    if (driveBit == NoDriveBit) {
        return DriveTypeUnknown;
    }
    char letter = 'A';
    while ((driveBit >> (letter - 'A')) != 1) {
        ++letter;
    }
    const char root[] = {letter, ':', '\\', '\0'};
    return GetDriveTypeA(root);
}

DeviceChange ReadDeviceChange(WPARAM event, LPARAM data)
{
    DeviceChange change;
    change.event = event;
    if (!ReadsDeviceRecord(event))
        return change;
    // The record comes from whoever broadcast it: read no field its size
    // does not cover.
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_DEVICECHANGE hands its record over in lParam
    const auto header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (header == nullptr || header->dbch_size < sizeof(DEV_BROADCAST_HDR))
        return change;
    change.recordSize = header->dbch_size;
    change.deviceType = header->dbch_devicetype;
    if (header->dbch_size >= sizeof(DEV_BROADCAST_VOLUME)) {
        const auto volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header);
        change.unitMask = volume->dbcv_unitmask;
        change.flags = volume->dbcv_flags;
    }
    return change;
}
