#include "common/program_path_win32.h"

#include <windows.h>

#include <algorithm>

namespace {

ProgramPath ReadProgramPath()
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    ProgramPath program;
    program.whole = length > 0 && length < MAX_PATH;
    // Older systems leave a cut path unterminated, newer ones end it a byte
    // early: either way the text stops at the buffer's end or its first NUL.
    const std::size_t kept = length < MAX_PATH ? length : MAX_PATH;
    program.path.assign(buffer, std::find(buffer, buffer + kept, '\0'));
    return program;
}

}  // namespace

const ProgramPath& OwnProgramPath()
{
    static const ProgramPath program = ReadProgramPath();
    return program;
}
