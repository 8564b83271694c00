// Stands in for a program that a hotspot starts: appends what it was given
// (command line, working directory, arguments, what a window handle among
// them names, and its process id) as one record to the file named by VELMORA_RECORDER_LOG.
#include <windows.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    char logPath[MAX_PATH] = {};
    if (GetEnvironmentVariableA("VELMORA_RECORDER_LOG", logPath, MAX_PATH) == 0)
        return 1;

    std::string record = "commandline=" + std::string(GetCommandLineA()) + "\r\n";
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    record += "directory=" + std::string(directory) + "\r\n";
    for (int i = 1; i < argc; ++i) {
        record += "arg=" + std::string(argv[i]) + "\r\n";
        // A handle passed as "0x%08x" must read back as the window it names.
        if (std::strncmp(argv[i], "0x", 2) == 0) {
            const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoul(argv[i], nullptr, 16)));
            char className[256] = {};
            if (IsWindow(window))
                GetClassNameA(window, className, sizeof className);
            record += "window=" + std::string(className) + "\r\n";
        }
    }
    record += "pid=" + std::to_string(GetCurrentProcessId()) + "\r\n";
    record += "end\r\n";

    // One write per record, so records of programs started close together
    // never interleave.
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
