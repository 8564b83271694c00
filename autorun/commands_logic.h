// The text work of the hotspot commands: which command a word names and how
// a start argument is split and expanded. Platform-free.
#pragma once

#include <cstdint>
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
