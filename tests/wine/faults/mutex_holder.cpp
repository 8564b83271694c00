// Takes the menu's pause mutex and keeps it until it is ended from outside,
// the way a crashing installer would leave it.
#include "autorun/menu_window_win32.h"

#include <cstdio>

int main()
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, PauseMutexName);
    if (!mutex)
        return 1;
    std::puts("holding");
    std::fflush(stdout);
    Sleep(60000);
    return 0;
}
