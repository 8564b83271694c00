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

bool ManifestSays(const wchar_t* schema, const wchar_t* setting)
{
    static const auto query = LookUp<QueryActCtxSettingsFunction>("kernel32.dll", "QueryActCtxSettingsW");
    wchar_t value[64] = {};
    SIZE_T written = 0;
    return query != nullptr && query(0, nullptr, schema, setting, value, 64, &written) && value[0] != L'\0';
}

// Whether the program's own manifest asks for the scale. Some systems (Wine
// among them) report the monitor's scale to every program; a menu whose
// vendor drew no picture for it keeps its 100 % size there, as before.
bool OptedIn()
{
    static const bool optedIn =
        ManifestSays(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness") ||
        ManifestSays(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware");
    return optedIn;
}

unsigned MonitorDpi(HWND window)
{
    static const auto forWindow = LookUp<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow");
    if (forWindow != nullptr)
        return forWindow(window);
    // Before Windows 10 an aware program has one scale, the system's.
    const WindowDc dc(nullptr);
    return dc.get() != nullptr ? static_cast<unsigned>(GetDeviceCaps(dc.get(), LOGPIXELSX)) : BaseDpi;
}

}  // namespace

unsigned ReadWindowDpi(HWND window)
{
    const unsigned monitor = MonitorDpi(window);
    return monitor == BaseDpi ? BaseDpi : EffectiveDpi(monitor, OptedIn());
}

void AdjustFrameForDpi(RECT& frame, DWORD style, unsigned dpi)
{
    static const auto forDpi = LookUp<AdjustWindowRectExForDpiFunction>("user32.dll", "AdjustWindowRectExForDpi");
    if (dpi != BaseDpi && forDpi != nullptr)
        forDpi(&frame, style, FALSE, 0, dpi);
    else
        AdjustWindowRect(&frame, style, FALSE);
}
