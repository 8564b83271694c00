// Runs of autorun (the shipped program or a test build of it) as Explorer
// starts it, with the names the program shares with its surroundings taken
// from the program's own headers.
#pragma once

#include "autorun/menu_window_win32.h"       // window class, pause mutex and message, About entry
#include "autorun/resources/resource_ids.h"  // dialog controls and strings
#include "tests/wine/support/test_support.h"

#include <string>

// The platform's keys the menu reads and writes.
constexpr const char* RunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* NavigationSoundKey = "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.current";

// The shipped menus: the root menu's title in both languages, and the
// English picture and index.
constexpr const char* ShippedTitle = "Brenna Netquill 4412";
constexpr const char* ShippedEnglishMenu = "MENU-EN";

// `program` (a build path or a Windows path) copied as `name` alone into a
// fresh scratch folder `folder`; empty when that failed.
std::string ScratchCopy(const std::string& program, const std::string& folder, const std::string& name = "autorun.exe");

// Whether the window's client area is `picture`, once a paint has caught up
// with every request.
bool WindowShows(HWND window, const Pixels& picture, DWORD timeoutMs = 10000);

// One run of autorun. A program still running at the end of the case is
// ended from outside.
class Autorun {
public:
    // Starts `program` with `arguments` ("-lang:de" picks the menu language)
    // in `directory` (empty: the driver's).
    bool Start(const std::string& program, const std::string& arguments = "", const std::string& directory = "");
    // The same from a copy of `program` in the fresh scratch folder `folder`,
    // so the one-copy-per-path rule never meets a copy of another case.
    bool StartCopy(const std::string& program, const std::string& folder, const std::string& arguments = "",
                   const std::string& directory = "");

    // The menu window once it exists, shown or not; null when none came.
    HWND WaitForWindow(DWORD timeoutMs = 10000);
    // The menu window once it is shown; null when the program ended first
    // or nothing was shown in time. Shown means sized and set up.
    HWND WaitUntilShown(DWORD timeoutMs = 10000);
    bool Shows(const Pixels& picture, DWORD timeoutMs = 10000) { return WindowShows(window_, picture, timeoutMs); }
    // Closes the window as its system menu would; true when the program then
    // ended with 0.
    bool Close();
    // True when the program ended by itself with 0.
    bool EndsByItself(DWORD timeoutMs = 10000);

    HWND Window() const { return window_; }
    ChildProcess& Process() { return process_; }
    DWORD Id() const { return process_.Id(); }
    std::string Output() { return process_.Output(); }
    const std::string& Program() const { return program_; }

private:
    std::string program_;
    ChildProcess process_;
    HWND window_ = nullptr;
};
