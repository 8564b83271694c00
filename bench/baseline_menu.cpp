// The start-up reference: a window of the menu's kind (no title bar, dialog
// frame, client area the size of the bitmap, centred on the work area) that
// shows the same bitmap, with nothing else of the launcher. The menu program
// is measured against this one.
#include <windows.h>

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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
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
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Baseline", WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                                  0, nullptr, nullptr, instance, nullptr);
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
