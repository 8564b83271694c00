// Stands in for every program that the programs under test start: the PDF
// reader, the program associated with a document type, a hotspot's target.
// Records how it was started: its file, command line, current directory,
// arguments (and what a window handle among them names) and process id, one
// "key=value" a line. The record appears whole (written aside, then renamed),
// so a driver that sees the file can read it.
#include "tests/wine/support/stand_in_record.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Variable(const char* name)
{
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

std::string BaseName(const std::string& path)
{
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    const std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Record(const std::string& program)
{
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    std::string record =
        "program=" + program + "\ncommandline=" + GetCommandLineA() + "\ndirectory=" + directory + "\n";
    for (int i = 1; i < __argc; ++i) {
        record += "arg=" + std::string(__argv[i]) + "\n";
        // A handle passed as "0x%08x" must read back as the window it names.
        if (std::strncmp(__argv[i], "0x", 2) == 0) {
            const auto window =
                reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoul(__argv[i], nullptr, 16)));
            char className[256] = {};
            if (IsWindow(window))
                GetClassNameA(window, className, sizeof className);
            record += "window=" + std::string(className) + "\n";
        }
    }
    return record + "pid=" + std::to_string(GetCurrentProcessId()) + "\n";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string records = Variable(StandInRecordsVariable);
    if (records.empty())
        return 1;
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string record = Record(program);
    const std::string target =
        records + "\\" + BaseName(program) + "-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const std::string aside = target + ".writing";
    HANDLE file = CreateFileA(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExA(aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);

    const std::string stop = Variable(StandInStopVariable);
    if (!stop.empty()) {
        HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, stop.c_str());
        if (event != nullptr) {
            WaitForSingleObject(event, StandInLifetimeMs);
            CloseHandle(event);
        }
    }
    return 0;
}
