// The command words of the menu indexes. Platform-free. A new word is added
// here, and the planner (commands_logic.h) says what it does.
#pragma once

#include <string>

enum class CommandKind { Close, ShowMenu, Back, Execute };

// Exact, case-sensitive; "close" before "showmenu" before "back"; every other
// word starts its argument.
CommandKind ChooseCommand(const std::string& word);
