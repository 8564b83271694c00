// Stands in for the PDF reader, or for the program the shell starts for a
// document: records how it was started, then runs until the test stops it.
// The record holds three lines: the command line, the current directory and
// the process id. It appears whole (written aside, then renamed), so a
// driver that sees the file can read it.
#include "tests/wine/docrunner/recorder.h"

#include <windows.h>

#include <string>

namespace {

std::string OwnBaseName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    std::string::size_type slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

void WriteRecord()
{
    char directory[MAX_PATH] = {};
    if (GetEnvironmentVariableA(RecordDirectoryVariable, directory, MAX_PATH) == 0)
        return;
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string record = std::string(GetCommandLineA()) + "\n" + current + "\n" +
                               std::to_string(GetCurrentProcessId()) + "\n";

    const std::string target = std::string(directory) + "\\" + OwnBaseName() + ".txt";
    const std::string aside = target + ".part";
    HANDLE file = CreateFileA(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExA(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    WriteRecord();
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, StopEventName);
    if (stop != nullptr) {
        WaitForSingleObject(stop, StandInLifetimeMs);
        CloseHandle(stop);
    }
    return 0;
}
