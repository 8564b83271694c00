#include "autorun/run_once_win32.h"

#include "common/handle_win32.h"

#include <windows.h>

namespace {

constexpr const char* RunOnceKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

}  // namespace

bool RegisterRunOnce(const std::string& valueName, const std::string& commandLine)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, RunOnceKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey key(opened);
    // The terminating NUL is stored with the text, as the logon shell expects
    // of a REG_SZ command line.
    const DWORD size = static_cast<DWORD>(commandLine.size() + 1);
    return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine.c_str()),
                          size) == ERROR_SUCCESS;
}
