// Both programs run from a CD folder that may hold any files, and the shell
// loads DLLs of its own while it opens a document: a DLL named like a system
// one must never be picked up from beside the program.
#pragma once

// Limits the DLL search of the process to System32. Looked up at run time,
// because systems without the loader update lack the function; there the
// search stays as it was.
void RestrictDllSearchToSystem();
