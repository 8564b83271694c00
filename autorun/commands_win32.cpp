// The hotspot commands carried out: the plans come complete from the
// platform-free planner (commands_logic.h).
#include "autorun/commands_win32.h"

#include "autorun/click_sound_win32.h"
#include "autorun/launcher_state.h"
#include "autorun/menu_catalogue_win32.h"
#include "autorun/navigation.h"
#include "common/handle_win32.h"

#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <memory>

#if defined(_WIN32) && !defined(_WIN64)
// The shipped 32-bit program hands the shell the structure of 60 bytes that
// every Windows version since NT 4 takes.
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "SHELLEXECUTEINFOA of the 32-bit platform");
#endif

namespace {

// What a watcher thread needs. It owns the process handle of its own launch,
// so two launches in quick succession never wait on each other's process and
// every handle is closed once its wait is over.
struct LaunchWatch {
    HWND window;
    UniqueHandle process;
};

DWORD WINAPI LaunchWatcher(LPVOID parameter)
{
    const std::unique_ptr<LaunchWatch> watch(static_cast<LaunchWatch*>(parameter));
    // Ready, time-out and failure all end the wait alike.
    WaitForInputIdle(watch->process.get(), 10000);
    // The slot only drives the cursor: the first watcher to finish gives the
    // arrow back even when a later launch is still starting.
    BusyProcess.store(0);
    PostMessageA(watch->window, WM_SETCURSOR, 0, 0);
    return 0;
}

void WatchLaunch(HWND window, HANDLE process)
{
    BusyProcess.store(reinterpret_cast<std::uintptr_t>(process));
    std::unique_ptr<LaunchWatch> watch(new LaunchWatch{window, UniqueHandle(process)});
    DWORD threadId = 0;
    const UniqueHandle thread(CreateThread(nullptr, 0, LaunchWatcher, watch.get(), 0, &threadId));
    if (thread) {
        static_cast<void>(watch.release());  // the thread owns it now
        return;
    }
    // Without a watcher nobody would ever end the busy cursor.
    BusyProcess.store(0);
}

// The system's own text for the error, or ours when it has none.
void ShowStartError(HWND window, DWORD error)
{
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                       nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    const UniqueLocalMemory owner(text);
    std::string message;
    if (length != 0 && text != nullptr) {
        message.assign(text, length);
    } else {
        char fallback[96];
        std::snprintf(fallback, sizeof fallback, "This item could not be started (error %lu).",
                      static_cast<unsigned long>(error));
        message = fallback;
    }
    MessageBoxA(window, message.c_str(), nullptr, MB_ICONERROR);
}

void ShowMenu(HWND window, const std::string& name)
{
    if (!ShowMenuAt(FindMenu(name)))
        return;
    InvalidateRect(window, nullptr, FALSE);
    PlayClickSound();
}

void GoBack(HWND window)
{
    if (!ShowPreviousMenu())
        return;
    InvalidateRect(window, nullptr, FALSE);
    PlayClickSound();
}

// When the shell knows no program for the target, the user is asked for one.
void OfferOpenWith(HWND window, const std::string& target)
{
    // The open-with chooser takes the target as it stands, unquoted.
    const std::string chooser = "shell32.dll,OpenAs_RunDLL " + target;
    ShellExecuteA(window, nullptr, "rundll32.exe", chooser.c_str(), nullptr, SW_SHOWNORMAL);
}

void Start(HWND window, const CommandPlan& plan)
{
    PlayClickSound();
    // The shell call blocks this thread; the wait cursor says so.
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));

    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = window;
    info.lpVerb = nullptr;
    info.lpFile = plan.target.c_str();
    info.lpParameters = plan.parameters.c_str();
    info.lpDirectory = plan.directory.c_str();
    info.nShow = SW_SHOWNORMAL;

    if (ShellExecuteExA(&info)) {
        // A document opened by a running program gives back no process.
        if (info.hProcess != nullptr)
            WatchLaunch(window, info.hProcess);
    } else {
        const DWORD error = GetLastError();
        // Windows reports a missing association through the thread's error
        // code; Wine only through hInstApp, which Windows sets alike.
        const bool unassociated =
            error == ERROR_NO_ASSOCIATION || reinterpret_cast<INT_PTR>(info.hInstApp) == SE_ERR_NOASSOC;
        if (unassociated)
            OfferOpenWith(window, plan.target);
        else
            ShowStartError(window, error);
    }
    // Let the window pick its cursor again: busy while a start is pending.
    SendMessageA(window, WM_SETCURSOR, 0, 0);
}

}  // namespace

void CarryOutCommand(HWND window, const CommandPlan& plan)
{
    switch (plan.kind) {
    case CommandKind::Close:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    case CommandKind::ShowMenu:
        ShowMenu(window, plan.menuName);
        break;
    case CommandKind::Back:
        GoBack(window);
        break;
    case CommandKind::Execute:
        Start(window, plan);
        break;
    }
}
