#include "autorun/accessible_menu.h"

#include "autorun/command_words.h"
#include "autorun/commands_logic.h"
#include "autorun/menu_text.h"

namespace {

// The last component of a target path; a path that ends in a separator keeps
// its whole text.
std::string FileNameOf(const std::string& target)
{
    const std::string::size_type separator = target.find_last_of("\\/");
    if (separator == std::string::npos || separator + 1 == target.size())
        return target;
    return target.substr(separator + 1);
}

std::string DefaultName(const Hotspot& hotspot, const Menus& menus, const std::string& userCountry,
                        const SpokenWords& words)
{
    switch (ChooseCommand(hotspot.command)) {
    case CommandKind::Close:
        return words.close;
    case CommandKind::Back:
        return words.back;
    case CommandKind::ShowMenu: {
        const MenuPosition target = FindMenuIn(menus, hotspot.argument, userCountry);
        return target != NoMenu && !menus[target].title.empty() ? menus[target].title : hotspot.argument;
    }
    case CommandKind::Execute:
        break;
    }
    return FileNameOf(SplitExecuteArgument(hotspot.argument).target);
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

ChildId ChildOfHotspot(HotspotRef hotspot)
{
    return hotspot == NoHotspot ? SelfChild : static_cast<ChildId>(hotspot + 1);
}

HotspotRef HotspotOfChild(const Hotspots& hotspots, ChildId child)
{
    if (child <= SelfChild || static_cast<std::size_t>(child) > hotspots.size())
        return NoHotspot;
    return static_cast<HotspotRef>(child - 1);
}

bool IsKnownChild(const Hotspots& hotspots, ChildId child)
{
    return child == SelfChild || HotspotOfChild(hotspots, child) != NoHotspot;
}

ChildId ChildAtPoint(const Hotspots& hotspots, std::int32_t x, std::int32_t y)
{
    return ChildOfHotspot(HitTest(hotspots, x, y));
}

ChildId StepChild(const Hotspots& hotspots, ChildId from, ChildStep step)
{
    const auto count = static_cast<ChildId>(hotspots.size());
    if (count == 0 || !IsKnownChild(hotspots, from))
        return SelfChild;
    if (from == SelfChild) {
        if (step == ChildStep::First)
            return 1;
        return step == ChildStep::Last ? count : SelfChild;
    }
    if (step == ChildStep::Next && from < count)
        return from + 1;
    if (step == ChildStep::Previous && from > 1)
        return from - 1;
    return SelfChild;
}

SpokenName HotspotName(const Hotspots& hotspots, HotspotRef position, const Menus& menus,
                       const std::string& userCountry, const SpokenWords& words)
{
    if (position >= hotspots.size())
        return SpokenName();
    const Hotspot& hotspot = hotspots[position];
    if (!IsBlank(hotspot.name))
        return SpokenName{hotspot.name, false};
    const CommandKind kind = ChooseCommand(hotspot.command);
    SpokenName name{DefaultName(hotspot, menus, userCountry, words),
                    kind == CommandKind::Close || kind == CommandKind::Back};
    if (IsBlank(name.text))
        name = SpokenName{hotspot.command, false};
    // A hotspot with nothing to say for itself is at least told apart by its
    // place in the Tab order.
    if (IsBlank(name.text))
        name.text = std::to_string(position + 1);
    return name;
}

std::vector<std::string> ReadHotspotNames(const std::string& text)
{
    std::vector<std::string> names;
    std::string::size_type from = 0;
    while (from < text.size()) {
        std::string::size_type end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        names.push_back(IsBlank(line) ? std::string() : line);
        from = end + 1;
    }
    return names;
}

bool IsUsable(const WindowFacts& window)
{
    return window.visible && window.enabled;
}

std::uint32_t AccessibleState(const Hotspots& hotspots, ChildId child, const InteractionState& interaction,
                              const WindowFacts& window)
{
    std::uint32_t state = window.visible ? 0 : StateInvisible;
    if (!IsUsable(window))
        return state | StateUnavailable;
    const HotspotRef hotspot = HotspotOfChild(hotspots, child);
    const HotspotRef focus = interaction.FocusHotspot < hotspots.size() ? interaction.FocusHotspot : NoHotspot;
    if (window.keyboardFocus && focus == hotspot)
        state |= StateFocused;
    if (hotspot == NoHotspot)
        return state | StateFocusable;
    if (TakesFocus(hotspots, hotspot))
        state |= StateFocusable;
    if (interaction.HoverHotspot == hotspot)
        state |= StateHotTracked;
    return state;
}

std::vector<AccessibleEvent> EventsBetween(const AccessibleView& before, const AccessibleView& after,
                                           bool keyboardFocus)
{
    std::vector<AccessibleEvent> events;
    if (after.menu != before.menu) {
        events.push_back({AccessibleEventKind::Reorder, SelfChild});
        if (before.menu == nullptr || after.menu == nullptr || after.menu->title != before.menu->title)
            events.push_back({AccessibleEventKind::NameChange, SelfChild});
        if (keyboardFocus)
            events.push_back({AccessibleEventKind::Focus, ChildOfHotspot(after.focus)});
        return events;
    }
    if (after.focus != before.focus && keyboardFocus)
        events.push_back({AccessibleEventKind::Focus, ChildOfHotspot(after.focus)});
    if (after.hover != before.hover) {
        if (before.hover != NoHotspot)
            events.push_back({AccessibleEventKind::StateChange, ChildOfHotspot(before.hover)});
        if (after.hover != NoHotspot)
            events.push_back({AccessibleEventKind::StateChange, ChildOfHotspot(after.hover)});
    }
    return events;
}

InputResult DefaultActionOf(const Hotspots& hotspots, ChildId child, bool usable)
{
    InputResult result;
    const HotspotRef hotspot = HotspotOfChild(hotspots, child);
    if (usable && hotspot != NoHotspot) {
        result.action = InputAction::Activate;
        result.hotspot = hotspot;
    }
    return result;
}
