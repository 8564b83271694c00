// The hotspot commands carried out: the plans come complete from the
// platform-free planner (commands_logic.h).
#include "autorun/commands_win32.h"

#include "autorun/click_sound_win32.h"
#include "autorun/launcher_state.h"
#include "autorun/navigation.h"
#include "autorun/start_outcome.h"
#include "common/handle_win32.h"

#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

// The shell's answer goes to the platform-free logic as it comes.
static_assert(ErrorNoAssociation == ERROR_NO_ASSOCIATION, "the missing-association error of the start logic");
static_assert(ShellErrorNoAssociation == SE_ERR_NOASSOC, "the missing-association value of the start logic");

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
    WaitForInputIdle(watch->process.get(), BusyCursorLimitMs);
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

// The system's own text for the error, or none.
std::string SystemErrorText(DWORD error)
{
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                       nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    const UniqueLocalMemory owner(text);
    if (length == 0 || text == nullptr)
        return std::string();
    return std::string(text, length);
}

void ShowMenu(HWND window, MenuPosition menu)
{
    if (!ShowMenuAt(menu))
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

void Start(HWND window, const CommandPlan& plan)
{
    PlayClickSound();
    SetCursor(LoadCursorA(nullptr, CursorResource(CursorDuringShellCall)));

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

    ShellAnswer answer;
    answer.succeeded = ShellExecuteExA(&info) != FALSE;
    answer.error = answer.succeeded ? 0 : GetLastError();
    answer.hasProcess = info.hProcess != nullptr;
    answer.instanceValue = reinterpret_cast<INT_PTR>(info.hInstApp);
    switch (ChooseStartOutcome(answer)) {
    case StartOutcome::WatchProcess:
        WatchLaunch(window, info.hProcess);
        break;
    case StartOutcome::OfferOpenWith:
        ShellExecuteA(window, nullptr, "rundll32.exe", OpenWithParameters(plan.target).c_str(), nullptr, SW_SHOWNORMAL);
        break;
    case StartOutcome::ShowError:
        MessageBoxA(window, StartErrorText(SystemErrorText(answer.error), answer.error).c_str(), nullptr, MB_ICONERROR);
        break;
    case StartOutcome::Nothing:
        break;
    }
    // Let the window pick its cursor again.
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
        ShowMenu(window, plan.menu);
        break;
    case CommandKind::Back:
        GoBack(window);
        break;
    case CommandKind::Execute:
        Start(window, plan);
        break;
    }
}

LPCSTR CursorResource(CursorChoice choice)
{
    switch (choice) {
    case CursorChoice::Wait:
        return IDC_WAIT;
    case CursorChoice::Busy:
        return IDC_APPSTARTING;
    case CursorChoice::Hand:
        return IDC_HAND;
    case CursorChoice::Arrow:
        break;
    }
    return IDC_ARROW;
}
