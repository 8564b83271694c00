#include "tests/wine/support/autorun_fixture.h"

std::string ScratchCopy(const std::string& program, const std::string& folder, const std::string& name)
{
    const std::string copy = ScratchDirectory(folder) + "\\" + name;
    return CopyFileTo(program, copy) ? copy : std::string();
}

bool Autorun::Start(const std::string& program, const std::string& arguments, const std::string& directory)
{
    program_ = WindowsPath(program);
    window_ = nullptr;
    return !program.empty() &&
           process_.Start("\"" + program_ + "\"" + (arguments.empty() ? "" : " " + arguments), directory);
}

bool Autorun::StartCopy(const std::string& program, const std::string& folder, const std::string& arguments,
                        const std::string& directory)
{
    return Start(ScratchCopy(program, folder), arguments, directory);
}

HWND Autorun::WaitForWindow(DWORD timeoutMs)
{
    WaitUntil(
        [&] { return (window_ = FindProcessWindow(Id(), MenuWindowClassName)) != nullptr || !process_.Running(); },
        timeoutMs);
    return window_;
}

HWND Autorun::WaitUntilShown(DWORD timeoutMs)
{
    // Found earlier, the window may still be inside its creation.
    const bool shown = WaitUntil(
        [&] {
            window_ = FindProcessWindow(Id(), MenuWindowClassName);
            return (window_ && IsWindowVisible(window_)) || !process_.Running();
        },
        timeoutMs);
    return shown && window_ && IsWindowVisible(window_) ? window_ : nullptr;
}

bool WindowShows(HWND window, const Pixels& picture, DWORD timeoutMs)
{
    return WaitUntil(
        [&] {
            UpdateWindow(window);
            return CaptureClient(window) == picture;
        },
        timeoutMs);
}

bool Autorun::Close()
{
    if (window_ && IsWindow(window_))
        PostMessageA(window_, WM_CLOSE, 0, 0);
    return EndsByItself();
}

bool Autorun::EndsByItself(DWORD timeoutMs)
{
    return process_.WaitForExit(timeoutMs) && process_.ExitCode() == 0;
}
