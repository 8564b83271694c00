// Start-up of the menu launcher: one copy per executable path, the menu
// language, the menus, the root menu and the message loop.
#include "autorun/startup_win32.h"

#include "autorun/launcher_state.h"
#include "autorun/media_removal_win32.h"
#include "autorun/menu_catalogue_win32.h"
#include "autorun/menu_language.h"
#include "autorun/menu_window_win32.h"
#include "autorun/navigation.h"
#include "autorun/program_resources_win32.h"
#include "autorun/resources/resource_ids.h"
#include "autorun/single_instance.h"
#include "common/command_line.h"
#include "common/program_path_win32.h"
#include "common/standard_output.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

// True when a copy started from the same executable path already runs; its
// window has then been restored and brought to the front.
bool ActivateExistingInstance()
{
    // A cut-off path names the mutex as far as it goes. Never closed: the
    // mutex marks this copy as running until it ends.
    CreateMutexA(nullptr, TRUE, InstanceMutexName(OwnProgramPath().path).c_str());
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return false;

    // The first copy may not have its window yet; then there is nothing to
    // raise, and this copy still ends.
    HWND window = FindWindowA(MenuWindowClassName, nullptr);
    if (window) {
        if (IsIconic(window))
            ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    }
    return true;
}

// Loads the menus of the first language that has any; false when none has.
bool LoadMenusOfLanguage(HINSTANCE instance, const std::vector<std::string>& languages)
{
    for (const std::string& language : languages) {
        if (LoadMenus(instance, language)) {
            MenuCodePage = CodePageOfLanguage(language);
            return true;
        }
    }
    return false;
}

// Dispatches messages until the destroyed window posts the quit message.
void RunMessageLoop()
{
    MSG message;
    // -1 reports a bad parameter, which this loop never passes; it is not the
    // quit message, so the loop goes on.
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int RunLauncher(HINSTANCE instance, const char* commandLineText)
{
    InitCommonControls();
    if (ActivateExistingInstance())
        return 0;
    // Asked while the drive is surely there: once its stick is pulled, the
    // letter names no drive any more.
    OwnDriveType = QueryOwnDriveType();

    const CommandLine cmdline(commandLineText ? commandLineText : "");
    if (!LoadMenusOfLanguage(instance, MenuLanguagesToTry(LoadStringResource(instance, IDS_LANGUAGE), cmdline))) {
        WriteStandardOutput("error: no menus found\n");
        return 0;
    }

    if (!ShowFirstMenu(FindMenu(""))) {
        WriteStandardOutput("error: no root menu found\n");
        return 0;
    }
    LoadTextResource(instance, "about", AboutText);

    if (!CreateMenuWindow(instance)) {
        WriteStandardOutput("error: can't create menu window\n");
        return 0;
    }
    RunMessageLoop();
    return 0;
}
