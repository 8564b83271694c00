// The hotspot commands worked out before the platform is asked: what a
// command word does, and for a start the target and its expanded
// parameters. Platform-free; the Win32 side only carries out a plan.
#pragma once

#include "autorun/command_words.h"
#include "autorun/interaction.h"
#include "autorun/menu.h"

#include <cstdint>
#include <string>

struct ExecuteParts {
    std::string target;
    std::string parameters;
};
ExecuteParts SplitExecuteArgument(const std::string& argument);

// "%hwnd%" becomes the handle as "0x%08x", then "%root%" the program
// directory; replacement text is never searched again.
// Exported for the start-command fuzz target and its unit tests.
std::string ExpandPlaceholders(const std::string& parameters, std::uint64_t windowHandle,
                               const std::string& programDirectory);

// One command, complete: the Win32 side needs nothing more to carry it out.
struct CommandPlan {
    CommandKind kind = CommandKind::Close;
    MenuPosition menu = NoMenu;  // ShowMenu: the menu to show; NoMenu when none has the name
    std::string target;          // Execute: what the shell starts, as written
    std::string parameters;      // Execute: its parameters, placeholders expanded
    std::string directory;       // Execute: where it starts, the program's path up to its
                                 // last backslash (without it), a path without one whole
};

// The user's country as the menus name it ("Germany"), "" when unreadable;
// asked only when a command looks up a menu, since the user may change the
// region while the menu is open.
using CountryReader = std::string (*)();

// The command of `hotspot` for the window `windowHandle` of the program at
// `programPath` (a cut-off path still gives the right drive). A "showmenu"
// names its menu among `menus` ("" the root) for the user's country.
// Exported for its unit tests, which plan one hotspot without an input event.
CommandPlan PlanActivation(const Hotspot& hotspot, std::uint64_t windowHandle, const std::string& programPath,
                           const Menus& menus, CountryReader userCountry);

// The command an input decision asks for: the activated hotspot's own, "back"
// for Back, "close" for CloseMenuWindow. False for every other decision, and
// for a hotspot that is not in the list.
bool PlanInputCommand(const InputResult& input, const Hotspots& hotspots, std::uint64_t windowHandle,
                      const std::string& programPath, const Menus& menus, CountryReader userCountry, CommandPlan& plan);
