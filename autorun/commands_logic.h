// The text and list work of the hotspot commands: which command a word names,
// how a start argument is split and expanded, and the menu history.
// Platform-free.
#pragma once

#include "autorun/interaction.h"
#include "autorun/menu.h"

#include <cstdint>
#include <deque>
#include <string>

enum class CommandKind { Close, ShowMenu, Back, Execute };

// Exact, case-sensitive; "close" before "showmenu" before "back"; every other
// word starts its argument.
CommandKind ChooseCommand(const std::string& word);

struct ExecuteParts {
    std::string target;
    std::string parameters;
};
ExecuteParts SplitExecuteArgument(const std::string& argument);

// "%hwnd%" becomes the handle as "0x%08x", then "%root%" the program
// directory; replacement text is never searched again.
std::string ExpandPlaceholders(const std::string& parameters, std::uint64_t windowHandle,
                               const std::string& programDirectory);

// The program's path cut at its last backslash, the backslash removed; a
// path without a backslash whole.
std::string ProgramDirectoryOf(const std::string& programPath);

// Switches to `found`, pushing the current menu; false and no change at all
// when `found` is NoMenu.
bool SwitchToMenu(MenuPosition found, MenuPosition& current, std::deque<MenuPosition>& history,
                  InteractionState& interaction);
// Returns to the menu on top of the history; false and no change when it is empty.
bool ReturnToPreviousMenu(MenuPosition& current, std::deque<MenuPosition>& history,
                          InteractionState& interaction);
