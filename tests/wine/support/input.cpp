#include "tests/wine/support/input.h"

#include "tests/wine/support/test_support.h"

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered)
{
    DWORD_PTR result = 0;
    const LRESULT ok = SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
    if (answered)
        *answered = ok != 0;
    return static_cast<LRESULT>(result);
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

void PostClick(HWND window, POINT point)
{
    PostMessageA(window, WM_MOUSEMOVE, 0, PointParam(point.x, point.y));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(point.x, point.y));
    PostMessageA(window, WM_LBUTTONUP, 0, PointParam(point.x, point.y));
}

void SendClick(HWND window, POINT point)
{
    SendWithin(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(point.x, point.y));
    SendWithin(window, WM_LBUTTONUP, 0, PointParam(point.x, point.y));
}

void Key(WORD key, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void Tap(WORD key)
{
    Key(key, true);
    Key(key, false);
}

void MouseButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void MouseTo(POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (screen.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = (screen.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

bool WaitForPointerAt(POINT screen)
{
    return WaitUntil(
        [&] {
            POINT cursor = {};
            return GetCursorPos(&cursor) && cursor.x == screen.x && cursor.y == screen.y;
        },
        3000);
}

POINT ClientToScreenPoint(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

bool BringToFront(HWND window)
{
    SetForegroundWindow(window);
    return WaitUntil([&] {
        PumpMessages();
        return GetForegroundWindow() == window;
    });
}

OtherWindow::OtherWindow()
{
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "other", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 40, 40,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

OtherWindow::~OtherWindow()
{
    if (window_)
        DestroyWindow(window_);
}

bool StaysTrue(const std::function<bool()>& condition, DWORD periodMs)
{
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < periodMs) {
        if (!condition())
            return false;
        Sleep(20);
    }
    return condition();
}
