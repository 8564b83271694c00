#include "autorun/accessible_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Hotspot At(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, const char* command,
           const char* argument, const char* name = "")
{
    Hotspot hotspot;
    hotspot.left = left;
    hotspot.top = top;
    hotspot.right = right;
    hotspot.bottom = bottom;
    hotspot.command = command;
    hotspot.argument = argument;
    hotspot.name = name;
    return hotspot;
}

// Three hotspots, the second overlapping the first, and a close box.
Hotspots Screen()
{
    return {At(0, 0, 40, 30, "execute", "setup.exe"), At(20, 10, 60, 40, "showmenu", "docs"),
            At(100, 0, 120, 20, "close", "")};
}

Menu MenuNamed(const char* name, const char* country, const char* title)
{
    Menu menu;
    menu.name = name;
    menu.country = country;
    menu.title = title;
    return menu;
}

}  // namespace

TEST(AccessibleChildren, IdsFollowTheIndexAndPointsGoWhereAClickWould)
{
    const Hotspots hotspots = Screen();
    EXPECT_EQ(ChildOfHotspot(NoHotspot), SelfChild);
    EXPECT_EQ(ChildOfHotspot(2), 3);
    EXPECT_EQ(HotspotOfChild(hotspots, 1), HotspotRef{0});
    EXPECT_EQ(HotspotOfChild(hotspots, 3), HotspotRef{2});
    for (ChildId outside : {0L, 4L, -1L, 0x7fffffffL})
        EXPECT_EQ(HotspotOfChild(hotspots, outside), NoHotspot) << outside;
    EXPECT_TRUE(IsKnownChild(hotspots, SelfChild));
    EXPECT_TRUE(IsKnownChild(hotspots, 3));
    EXPECT_FALSE(IsKnownChild(hotspots, 4));
    EXPECT_FALSE(IsKnownChild(hotspots, -1));

    EXPECT_EQ(ChildAtPoint(hotspots, 5, 5), 1);
    EXPECT_EQ(ChildAtPoint(hotspots, 30, 20), 1);  // the overlap belongs to the earlier line
    EXPECT_EQ(ChildAtPoint(hotspots, 50, 35), 2);
    EXPECT_EQ(ChildAtPoint(hotspots, 119, 19), 3);
    EXPECT_EQ(ChildAtPoint(hotspots, 120, 19), SelfChild);  // right edge is outside
    EXPECT_EQ(ChildAtPoint(hotspots, 80, 50), SelfChild);
}

TEST(AccessibleChildren, StepsWalkTheHotspotsWithoutWrapping)
{
    const Hotspots hotspots = Screen();
    EXPECT_EQ(StepChild(hotspots, SelfChild, ChildStep::First), 1);
    EXPECT_EQ(StepChild(hotspots, SelfChild, ChildStep::Last), 3);
    EXPECT_EQ(StepChild(hotspots, SelfChild, ChildStep::Next), SelfChild);
    EXPECT_EQ(StepChild(hotspots, SelfChild, ChildStep::Previous), SelfChild);
    EXPECT_EQ(StepChild(hotspots, 1, ChildStep::Next), 2);
    EXPECT_EQ(StepChild(hotspots, 3, ChildStep::Previous), 2);
    EXPECT_EQ(StepChild(hotspots, 3, ChildStep::Next), SelfChild);
    EXPECT_EQ(StepChild(hotspots, 1, ChildStep::Previous), SelfChild);
    EXPECT_EQ(StepChild(hotspots, 2, ChildStep::First), SelfChild);  // first and last are the menu's own
    EXPECT_EQ(StepChild(hotspots, 4, ChildStep::Previous), SelfChild);
    EXPECT_EQ(StepChild(Hotspots(), SelfChild, ChildStep::First), SelfChild);
}

TEST(HotspotName, GivenNameElseWhatTheHotspotDoes)
{
    const SpokenWords words{"Schließen", "Zurück"};
    Menus menus;
    menus.push_back(MenuNamed("", "", "Root Title"));
    menus.push_back(MenuNamed("docs", "Germany", "Dokumente"));
    menus.push_back(MenuNamed("docs", "", "Documents"));
    menus.push_back(MenuNamed("untitled", "", ""));
    const Hotspots hotspots = {
        At(0, 0, 1, 1, "execute", "software\\setup.exe /quiet", "Install Velmora"),
        At(0, 0, 1, 1, "close", "", " \t"),  // blanks are no name
        At(0, 0, 1, 1, "back", ""),
        At(0, 0, 1, 1, "showmenu", "docs"),
        At(0, 0, 1, 1, "showmenu", ""),
        At(0, 0, 1, 1, "showmenu", "nowhere"),
        At(0, 0, 1, 1, "showmenu", "untitled"),
        At(0, 0, 1, 1, "execute", "software\\pdfreader\\docrunner.exe manual\\guide.pdf"),
        At(0, 0, 1, 1, "open", "docs/readme.txt"),
        At(0, 0, 1, 1, "execute", "tool\\"),
        At(0, 0, 1, 1, "execute", ""),
        At(0, 0, 1, 1, "", ""),
    };
    const std::vector<std::string> expected = {
        "Install Velmora", "Schließen",     "Zurück",     "Dokumente", "Root Title", "nowhere",
        "untitled",        "docrunner.exe", "readme.txt", "tool\\",    "execute",    "12",
    };
    for (std::size_t position = 0; position < hotspots.size(); ++position) {
        const SpokenName name = HotspotName(hotspots, position, menus, "Germany", words);
        EXPECT_EQ(name.text, expected[position]) << position;
        // Only the words come from the string table, in the system's code page.
        EXPECT_EQ(name.interfaceWord, position == 1 || position == 2) << position;
    }
    // Another country finds the menu for everyone.
    EXPECT_EQ(HotspotName(hotspots, 3, menus, "France", words).text, "Documents");
    EXPECT_EQ(HotspotName(hotspots, NoHotspot, menus, "", words).text, "");
}

// The screen of Screen(): the second hotspot under the pointer, the first
// with the keyboard focus; the close box is the third.
TEST(AccessibleState, FollowsFocusHoverAndWhetherTheWindowCanBeUsed)
{
    const Hotspots hotspots = Screen();
    InteractionState interaction;
    interaction.FocusHotspot = 0;
    interaction.HoverHotspot = 1;
    const WindowFacts focused{true, true, true};
    EXPECT_EQ(AccessibleState(hotspots, SelfChild, interaction, focused), StateFocusable);
    EXPECT_EQ(AccessibleState(hotspots, 1, interaction, focused), StateFocusable | StateFocused);
    EXPECT_EQ(AccessibleState(hotspots, 2, interaction, focused), StateFocusable | StateHotTracked);
    EXPECT_EQ(AccessibleState(hotspots, 3, interaction, focused), 0u);  // Tab never reaches the close box
    // Without the keyboard focus nothing is focused; with no hotspot focused,
    // the menu itself is.
    EXPECT_EQ(AccessibleState(hotspots, 1, interaction, WindowFacts{true, true, false}), StateFocusable);
    interaction.FocusHotspot = NoHotspot;
    EXPECT_EQ(AccessibleState(hotspots, SelfChild, interaction, focused), StateFocusable | StateFocused);

    // Behind the About box and while paused, nothing can be used.
    const WindowFacts disabled{true, false, false};
    const WindowFacts hidden{false, true, true};
    for (ChildId child : {0L, 1L, 2L, 3L}) {
        EXPECT_EQ(AccessibleState(hotspots, child, interaction, disabled), StateUnavailable) << child;
        EXPECT_EQ(AccessibleState(hotspots, child, interaction, hidden), StateUnavailable | StateInvisible) << child;
    }
    EXPECT_TRUE(IsUsable(focused));
    EXPECT_FALSE(IsUsable(disabled));
    EXPECT_FALSE(IsUsable(hidden));
    EXPECT_EQ(DefaultActionOf(hotspots, 3, true).action, InputAction::Activate);
    EXPECT_EQ(DefaultActionOf(hotspots, 3, true).hotspot, HotspotRef{2});
    EXPECT_EQ(DefaultActionOf(hotspots, 3, false).action, InputAction::Nothing);
    EXPECT_EQ(DefaultActionOf(hotspots, SelfChild, true).action, InputAction::Nothing);
    EXPECT_EQ(DefaultActionOf(hotspots, 4, true).action, InputAction::Nothing);
}

bool operator==(const AccessibleEvent& a, const AccessibleEvent& b)
{
    return a.kind == b.kind && a.child == b.child;
}

TEST(EventsBetween, NewScreensFocusAndHoverRaiseTheirEventsInOrder)
{
    using Kind = AccessibleEventKind;
    using Events = std::vector<AccessibleEvent>;
    const Menu root = MenuNamed("", "", "Root");
    const Menu docs = MenuNamed("docs", "", "Docs");
    const Menu sameTitle = MenuNamed("other", "", "Root");
    const AccessibleView before{&root, 1, 2};

    EXPECT_EQ(EventsBetween(before, before, true), Events{});
    // A new screen: reorder, a new name when the title differs, the focus
    // where it is now (the menu itself after a switch).
    EXPECT_EQ(EventsBetween(before, AccessibleView{&docs, NoHotspot, NoHotspot}, true),
              (Events{{Kind::Reorder, 0}, {Kind::NameChange, 0}, {Kind::Focus, 0}}));
    EXPECT_EQ(EventsBetween(before, AccessibleView{&sameTitle, NoHotspot, NoHotspot}, false),
              (Events{{Kind::Reorder, 0}}));
    // The same screen: the focus (only while the window holds it), then the
    // hotspot left and the one entered.
    EXPECT_EQ(EventsBetween(before, AccessibleView{&root, 0, 0}, true),
              (Events{{Kind::Focus, 1}, {Kind::StateChange, 3}, {Kind::StateChange, 1}}));
    EXPECT_EQ(EventsBetween(before, AccessibleView{&root, 0, NoHotspot}, false), (Events{{Kind::StateChange, 3}}));
    EXPECT_EQ(EventsBetween(AccessibleView{&root, 1, NoHotspot}, before, true), (Events{{Kind::StateChange, 3}}));
}

TEST(ReadHotspotNames, OneNameALineAndBlankLinesGiveNone)
{
    EXPECT_EQ(ReadHotspotNames(""), std::vector<std::string>());
    EXPECT_EQ(ReadHotspotNames("Install\r\n\r\n  \r\nÜber uns\nLast"),
              (std::vector<std::string>{"Install", "", "", "Über uns", "Last"}));
    EXPECT_EQ(ReadHotspotNames("One\r\n"), std::vector<std::string>{"One"});
    // Only the CR of a line end goes; one inside a name stays.
    EXPECT_EQ(ReadHotspotNames("a\rb\r\r\n"), std::vector<std::string>{"a\rb\r"});
}
