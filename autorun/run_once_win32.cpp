#include "autorun/run_once_win32.h"

#include "common/registry_win32.h"

#include <windows.h>

bool RegisterRunOnce(const std::string& valueName, const std::string& commandLine)
{
    const RegistryKey runOnce{HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"};
    return runOnce.WriteString(valueName, commandLine);
}
