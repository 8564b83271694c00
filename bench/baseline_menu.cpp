// The start-up references: a window of the menu's kind (no title bar, dialog
// frame, client area the size of the bitmap, centred on the work area) that
// shows the same bitmap, with nothing else of the launcher. The menu program
// is measured against them.
//
// Built twice. The plain baseline is just that. The contract baseline
// (BENCH_CONTRACT) also pays what every start of autorun pays by its
// contract before it does any work of its own: the Common-Controls 6.0
// manifest (contract_menu.rc), the DLL search limited to System32, then
// InitCommonControls, and the imports of shell32, winmm, advapi32 and
// comctl32, whose DLLs the loader maps before WinMain.
#include <windows.h>

#if defined(BENCH_CONTRACT)
#include "common/dll_search_win32.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>
#endif

namespace {

HBITMAP Picture = nullptr;
SIZE PictureSize = {};

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, Picture);
    BitBlt(dc, 0, 0, PictureSize.cx, PictureSize.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    EndPaint(window, &paint);
}

void SetUp(HWND window)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    style = (style & ~WS_CAPTION) | WS_DLGFRAME;
    SetWindowLongA(window, GWL_STYLE, style);
    RECT frame = {0, 0, PictureSize.cx, PictureSize.cy};
    AdjustWindowRect(&frame, static_cast<DWORD>(style), FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetUp(window);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

#if defined(BENCH_CONTRACT)
// One function of each DLL autorun imports beyond the plain window's:
// referenced, so the linker keeps the imports, and never called.
void KeepImports()
{
    using AnyFunction = void (*)();
    volatile AnyFunction imported = nullptr;
    imported = reinterpret_cast<AnyFunction>(&ShellExecuteExA);
    imported = reinterpret_cast<AnyFunction>(&PlaySoundA);
    imported = reinterpret_cast<AnyFunction>(&RegOpenKeyExA);
    imported = reinterpret_cast<AnyFunction>(&InitCommonControls);
    (void)imported;
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
#if defined(BENCH_CONTRACT)
    // The order of autorun's start.
    RestrictDllSearchToSystem();
    InitCommonControls();
    KeepImports();
#endif
    Picture = static_cast<HBITMAP>(LoadImageA(instance, "menu-en", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!Picture)
        return 0;
    BITMAP info = {};
    GetObjectA(Picture, sizeof info, &info);
    PictureSize = {info.bmWidth, info.bmHeight};

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "VelmoraBaselineClass";
    if (!RegisterClassExA(&windowClass))
        return 0;
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Baseline", WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 0;
    ShowWindow(window, SW_SHOW);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
