// What a screen reader is told about the menu on screen: which child is
// where, how its children are walked, and what each hotspot is called.
// Platform-free; the accessible object of the window (accessible_object_win32)
// only answers with these decisions.
#pragma once

#include "autorun/interaction.h"
#include "autorun/menu.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Child ids as readers see them: 0 is the menu itself, 1 + position is a
// hotspot of the menu on screen, in the order of its index (the Tab order).
using ChildId = long;
constexpr ChildId SelfChild = 0;

ChildId ChildOfHotspot(HotspotRef hotspot);
// NoHotspot for the menu itself and for ids beyond the hotspots.
HotspotRef HotspotOfChild(const Hotspots& hotspots, ChildId child);
// The menu itself or one of its hotspots.
bool IsKnownChild(const Hotspots& hotspots, ChildId child);

// The child under a point of the client area: the hotspot that a click there
// would press, else the menu itself.
ChildId ChildAtPoint(const Hotspots& hotspots, std::int32_t x, std::int32_t y);

enum class ChildStep { Next, Previous, First, Last };
// Where a step from `from` leads: first and last from the menu itself, next
// and previous between hotspots, without wrapping. SelfChild when the step
// leads nowhere.
ChildId StepChild(const Hotspots& hotspots, ChildId from, ChildStep step);

// The texts of the user-interface language for hotspots without a given name.
struct SpokenWords {
    std::string close;
    std::string back;
};

// What a reader says for the hotspot at `position`: its given name, else for
// close and back the words of the user-interface language, for showmenu the
// title of the menu it shows (found as the click would find it, for
// `userCountry`), for anything else the file name of its target. Never empty.
std::string HotspotName(const Hotspots& hotspots, HotspotRef position, const Menus& menus,
                        const std::string& userCountry, const SpokenWords& words);

// The lines of a names resource: LF or CR LF ends a line, and a line that is
// empty or all blanks gives no name.
std::vector<std::string> ReadHotspotNames(const std::string& text);

// What a reader's default action on `child` asks of the window: the hotspot
// activated as Enter on it activates it; nothing for the menu itself or an
// unknown child.
InputResult DefaultActionOf(const Hotspots& hotspots, ChildId child);
