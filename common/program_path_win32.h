// The program's own file name, as GetModuleFileNameA gives it in a buffer of
// MAX_PATH bytes.
#pragma once

#include <string>

struct ProgramPath {
    // What the system wrote, up to MAX_PATH bytes: a cut path still starts
    // with the right drive, but names another file.
    std::string path;
    // False when the path was cut or could not be read at all.
    bool whole = false;
};

// Read once per process: the program's file cannot move while it runs.
const ProgramPath& OwnProgramPath();
