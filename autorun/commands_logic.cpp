#include "autorun/commands_logic.h"

#include "autorun/menu_text.h"
#include "common/file_path.h"

#include <cstdio>

ExecuteParts SplitExecuteArgument(const std::string& argument)
{
    // Quotes mean nothing here: the first blank always ends the target.
    const std::string::size_type blank = argument.find(' ');
    if (blank == std::string::npos)
        return {argument, std::string()};
    return {argument.substr(0, blank), argument.substr(blank + 1)};
}

namespace {

// Replaces every occurrence left to right; the search resumes behind the
// inserted text, so a replacement that contains the pattern stays as it is.
std::string ReplaceAll(const std::string& text, const std::string& pattern, const std::string& replacement)
{
    std::string out;
    std::string::size_type from = 0;
    for (;;) {
        const std::string::size_type at = text.find(pattern, from);
        if (at == std::string::npos)
            break;
        out.append(text, from, at - from);
        out += replacement;
        from = at + pattern.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

}  // namespace

std::string ExpandPlaceholders(const std::string& parameters, std::uint64_t windowHandle,
                               const std::string& programDirectory)
{
    // Window handles fit in 32 bits even on 64-bit Windows, and started
    // programs read the value back as a 32-bit number.
    char handle[16];
    std::snprintf(handle, sizeof handle, "0x%08x", static_cast<unsigned>(static_cast<std::uint32_t>(windowHandle)));
    // "%hwnd%" first: its result holds no '%', so the "%root%" pass below
    // cannot be fooled by it, while a directory that happens to contain
    // "%hwnd%" is inserted after that pass and stays unchanged.
    return ReplaceAll(ReplaceAll(parameters, "%hwnd%", handle), "%root%", programDirectory);
}

CommandPlan PlanActivation(const Hotspot& hotspot, std::uint64_t windowHandle, const std::string& programPath,
                           const Menus& menus, CountryReader userCountry)
{
    CommandPlan plan;
    plan.kind = ChooseCommand(hotspot.command);
    switch (plan.kind) {
    case CommandKind::ShowMenu:
        plan.menu = FindMenuIn(menus, hotspot.argument, userCountry());
        break;
    case CommandKind::Execute: {
        const ExecuteParts parts = SplitExecuteArgument(hotspot.argument);
        // A path without a backslash is taken whole.
        plan.directory = programPath;
        DirectoryOf(programPath, plan.directory);
        plan.target = parts.target;
        plan.parameters = ExpandPlaceholders(parts.parameters, windowHandle, plan.directory);
        break;
    }
    case CommandKind::Close:
    case CommandKind::Back:
        break;
    }
    return plan;
}

bool PlanInputCommand(const InputResult& input, const Hotspots& hotspots, std::uint64_t windowHandle,
                      const std::string& programPath, const Menus& menus, CountryReader userCountry, CommandPlan& plan)
{
    switch (input.action) {
    case InputAction::Activate:
        if (input.hotspot >= hotspots.size())
            return false;
        plan = PlanActivation(hotspots[input.hotspot], windowHandle, programPath, menus, userCountry);
        return true;
    case InputAction::Back:
        plan = CommandPlan();
        plan.kind = CommandKind::Back;
        return true;
    case InputAction::CloseMenuWindow:
        plan = CommandPlan();
        plan.kind = CommandKind::Close;
        return true;
    case InputAction::Nothing:
    case InputAction::Press:
    case InputAction::DragWindow:
        break;
    }
    return false;
}
