// Shared by the document launcher's test drivers and the stand-in programs
// they start (the reader and the program associated with a document type).
#pragma once

// Folder where a stand-in leaves its record, named after its own file:
// sumatrapdf.exe writes sumatrapdf.txt. Inherited through the environment.
constexpr const char* RecordDirectoryVariable = "VELMORA_RECORD_DIR";
// Manual-reset event that ends every waiting stand-in.
constexpr const char* StopEventName = "VelmoraDocrunnerTestStop";
// A stand-in never outlives a test that forgot to stop it by much.
constexpr unsigned long StandInLifetimeMs = 60000;
