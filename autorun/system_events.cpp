#include "autorun/system_events.h"

#include "autorun/media_removal.h"

bool ReadsDeviceRecord(std::uintptr_t event)
{
    return event == DeviceRemoveComplete;
}

SystemEventDecision DecideDeviceChange(const DeviceChange& change, const std::string& programPath,
                                       std::uint32_t driveType)
{
    SystemEventDecision decision;
    if (change.recordSize >= VolumeRecordSize &&
        IsOwnMediumRemoved(change.event, change.deviceType, change.flags, change.unitMask, DriveBitOfPath(programPath),
                           driveType)) {
        decision.action = SystemEventAction::RunCommand;
        decision.command.kind = CommandKind::Close;
    }
    return decision;
}

SystemEventDecision DecideSessionEnd(bool ending, const Menus& menus, const std::string& programPath, bool pathWhole)
{
    SystemEventDecision decision;
    if (!ending || menus.empty() || !pathWhole)
        return decision;
    decision.action = SystemEventAction::RegisterRunOnce;
    decision.valueName = menus.front().title;
    decision.commandLine = programPath;
    return decision;
}
