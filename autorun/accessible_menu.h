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

// A name and where its bytes come from: the menu's own texts are stored in
// the code page of the menu's language, the words in the system's.
struct SpokenName {
    std::string text;
    bool interfaceWord = false;
};

// What a reader says for the hotspot at `position`: its given name, else for
// close and back the words of the user-interface language, for showmenu the
// title of the menu it shows (found as the click would find it, for
// `userCountry`), for anything else the file name of its target. Never empty.
SpokenName HotspotName(const Hotspots& hotspots, HotspotRef position, const Menus& menus,
                       const std::string& userCountry, const SpokenWords& words);

// The lines of a names resource: LF or CR LF ends a line, and a line that is
// empty or all blanks gives no name.
std::vector<std::string> ReadHotspotNames(const std::string& text);

// The window as a reader finds it when it asks.
struct WindowFacts {
    bool visible = true;  // hidden while another program pauses the menu
    bool enabled = true;  // disabled while the About box is open
    bool keyboardFocus = false;
};

// A reader may act on the menu only while the user could: not while it is
// hidden or disabled.
bool IsUsable(const WindowFacts& window);

// The state flags a reader is given, numbered as the platform numbers them.
constexpr std::uint32_t StateUnavailable = 0x1;
constexpr std::uint32_t StateFocused = 0x4;
constexpr std::uint32_t StateHotTracked = 0x80;
constexpr std::uint32_t StateInvisible = 0x8000;
constexpr std::uint32_t StateFocusable = 0x100000;

// The state of `child`: invisible while the window is hidden; unavailable,
// and then neither focusable nor hot, while it cannot be used; focusable
// where Tab can reach it (the close box cannot); focused where the keyboard
// focus is, the menu itself when no hotspot holds it; hot under the pointer.
std::uint32_t AccessibleState(const Hotspots& hotspots, ChildId child, const InteractionState& interaction,
                              const WindowFacts& window);

// What readers were last told about: the menu on screen, the focused and the
// hovered hotspot.
struct AccessibleView {
    const Menu* menu = nullptr;
    HotspotRef focus = NoHotspot;
    HotspotRef hover = NoHotspot;
};

enum class AccessibleEventKind { Reorder, NameChange, Focus, StateChange };
struct AccessibleEvent {
    AccessibleEventKind kind;
    ChildId child;
};

// The events that tell readers how `after` differs from `before`, in the
// order they are raised: a new screen reorders the children, renames the
// menu when its title differs and moves the focus; otherwise a moved focus,
// then the hotspot the pointer left and the one it entered. Focus events only
// while the window holds the keyboard focus.
std::vector<AccessibleEvent> EventsBetween(const AccessibleView& before, const AccessibleView& after,
                                           bool keyboardFocus);

// What a reader's default action on `child` asks of the window: the hotspot
// activated as Enter on it activates it; nothing for the menu itself, an
// unknown child or a window that cannot be used.
InputResult DefaultActionOf(const Hotspots& hotspots, ChildId child, bool usable);
