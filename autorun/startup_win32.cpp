// Start-up of the menu launcher: one copy per executable path, the menu
// language, the menus, the root menu and the message loop.
#include "autorun/startup_win32.h"

#include "autorun/launcher_state.h"
#include "autorun/media_removal_win32.h"
#include "autorun/menu_catalogue_win32.h"
#include "autorun/menu_window_win32.h"
#include "autorun/navigation.h"
#include "autorun/program_resources_win32.h"
#include "autorun/resources/resource_ids.h"
#include "common/command_line.h"
#include "common/program_path_win32.h"
#include "common/standard_output.h"

#include <commctrl.h>

#include <string>

namespace {

// The language given as -lang:xx, when it has exactly one value.
void ApplyLanguageOption(const CommandLine& cmdline, std::string& language)
{
    const CommandLineOption& option = cmdline.FindOption("lang");
    if (option.valid && option.values.size() == 1)
        language = option.values[0];
}

// True when a copy started from the same executable path already runs; its
// window has then been restored and brought to the front.
bool ActivateExistingInstance()
{
    // A cut-off path names the mutex as far as it goes.
    std::string name = OwnProgramPath().path;
    // A backslash would name a kernel object namespace, and the file system
    // ignores the case of ASCII letters: D:\AUTORUN.EXE and d:\autorun.exe are
    // one program.
    for (char& c : name) {
        if (c == '\\')
            c = '_';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    // Never closed: the mutex marks this copy as running until it ends.
    CreateMutexA(nullptr, TRUE, name.c_str());
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

    std::string language = LoadStringResource(instance, IDS_LANGUAGE);
    const CommandLine cmdline(commandLineText ? commandLineText : "");
    ApplyLanguageOption(cmdline, language);

    // English is tried again whatever the first language was, so a damaged
    // table for one language still leaves a usable menu.
    if (!LoadMenus(instance, language) && !LoadMenus(instance, "en")) {
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
