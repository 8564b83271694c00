// What the system's own messages to the menu window mean: a device-change
// broadcast and the end of the logon session. Platform-free: the window
// hands over the message's numbers and carries out the decision, the same
// way it carries out what a key or a click means.
#pragma once

#include "autorun/commands_logic.h"
#include "autorun/menu.h"

#include <cstdint>
#include <string>

// The numbers of a WM_DEVICECHANGE message, as read from its record.
// `recordSize` is 0 when the message carries no record; the volume fields are
// 0 when the record is too short to hold them.
struct DeviceChange {
    std::uintptr_t event = 0;
    std::uint32_t recordSize = 0;
    std::uint32_t deviceType = 0;
    std::uint32_t unitMask = 0;
    std::uint32_t flags = 0;
};

// The size of the platform's volume record: a shorter record is no volume's.
constexpr std::uint32_t VolumeRecordSize = 20;

// Whether the record of a device-change `event` is read at all: only the
// completed removal matters. Any other event's data is left untouched, since
// it is whatever number the sender put there, not necessarily an address.
bool ReadsDeviceRecord(std::uintptr_t event);

enum class SystemEventAction {
    Nothing,
    RunCommand,       // carry out `command`, as a hotspot's is carried out
    RegisterRunOnce,  // start again at the next logon: `valueName` = `commandLine`
};

struct SystemEventDecision {
    SystemEventAction action = SystemEventAction::Nothing;
    CommandPlan command;
    std::string valueName;
    std::string commandLine;
};

// The "close" command when the change takes away the medium or the removable
// or fixed drive the program at `programPath` runs from (`driveType`, read at
// start-up; a cut-off path still gives the right drive); nothing otherwise.
SystemEventDecision DecideDeviceChange(const DeviceChange& change, const std::string& programPath,
                                       std::uint32_t driveType);

// When the session really ends (`ending`) with menus loaded, the program
// registers itself under the first menu's title; never with a cut-off path
// (`pathWhole` false), which would start some other program at the next logon.
SystemEventDecision DecideSessionEnd(bool ending, const Menus& menus, const std::string& programPath, bool pathWhole);
