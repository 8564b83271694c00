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
    for (std::size_t position = 0; position < hotspots.size(); ++position)
        EXPECT_EQ(HotspotName(hotspots, position, menus, "Germany", words), expected[position]) << position;
    // Another country finds the menu for everyone.
    EXPECT_EQ(HotspotName(hotspots, 3, menus, "France", words), "Documents");
    EXPECT_EQ(HotspotName(hotspots, NoHotspot, menus, "", words), "");
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
