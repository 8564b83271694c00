// Entry point of the menu launcher.
#include "autorun/startup_win32.h"

#include "common/dll_search_win32.h"

#include <windows.h>

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): winbase.h names them in its own style
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    RestrictDllSearchToSystem();
    return RunLauncher(instance, commandLine);
}
