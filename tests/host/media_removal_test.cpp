#include "autorun/media_removal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::uint32_t Bit(char lowerLetter)
{
    return std::uint32_t{1} << (lowerLetter - 'a');
}

TEST(DriveBitOfPath, PlainDrivePathsGiveTheirLetterInEitherCase)
{
    EXPECT_EQ(DriveBitOfPath("D:\\autorun.exe"), Bit('d'));
    EXPECT_EQ(DriveBitOfPath("d:\\autorun.exe"), Bit('d'));
    EXPECT_EQ(DriveBitOfPath("A:\\x.exe"), Bit('a'));
    EXPECT_EQ(DriveBitOfPath("z:\\x.exe"), Bit('z'));
    EXPECT_EQ(DriveBitOfPath("Q:autorun.exe"), Bit('q'));
}

TEST(DriveBitOfPath, ExtendedLengthAndDevicePathsGiveTheLetterAfterThePrefix)
{
    EXPECT_EQ(DriveBitOfPath("\\\\?\\D:\\setup\\autorun.exe"), Bit('d'));
    EXPECT_EQ(DriveBitOfPath("\\\\?\\e:\\autorun.exe"), Bit('e'));
    EXPECT_EQ(DriveBitOfPath("\\\\.\\F:\\autorun.exe"), Bit('f'));
}

TEST(DriveBitOfPath, PathsWithoutADriveLetterNeverMatch)
{
    EXPECT_EQ(DriveBitOfPath(""), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("\\\\server\\share\\autorun.exe"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("\\\\?\\UNC\\server\\share\\autorun.exe"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("autorun.exe"), NoDriveBit);
    // A colon first: nothing stands before it.
    EXPECT_EQ(DriveBitOfPath(":\\autorun.exe"), NoDriveBit);
}

TEST(DriveBitOfPath, TheFirstColonMustFollowADriveLetterInTheRightPlace)
{
    // Not a letter before the colon.
    EXPECT_EQ(DriveBitOfPath("1:\\autorun.exe"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("\\\\?\\1:\\autorun.exe"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("@:\\x"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("[:\\x"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("`:\\x"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("{:\\x"), NoDriveBit);
    // Bytes of the upper half are no drive letters, whatever the code page.
    EXPECT_EQ(DriveBitOfPath("\xC4:\\x"), NoDriveBit);
    // Too far on without a backslash two places before it.
    EXPECT_EQ(DriveBitOfPath("ab:\\x"), NoDriveBit);
    EXPECT_EQ(DriveBitOfPath("\\\\?D:\\x"), NoDriveBit);
    // Only the first colon counts, even when a later one would fit.
    EXPECT_EQ(DriveBitOfPath("ab:\\c:\\x"), NoDriveBit);
}

TEST(IsOwnMediumRemoved, MediumTakenOutOfTheProgramsDriveCloses)
{
    EXPECT_TRUE(IsOwnMediumRemoved(DeviceRemoveComplete, DeviceTypeVolume, VolumeFlagMedia, Bit('d'), Bit('d'),
                                   DriveTypeCdRom));
    // Several drives at once, the program's among them; other flag bits too.
    EXPECT_TRUE(IsOwnMediumRemoved(DeviceRemoveComplete, DeviceTypeVolume, VolumeFlagMedia | 0x0002,
                                   Bit('d') | Bit('e'), Bit('e'), DriveTypeCdRom));
}

TEST(IsOwnMediumRemoved, AnythingElseLeavesTheMenuOpen)
{
    const std::uint32_t d = Bit('d');
    // Another drive.
    EXPECT_FALSE(
        IsOwnMediumRemoved(DeviceRemoveComplete, DeviceTypeVolume, VolumeFlagMedia, Bit('e'), d, DriveTypeCdRom));
    // A whole device (a network drive) rather than a medium.
    EXPECT_FALSE(IsOwnMediumRemoved(DeviceRemoveComplete, DeviceTypeVolume, 0x0002, d, d, DriveTypeCdRom));
    EXPECT_FALSE(IsOwnMediumRemoved(DeviceRemoveComplete, DeviceTypeVolume, 0, d, d, DriveTypeCdRom));
    // Not a volume record.
    EXPECT_FALSE(IsOwnMediumRemoved(DeviceRemoveComplete, 5, VolumeFlagMedia, d, d, DriveTypeCdRom));
    // Arrival, queries and pending removal.
    EXPECT_FALSE(IsOwnMediumRemoved(0x8000, DeviceTypeVolume, VolumeFlagMedia, d, d, DriveTypeCdRom));
    EXPECT_FALSE(IsOwnMediumRemoved(0x8001, DeviceTypeVolume, VolumeFlagMedia, d, d, DriveTypeCdRom));
    EXPECT_FALSE(IsOwnMediumRemoved(0x8003, DeviceTypeVolume, VolumeFlagMedia, d, d, DriveTypeCdRom));
    // A program path with no drive letter matches no mask at all.
    EXPECT_FALSE(IsOwnMediumRemoved(DeviceRemoveComplete, DeviceTypeVolume, VolumeFlagMedia, 0x03FFFFFF, NoDriveBit,
                                    DriveTypeCdRom));
}

TEST(IsOwnMediumRemoved, ARemovableOrFixedDriveEndsWithItsWholeDevice)
{
    // The program runs from d:, whose type was read at start-up.
    const std::uint32_t d = Bit('d');
    struct Row {
        std::uintptr_t event;
        std::uint32_t deviceType;
        std::uint32_t flags;
        std::uint32_t unitMask;
        std::uint32_t driveType;
        bool closes;
    };
    const Row rows[] = {
        // A pulled stick reports its volume without the medium flag.
        {DeviceRemoveComplete, DeviceTypeVolume, 0, d, DriveTypeRemovable, true},
        {DeviceRemoveComplete, DeviceTypeVolume, 0, d | Bit('e'), DriveTypeRemovable, true},
        // A card taken out of its reader says medium.
        {DeviceRemoveComplete, DeviceTypeVolume, VolumeFlagMedia, d, DriveTypeRemovable, true},
        // Another stick; the same drive only asked about or on its way out; a
        // record other than a volume.
        {DeviceRemoveComplete, DeviceTypeVolume, 0, Bit('e'), DriveTypeRemovable, false},
        {0x8001, DeviceTypeVolume, 0, d, DriveTypeRemovable, false},
        {0x8003, DeviceTypeVolume, 0, d, DriveTypeRemovable, false},
        {DeviceRemoveComplete, 5, 0, d, DriveTypeRemovable, false},
        // A stick that calls itself a fixed disk goes the same way; another
        // fixed volume, or one only asked about, does not.
        {DeviceRemoveComplete, DeviceTypeVolume, 0, d, DriveTypeFixed, true},
        {DeviceRemoveComplete, DeviceTypeVolume, VolumeFlagMedia, d, DriveTypeFixed, true},
        {DeviceRemoveComplete, DeviceTypeVolume, 0, Bit('e'), DriveTypeFixed, false},
        {0x8001, DeviceTypeVolume, 0, d, DriveTypeFixed, false},
        // CD-ROM drives and drives of no known type still need the medium flag.
        {DeviceRemoveComplete, DeviceTypeVolume, 0, d, DriveTypeCdRom, false},
        {DeviceRemoveComplete, DeviceTypeVolume, 0, d, DriveTypeUnknown, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsOwnMediumRemoved(row.event, row.deviceType, row.flags, row.unitMask, d, row.driveType), row.closes)
            << "row " << (&row - rows);
    }
}

}  // namespace
