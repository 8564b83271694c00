// The click sound of a test build: instead of playing, appends the file name
// it was given as one line "<name>" to the file named by VELMORA_SOUND_LOG.
#include "autorun/sound_output_win32.h"

#include <windows.h>

void PlaySoundFile(const std::string& fileName)
{
    char logPath[MAX_PATH] = {};
    if (GetEnvironmentVariableA("VELMORA_SOUND_LOG", logPath, MAX_PATH) == 0)
        return;
    const std::string line = "<" + fileName + ">\r\n";
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}
