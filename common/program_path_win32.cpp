#include "common/program_path_win32.h"

#include <windows.h>

#include <algorithm>

namespace {

void ReadProgramPath(ProgramPath& program)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    program.whole = length > 0 && length < MAX_PATH;
    // Older systems leave a cut path unterminated, newer ones end it a byte
    // early: either way the text stops at the buffer's end or its first NUL.
    const std::size_t kept = length < MAX_PATH ? length : MAX_PATH;
    program.path.assign(buffer, std::find(buffer, buffer + kept, '\0'));
}

// Read on the first call. The programs make it at start-up, on their main
// thread, before they start any other, so a plain flag does what a static
// inside the function would, without linking the runtime's thread-safe guard.
ProgramPath Program;
bool ProgramRead = false;

}  // namespace

const ProgramPath& OwnProgramPath()
{
    if (!ProgramRead) {
        ReadProgramPath(Program);
        ProgramRead = true;
    }
    return Program;
}
