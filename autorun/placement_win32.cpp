#include "autorun/placement_win32.h"

#include "autorun/placement_math.h"
#include "autorun/rect_win32.h"
#include "common/handle_win32.h"

namespace {

static_assert(sizeof(MONITORINFO) == 40, "GetMonitorInfoA expects a 40-byte record");

using MonitorFromWindowFunction = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

// GetProcAddress hands back a generic function pointer; going through
// void(*)() tells the compiler that the conversion is intended.
template <typename Function>
Function LookUp(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The work area of the monitor nearest to `window`; the primary work area
// when the multi-monitor functions are missing.
Rect GetWorkArea(HWND window)
{
    // Looked up by name so that the program still starts on systems whose
    // user32 has no multi-monitor functions.
    UniqueLibrary user32(LoadLibraryA("user32.dll"));
    MonitorFromWindowFunction monitorFromWindow = nullptr;
    GetMonitorInfoFunction getMonitorInfo = nullptr;
    if (user32) {
        monitorFromWindow = LookUp<MonitorFromWindowFunction>(user32.get(), "MonitorFromWindow");
        getMonitorInfo = LookUp<GetMonitorInfoFunction>(user32.get(), "GetMonitorInfoA");
    }

    if (window && monitorFromWindow && getMonitorInfo) {
        HMONITOR monitor = monitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (monitor) {
            MONITORINFO info = {};
            info.cbSize = sizeof(info);
            if (getMonitorInfo(monitor, &info)) {
                return FromWin32Rect(info.rcWork);
            }
        }
    }

    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return FromWin32Rect(area);
}

}  // namespace

bool CenterWindow(HWND window, HWND reference)
{
    RECT windowRect = {};
    GetWindowRect(window, &windowRect);
    const Rect workArea = GetWorkArea(window);

    Rect referenceRect;
    bool hasReference = false;
    if (reference) {
        RECT rect = {};
        GetWindowRect(reference, &rect);
        referenceRect = FromWin32Rect(rect);
        hasReference = true;
    }

    const Point pos = CenteredPosition(FromWin32Rect(windowRect), workArea, hasReference ? &referenceRect : nullptr,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    return SetWindowPos(window, nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}
