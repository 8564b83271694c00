#include "autorun/system_events.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The numbers as the platform has them: the removal event 0x8004, the volume
// record type 2 and its 20 bytes, the media flag 1, drive d: as bit 3.
TEST(DecideDeviceChange, ClosesOnlyForAWholeVolumeRecordOfTheProgramsDrive)
{
    struct Row {
        DeviceChange change;
        const char* programPath;
        std::uint32_t driveType;
        SystemEventAction action;
    };
    const Row rows[] = {
        {{0x8004, 20, 2, 1u << 3, 1}, "D:\\autorun.exe", 5, SystemEventAction::RunCommand},
        {{0x8004, 24, 2, 1u << 3, 0}, "d:\\setup\\autorun.exe", 2, SystemEventAction::RunCommand},
        // No record, or one too short to be a volume's: its fields mean nothing.
        {{0x8004, 0, 0, 0, 0}, "D:\\autorun.exe", 2, SystemEventAction::Nothing},
        {{0x8004, 19, 2, 1u << 3, 1}, "D:\\autorun.exe", 5, SystemEventAction::Nothing},
        {{0x8004, 12, 2, 0, 0}, "D:\\autorun.exe", 2, SystemEventAction::Nothing},
        // The medium of another drive: the program's path names its own.
        {{0x8004, 20, 2, 1u << 4, 1}, "D:\\autorun.exe", 5, SystemEventAction::Nothing},
    };
    for (const Row& row : rows) {
        const SystemEventDecision decision = DecideDeviceChange(row.change, row.programPath, row.driveType);
        EXPECT_EQ(decision.action, row.action) << "row " << (&row - rows);
        if (row.action == SystemEventAction::RunCommand) {
            EXPECT_EQ(decision.command.kind, CommandKind::Close) << "row " << (&row - rows);
        }
        EXPECT_EQ(decision.valueName, "") << "row " << (&row - rows);
        EXPECT_EQ(decision.commandLine, "") << "row " << (&row - rows);
    }
}

// Any other event's lParam is a number another program chose, not a record.
TEST(ReadsDeviceRecord, OnlyForACompletedRemoval)
{
    EXPECT_TRUE(ReadsDeviceRecord(0x8004));
    for (std::uintptr_t event : {0x0007u, 0x0018u, 0x8000u, 0x8001u, 0x8003u, 0x8006u, 0x0000u, 0x18004u})
        EXPECT_FALSE(ReadsDeviceRecord(event)) << event;
}

TEST(DecideSessionEnd, RegistersTheWholePathUnderTheFirstMenusTitleWhenTheSessionEnds)
{
    Menus menus(2);
    menus[0].title = "Velmora Setup";
    menus[1].title = "Velmora Extras";

    const SystemEventDecision ends = DecideSessionEnd(true, menus, "D:\\autorun.exe", true);
    EXPECT_EQ(ends.action, SystemEventAction::RegisterRunOnce);
    EXPECT_EQ(ends.valueName, "Velmora Setup");
    EXPECT_EQ(ends.commandLine, "D:\\autorun.exe");

    // The session goes on; nothing loaded to show again; a cut-off path.
    EXPECT_EQ(DecideSessionEnd(false, menus, "D:\\autorun.exe", true).action, SystemEventAction::Nothing);
    EXPECT_EQ(DecideSessionEnd(true, Menus{}, "D:\\autorun.exe", true).action, SystemEventAction::Nothing);
    const SystemEventDecision cut = DecideSessionEnd(true, menus, "D:\\a", false);
    EXPECT_EQ(cut.action, SystemEventAction::Nothing);
    EXPECT_EQ(cut.commandLine, "");
}

}  // namespace
