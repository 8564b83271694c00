// Entry point of the menu launcher.
#include "autorun/startup_win32.h"

#include <windows.h>

namespace {

// The program runs from a CD folder that may hold any files, so a DLL named
// like a system one must never be picked up from there. Looked up at run time
// because older systems without the update lack the function.
void RestrictDllSearchToSystem()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return;
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    RestrictDllSearchToSystem();
    return RunLauncher(instance, commandLine);
}
