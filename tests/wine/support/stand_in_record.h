// Shared by the stand-in program and the drivers that read its records.
#pragma once

// Folder where each run of the stand-in leaves one record, a file named
// "<name>-<process id>.txt" after the name it was started as. Inherited
// through the environment.
constexpr const char* StandInRecordsVariable = "VELMORA_STAND_IN_RECORDS";
// The name of a manual-reset event: when set in the environment, the stand-in
// runs on until the event is set, else it ends at once.
constexpr const char* StandInStopVariable = "VELMORA_STAND_IN_STOP";
// A waiting stand-in never outlives a driver that forgot to stop it by much.
constexpr unsigned long StandInLifetimeMs = 60000;
