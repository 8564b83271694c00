#include "autorun/commands_logic.h"
#include "autorun/menu_text.h"
#include "autorun/navigation.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(ChooseCommand, ReservedWordsMatchExactlyAndEverythingElseStarts)
{
    EXPECT_EQ(ChooseCommand("close"), CommandKind::Close);
    EXPECT_EQ(ChooseCommand("showmenu"), CommandKind::ShowMenu);
    EXPECT_EQ(ChooseCommand("back"), CommandKind::Back);
    EXPECT_EQ(ChooseCommand("execute"), CommandKind::Execute);
    EXPECT_EQ(ChooseCommand(""), CommandKind::Execute);
    // Case, padding and prefixes all make an ordinary start command.
    EXPECT_EQ(ChooseCommand("Close"), CommandKind::Execute);
    EXPECT_EQ(ChooseCommand("BACK"), CommandKind::Execute);
    EXPECT_EQ(ChooseCommand("ShowMenu"), CommandKind::Execute);
    EXPECT_EQ(ChooseCommand("close "), CommandKind::Execute);
    EXPECT_EQ(ChooseCommand("backup"), CommandKind::Execute);
    EXPECT_EQ(ChooseCommand(std::string("back\0", 5)), CommandKind::Execute);
}

TEST(SplitExecuteArgument, CutsAtTheFirstBlankOnly)
{
    ExecuteParts parts = SplitExecuteArgument("software\\pdfreader\\docrunner.exe manual\\manual-de.pdf");
    EXPECT_EQ(parts.target, "software\\pdfreader\\docrunner.exe");
    EXPECT_EQ(parts.parameters, "manual\\manual-de.pdf");

    parts = SplitExecuteArgument("setup.exe");
    EXPECT_EQ(parts.target, "setup.exe");
    EXPECT_EQ(parts.parameters, "");

    parts = SplitExecuteArgument(" x");
    EXPECT_EQ(parts.target, "");
    EXPECT_EQ(parts.parameters, "x");

    parts = SplitExecuteArgument("a  b");
    EXPECT_EQ(parts.target, "a");
    EXPECT_EQ(parts.parameters, " b");

    parts = SplitExecuteArgument("a ");
    EXPECT_EQ(parts.target, "a");
    EXPECT_EQ(parts.parameters, "");

    parts = SplitExecuteArgument("");
    EXPECT_EQ(parts.target, "");
    EXPECT_EQ(parts.parameters, "");
}

TEST(SplitExecuteArgument, QuotesAreOrdinaryCharacters)
{
    const ExecuteParts parts = SplitExecuteArgument("\"my setup.exe\" -q");
    EXPECT_EQ(parts.target, "\"my");
    EXPECT_EQ(parts.parameters, "setup.exe\" -q");
}

TEST(ExpandPlaceholders, HandleIsTenCharactersOfLowerCaseHex)
{
    EXPECT_EQ(ExpandPlaceholders("%hwnd% %hwnd%", 0x1A2B, "D:"), "0x00001a2b 0x00001a2b");
    EXPECT_EQ(ExpandPlaceholders("-owner:%hwnd%", 0, "D:"), "-owner:0x00000000");
    EXPECT_EQ(ExpandPlaceholders("%hwnd%", 0xFFFFFFFFu, "D:"), "0xffffffff");
    // Only the low 32 bits of a 64-bit handle value are written.
    EXPECT_EQ(ExpandPlaceholders("%hwnd%", 0x123456789ABCDEF0ull, "D:"), "0x9abcdef0");
}

TEST(ExpandPlaceholders, RootIsTheGivenDirectoryAsItIs)
{
    EXPECT_EQ(ExpandPlaceholders("%root%\\manual\\a.pdf", 1, "D:"), "D:\\manual\\a.pdf");
    EXPECT_EQ(ExpandPlaceholders("%root%\\manual\\a.pdf", 1, "D:\\cd"), "D:\\cd\\manual\\a.pdf");
    EXPECT_EQ(ExpandPlaceholders("%root%%root%", 1, "D:"), "D:D:");
}

TEST(ExpandPlaceholders, MatchingIsExactAndCaseSensitive)
{
    EXPECT_EQ(ExpandPlaceholders("%HWND% %Root% %hwnd %root", 7, "D:"), "%HWND% %Root% %hwnd %root");
    EXPECT_EQ(ExpandPlaceholders("", 7, "D:"), "");
    EXPECT_EQ(ExpandPlaceholders("100% sure", 7, "D:"), "100% sure");
}

TEST(ExpandPlaceholders, ReplacementTextIsNeverSearchedAgain)
{
    // A directory that contains the placeholders is inserted as it is.
    EXPECT_EQ(ExpandPlaceholders("%root%", 7, "D:\\%root%"), "D:\\%root%");
    EXPECT_EQ(ExpandPlaceholders("%root% %hwnd%", 7, "D:\\%hwnd%"), "D:\\%hwnd% 0x00000007");
    // Overlapping candidates: the scan goes on behind each match.
    EXPECT_EQ(ExpandPlaceholders("%root%root%", 7, "X"), "Xroot%");
    EXPECT_EQ(ExpandPlaceholders("%%hwnd%%", 7, "X"), "%0x00000007%");
}

// The user is in Germany; "details" exists for everyone and for Germany, the
// root only for everyone.
Menus DetailsMenus()
{
    Menus menus(3);
    menus[0].name = "details";
    menus[0].country = "France";
    menus[1].name = "details";
    menus[1].country = "Germany";
    menus[2].country = "";
    return menus;
}

std::string Germany()
{
    return "Germany";
}

Hotspot Spot(const std::string& command, const std::string& argument)
{
    Hotspot hotspot;
    hotspot.command = command;
    hotspot.argument = argument;
    return hotspot;
}

TEST(PlanActivation, AStartNamesTheTargetAndItsExpandedParametersInTheProgramDirectory)
{
    const CommandPlan plan =
        PlanActivation(Spot("execute", "software\\pdfreader\\docrunner.exe manual\\a.pdf -owner:%hwnd% %root%\\b"),
                       0x1A2B, "D:\\cd\\autorun.exe", Menus{}, Germany);
    EXPECT_EQ(plan.kind, CommandKind::Execute);
    EXPECT_EQ(plan.target, "software\\pdfreader\\docrunner.exe");
    EXPECT_EQ(plan.parameters, "manual\\a.pdf -owner:0x00001a2b D:\\cd\\b");
    EXPECT_EQ(plan.directory, "D:\\cd");
    EXPECT_EQ(plan.menu, NoMenu);

    const Menus menus = DetailsMenus();
    // Placeholders in the target stay as written; only parameters expand.
    EXPECT_EQ(PlanActivation(Spot("execute", "%root%\\setup.exe"), 1, "D:\\autorun.exe", menus, Germany).target,
              "%root%\\setup.exe");
    // Every word that is not reserved starts its argument.
    const CommandPlan other = PlanActivation(Spot("Close", "setup.exe -q"), 1, "D:\\autorun.exe", menus, Germany);
    EXPECT_EQ(other.kind, CommandKind::Execute);
    EXPECT_EQ(other.target, "setup.exe");
    EXPECT_EQ(other.parameters, "-q");
}

TEST(PlanActivation, AStartRunsInTheProgramPathUpToItsLastBackslash)
{
    const auto directoryFor = [](const std::string& programPath) {
        return PlanActivation(Spot("execute", "setup.exe"), 1, programPath, DetailsMenus(), Germany).directory;
    };
    EXPECT_EQ(directoryFor("D:\\autorun.exe"), "D:");
    EXPECT_EQ(directoryFor("D:\\cd\\menu\\autorun.exe"), "D:\\cd\\menu");
    EXPECT_EQ(directoryFor("\\\\server\\share\\autorun.exe"), "\\\\server\\share");
    EXPECT_EQ(directoryFor("autorun.exe"), "autorun.exe");
    EXPECT_EQ(directoryFor("D:/cd/autorun.exe"), "D:/cd/autorun.exe");
    EXPECT_EQ(directoryFor(""), "");
}

TEST(PlanActivation, CloseBackAndShowMenuStartNothing)
{
    const Menus menus = DetailsMenus();
    const std::pair<const char*, CommandKind> words[] = {{"close", CommandKind::Close}, {"back", CommandKind::Back}};
    for (const auto& [word, kind] : words) {
        const CommandPlan plan = PlanActivation(Spot(word, "setup.exe %root%"), 1, "D:\\autorun.exe", menus, Germany);
        EXPECT_EQ(plan.kind, kind) << word;
        EXPECT_EQ(plan.menu, NoMenu) << word;
        EXPECT_EQ(plan.target + plan.parameters + plan.directory, "") << word;
    }
    const CommandPlan menu = PlanActivation(Spot("showmenu", "details"), 1, "D:\\autorun.exe", menus, Germany);
    EXPECT_EQ(menu.kind, CommandKind::ShowMenu);
    // The planner names the menu for the user's country; the window only
    // switches to it. An empty name asks for the root menu; an unknown name
    // for none.
    EXPECT_EQ(menu.menu, 1u);
    EXPECT_EQ(menu.target + menu.parameters + menu.directory, "");
    EXPECT_EQ(PlanActivation(Spot("showmenu", ""), 1, "D:\\autorun.exe", menus, Germany).menu, 2u);
    EXPECT_EQ(PlanActivation(Spot("showmenu", "Details"), 1, "D:\\autorun.exe", menus, Germany).menu, NoMenu);
}

TEST(PlanInputCommand, ActivationsBackAndCloseBecomeCommandsAndNothingElseDoes)
{
    const Hotspots hotspots = {Spot("execute", "setup.exe"), Spot("showmenu", "details")};
    const Menus menus = DetailsMenus();
    InputResult input;
    input.action = InputAction::Activate;
    input.hotspot = 1;
    CommandPlan plan;
    ASSERT_TRUE(PlanInputCommand(input, hotspots, 1, "D:\\autorun.exe", menus, Germany, plan));
    EXPECT_EQ(plan.kind, CommandKind::ShowMenu);
    EXPECT_EQ(plan.menu, 1u);

    input.action = InputAction::Back;
    ASSERT_TRUE(PlanInputCommand(input, hotspots, 1, "D:\\autorun.exe", menus, Germany, plan));
    EXPECT_EQ(plan.kind, CommandKind::Back);
    EXPECT_EQ(plan.menu, NoMenu);
    input.action = InputAction::CloseMenuWindow;
    ASSERT_TRUE(PlanInputCommand(input, hotspots, 1, "D:\\autorun.exe", menus, Germany, plan));
    EXPECT_EQ(plan.kind, CommandKind::Close);

    // A hotspot past the list (the menu changed under a stale position)
    // and the decisions that ask for no command leave the plan alone.
    plan.target = "unchanged";
    input.action = InputAction::Activate;
    input.hotspot = 2;
    EXPECT_FALSE(PlanInputCommand(input, hotspots, 1, "D:\\autorun.exe", menus, Germany, plan));
    input.hotspot = 0;
    for (InputAction action : {InputAction::Nothing, InputAction::Press, InputAction::DragWindow}) {
        input.action = action;
        EXPECT_FALSE(PlanInputCommand(input, hotspots, 1, "D:\\autorun.exe", menus, Germany, plan));
    }
    EXPECT_EQ(plan.target, "unchanged");
}

class MenuHistoryTest : public ::testing::Test {
protected:
    MenuPosition current = 0;
    std::deque<MenuPosition> history;
    InteractionState interaction;

    void Touch()
    {
        interaction.HoverHotspot = 2;
        interaction.FocusHotspot = 1;
    }
};

TEST_F(MenuHistoryTest, SwitchPushesTheCurrentMenuAndClearsHoverAndFocus)
{
    Touch();
    interaction.ButtonPressed = true;
    ASSERT_TRUE(SwitchToMenu(3, current, history, interaction));
    EXPECT_EQ(current, 3u);
    EXPECT_EQ(history, (std::deque<MenuPosition>{0}));
    EXPECT_EQ(interaction.HoverHotspot, NoHotspot);
    EXPECT_EQ(interaction.FocusHotspot, NoHotspot);
    // The press belongs to the window's mouse handling, not to the switch.
    EXPECT_TRUE(interaction.ButtonPressed);
}

TEST_F(MenuHistoryTest, SwitchToTheCurrentMenuStillPushesIt)
{
    ASSERT_TRUE(SwitchToMenu(0, current, history, interaction));
    EXPECT_EQ(current, 0u);
    EXPECT_EQ(history.size(), 1u);
    ASSERT_TRUE(ReturnToPreviousMenu(current, history, interaction));
    EXPECT_EQ(current, 0u);
    EXPECT_TRUE(history.empty());
}

TEST_F(MenuHistoryTest, MissingMenuChangesNothing)
{
    history = {4, 5};
    current = 1;
    Touch();
    EXPECT_FALSE(SwitchToMenu(NoMenu, current, history, interaction));
    EXPECT_EQ(current, 1u);
    EXPECT_EQ(history, (std::deque<MenuPosition>{4, 5}));
    EXPECT_EQ(interaction.HoverHotspot, 2u);
    EXPECT_EQ(interaction.FocusHotspot, 1u);
}

TEST_F(MenuHistoryTest, BackOnAnEmptyHistoryChangesNothing)
{
    current = 2;
    Touch();
    EXPECT_FALSE(ReturnToPreviousMenu(current, history, interaction));
    EXPECT_EQ(current, 2u);
    EXPECT_EQ(interaction.HoverHotspot, 2u);
    EXPECT_EQ(interaction.FocusHotspot, 1u);
}

TEST_F(MenuHistoryTest, ThreeStepsAreUndoneExactlyThreeTimesInReverse)
{
    ASSERT_TRUE(SwitchToMenu(1, current, history, interaction));
    ASSERT_TRUE(SwitchToMenu(2, current, history, interaction));
    ASSERT_TRUE(SwitchToMenu(5, current, history, interaction));
    const MenuPosition expected[] = {2, 1, 0};
    int returned = 0;
    for (int press = 0; press < 20; ++press) {
        Touch();
        if (ReturnToPreviousMenu(current, history, interaction)) {
            ASSERT_LT(returned, 3);
            EXPECT_EQ(current, expected[returned]);
            EXPECT_EQ(interaction.HoverHotspot, NoHotspot);
            EXPECT_EQ(interaction.FocusHotspot, NoHotspot);
            ++returned;
        }
    }
    EXPECT_EQ(returned, 3);
    EXPECT_EQ(current, 0u);
    EXPECT_TRUE(history.empty());
}

TEST_F(MenuHistoryTest, RootByEmptyNameThenBackReturnsToTheMenuBefore)
{
    // "showmenu" with an empty name looks up the root menu: the first
    // unnamed one for this user, here behind a named one and another
    // country's root.
    Menus menus(4);
    menus[0].name = "intro";
    menus[1].country = "France";
    menus[3].name = "details";
    current = 3;
    ASSERT_TRUE(SwitchToMenu(FindMenuIn(menus, "", "Germany"), current, history, interaction));
    EXPECT_EQ(current, 2u);
    ASSERT_TRUE(ReturnToPreviousMenu(current, history, interaction));
    EXPECT_EQ(current, 3u);
    EXPECT_TRUE(history.empty());
}

}  // namespace
