#include "autorun/display_scale_win32.h"

#include "autorun/display_scale.h"
#include "common/handle_win32.h"

unsigned MenuDpi = BaseDpi;

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using QueryActCtxSettingsFunction = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);

// Looked up by name: systems before Windows 10 lack the per-monitor calls,
// and the program still starts there.
template <typename Function>
Function LookUp(const char* module, const char* name)
{
    const HMODULE loaded = GetModuleHandleA(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name))) : nullptr;
}

// Whether the program's own manifest asks for the scale, asked once: its
// dpiAware setting, which every Windows from 7 on can report and the
// opted-in manifest always gives beside dpiAwareness. Some systems (Wine among
// them) report the monitor's scale to every program; a menu whose vendor
// drew no picture for it keeps its 100 % size there.
int OptedIn = -1;

bool ReadOptIn()
{
    if (OptedIn < 0) {
        const auto query = LookUp<QueryActCtxSettingsFunction>("kernel32.dll", "QueryActCtxSettingsW");
        wchar_t value[64] = {};
        SIZE_T written = 0;
        OptedIn = query != nullptr &&
                  query(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", value, 64,
                        &written) &&
                  value[0] != L'\0';
    }
    return OptedIn != 0;
}

unsigned MonitorDpi(HWND window)
{
    if (const auto forWindow = LookUp<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow"))
        return forWindow(window);
    // Before Windows 10 an aware program has one scale, the system's.
    const WindowDc dc(nullptr);
    return static_cast<unsigned>(GetDeviceCaps(dc.get(), LOGPIXELSX));
}

}  // namespace

unsigned ReadWindowDpi(HWND window)
{
    const unsigned monitor = MonitorDpi(window);
    return monitor == BaseDpi ? BaseDpi : EffectiveDpi(monitor, ReadOptIn());
}

void AdjustFrameForDpi(RECT& frame, DWORD style, unsigned dpi)
{
    const auto forDpi =
        dpi != BaseDpi ? LookUp<AdjustWindowRectExForDpiFunction>("user32.dll", "AdjustWindowRectExForDpi") : nullptr;
    if (forDpi != nullptr)
        forDpi(&frame, style, FALSE, 0, dpi);
    else
        AdjustWindowRect(&frame, style, FALSE);
}
