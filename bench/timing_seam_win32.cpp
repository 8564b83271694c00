// Linked only into the timed build of autorun (bench/): the program's entry
// and the imported calls of its start-up go through these recorders (--wrap
// on WinMain and on the import pointers) and on to the real functions; each
// call leaves a time stamp as it starts and as it returns. The program's own
// objects are the shipped ones. Without the driver's mapping nothing is
// recorded; after the first paint nothing more is.
#include "bench/bench_steps.h"
#include "bench/import_wrap.h"

#include <commctrl.h>

namespace {

BenchSteps* Steps = nullptr;
bool FirstPaintDone = false;

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Mark(BenchCall call, LONG leave, LONGLONG at)
{
    if (!Steps || FirstPaintDone)
        return;
    const LONG slot = InterlockedIncrement(&Steps->count) - 1;
    if (slot < BenchStepSlots)
        Steps->marks[slot] = BenchMark{call, leave, at};
}

// Marks a call around `call`, which makes it.
template <typename Call>
auto Timed(BenchCall which, Call call) -> decltype(call())
{
    Mark(which, 0, Now());
    auto result = call();
    Mark(which, 1, Now());
    return result;
}

using InitCommonControlsFunction = void(WINAPI*)();
using CreateMutexFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
using FindResourceFunction = HRSRC(WINAPI*)(HMODULE, LPCSTR, LPCSTR);
using LoadStringFunction = int(WINAPI*)(HINSTANCE, UINT, LPSTR, int);
using LoadImageFunction = HANDLE(WINAPI*)(HINSTANCE, LPCSTR, UINT, int, int, UINT);
using LoadIconFunction = HICON(WINAPI*)(HINSTANCE, LPCSTR);
using RegisterClassExFunction = ATOM(WINAPI*)(const WNDCLASSEXA*);
using CreateWindowExFunction = HWND(WINAPI*)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                                             LPVOID);
using SetWindowPosFunction = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);
using ShowWindowFunction = BOOL(WINAPI*)(HWND, int);
using BeginPaintFunction = HDC(WINAPI*)(HWND, LPPAINTSTRUCT);
using EndPaintFunction = BOOL(WINAPI*)(HWND, const PAINTSTRUCT*);

void WINAPI TimedInitCommonControls();
HANDLE WINAPI TimedCreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL owned, LPCSTR name);
HRSRC WINAPI TimedFindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
int WINAPI TimedLoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
HANDLE WINAPI TimedLoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
HICON WINAPI TimedLoadIconA(HINSTANCE instance, LPCSTR name);
ATOM WINAPI TimedRegisterClassExA(const WNDCLASSEXA* windowClass);
HWND WINAPI TimedCreateWindowExA(DWORD extendedStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                                 int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID data);
BOOL WINAPI TimedSetWindowPos(HWND window, HWND after, int x, int y, int width, int height, UINT flags);
BOOL WINAPI TimedShowWindow(HWND window, int show);
HDC WINAPI TimedBeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL WINAPI TimedEndPaint(HWND window, const PAINTSTRUCT* paint);

}  // namespace

BENCH_WRAP_IMPORT(InitCommonControlsFunction, InitCommonControls, 0, RealInitCommonControls, TimedInitCommonControls);
BENCH_WRAP_IMPORT(CreateMutexFunction, CreateMutexA, 12, RealCreateMutexA, TimedCreateMutexA);
BENCH_WRAP_IMPORT(FindResourceFunction, FindResourceA, 12, RealFindResourceA, TimedFindResourceA);
BENCH_WRAP_IMPORT(LoadStringFunction, LoadStringA, 16, RealLoadStringA, TimedLoadStringA);
BENCH_WRAP_IMPORT(LoadImageFunction, LoadImageA, 24, RealLoadImageA, TimedLoadImageA);
BENCH_WRAP_IMPORT(LoadIconFunction, LoadIconA, 8, RealLoadIconA, TimedLoadIconA);
BENCH_WRAP_IMPORT(RegisterClassExFunction, RegisterClassExA, 4, RealRegisterClassExA, TimedRegisterClassExA);
BENCH_WRAP_IMPORT(CreateWindowExFunction, CreateWindowExA, 48, RealCreateWindowExA, TimedCreateWindowExA);
BENCH_WRAP_IMPORT(SetWindowPosFunction, SetWindowPos, 28, RealSetWindowPos, TimedSetWindowPos);
BENCH_WRAP_IMPORT(ShowWindowFunction, ShowWindow, 8, RealShowWindow, TimedShowWindow);
BENCH_WRAP_IMPORT(BeginPaintFunction, BeginPaint, 8, RealBeginPaint, TimedBeginPaint);
BENCH_WRAP_IMPORT(EndPaintFunction, EndPaint, 8, RealEndPaint, TimedEndPaint);

// The C runtime's call of WinMain comes here first (--wrap=WinMain).
extern "C" int WINAPI __real_WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
extern "C" int WINAPI __wrap_WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    const LONGLONG entered = Now();
    // Opening the mapping is the seam's own cost: it lies between the two
    // marks of WinMain and is left out of every step.
    if (HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, BenchStepsName))
        Steps = static_cast<BenchSteps*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(BenchSteps)));
    Mark(CallWinMain, 0, entered);
    Mark(CallWinMain, 1, Now());
    return __real_WinMain(instance, previous, commandLine, show);
}

namespace {

void WINAPI TimedInitCommonControls()
{
    Mark(CallInitCommonControls, 0, Now());
    RealInitCommonControls();
    Mark(CallInitCommonControls, 1, Now());
}

HANDLE WINAPI TimedCreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL owned, LPCSTR name)
{
    // The caller reads GetLastError after this call; the marks must not
    // change it.
    Mark(CallCreateMutex, 0, Now());
    HANDLE mutex = RealCreateMutexA(security, owned, name);
    const DWORD error = GetLastError();
    Mark(CallCreateMutex, 1, Now());
    SetLastError(error);
    return mutex;
}

HRSRC WINAPI TimedFindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    return Timed(CallFindResource, [&] { return RealFindResourceA(module, name, type); });
}

int WINAPI TimedLoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size)
{
    return Timed(CallLoadString, [&] { return RealLoadStringA(instance, id, buffer, size); });
}

HANDLE WINAPI TimedLoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    return Timed(type == IMAGE_BITMAP ? CallLoadBitmap : CallLoadIcon,
                 [&] { return RealLoadImageA(instance, name, type, width, height, flags); });
}

HICON WINAPI TimedLoadIconA(HINSTANCE instance, LPCSTR name)
{
    return Timed(CallLoadIcon, [&] { return RealLoadIconA(instance, name); });
}

ATOM WINAPI TimedRegisterClassExA(const WNDCLASSEXA* windowClass)
{
    // The caller reads GetLastError when the registration fails.
    Mark(CallRegisterClass, 0, Now());
    const ATOM atom = RealRegisterClassExA(windowClass);
    const DWORD error = GetLastError();
    Mark(CallRegisterClass, 1, Now());
    SetLastError(error);
    return atom;
}

HWND WINAPI TimedCreateWindowExA(DWORD extendedStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                                 int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID data)
{
    return Timed(CallCreateWindow, [&] {
        return RealCreateWindowExA(extendedStyle, className, title, style, x, y, width, height, parent, menu, instance,
                                   data);
    });
}

BOOL WINAPI TimedSetWindowPos(HWND window, HWND after, int x, int y, int width, int height, UINT flags)
{
    return Timed(CallSetWindowPos, [&] { return RealSetWindowPos(window, after, x, y, width, height, flags); });
}

BOOL WINAPI TimedShowWindow(HWND window, int show)
{
    return Timed(CallShowWindow, [&] { return RealShowWindow(window, show); });
}

HDC WINAPI TimedBeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    return Timed(CallBeginPaint, [&] { return RealBeginPaint(window, paint); });
}

BOOL WINAPI TimedEndPaint(HWND window, const PAINTSTRUCT* paint)
{
    const BOOL result = Timed(CallEndPaint, [&] { return RealEndPaint(window, paint); });
    FirstPaintDone = true;
    return result;
}

}  // namespace
