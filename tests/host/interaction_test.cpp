#include "autorun/interaction.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// In Rect's own namespace, where the comparisons of gtest and std look.
static bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

Hotspot MakeHotspot(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    const std::string& command)
{
    Hotspot hotspot;
    hotspot.left = left;
    hotspot.top = top;
    hotspot.right = right;
    hotspot.bottom = bottom;
    hotspot.command = command;
    return hotspot;
}

// The hotspots of the shipped menus: two documents and the close box.
class ShippedMenu : public ::testing::Test {
protected:
    const Hotspots hotspots = {
        MakeHotspot(75, 163, 258, 206, "execute"),
        MakeHotspot(75, 214, 279, 257, "execute"),
        MakeHotspot(584, 5, 595, 16, "close"),
    };
    const Rect A = hotspots[0];
    const Rect B = hotspots[1];
    InteractionState state;

    std::vector<Rect> Tab(bool shift = false)
    {
        InputResult result = CharTyped(state, hotspots, CharTab, shift);
        EXPECT_EQ(result.action, InputAction::Nothing);
        return result.repaints;
    }
    std::vector<Rect> Key(unsigned vk)
    {
        InputResult result = KeyDown(state, hotspots, vk);
        EXPECT_EQ(result.action, InputAction::Nothing);
        return result.repaints;
    }
};

using Rects = std::vector<Rect>;

TEST(HitTest, HalfOpenEdgesAndOverlapGoesToTheEarlierLine)
{
    const Hotspots hotspots = {
        MakeHotspot(0, 0, 100, 100, "execute"),   MakeHotspot(50, 50, 60, 60, "execute"),  // entirely inside the first
        MakeHotspot(584, 5, 595, 16, "close"),    MakeHotspot(10, 200, 10, 300, "execute"),  // zero width
        MakeHotspot(30, 300, 20, 200, "execute"),                                            // inverted
    };
    EXPECT_EQ(HitTest(hotspots, 55, 55), 0u);
    EXPECT_EQ(HitTest(hotspots, 584, 5), 2u);
    EXPECT_EQ(HitTest(hotspots, 594, 15), 2u);
    EXPECT_EQ(HitTest(hotspots, 595, 10), NoHotspot);
    EXPECT_EQ(HitTest(hotspots, 590, 16), NoHotspot);
    EXPECT_EQ(HitTest(hotspots, 583, 10), NoHotspot);
    EXPECT_EQ(HitTest(hotspots, 590, 4), NoHotspot);
    EXPECT_EQ(HitTest(hotspots, 10, 250), NoHotspot);
    EXPECT_EQ(HitTest(hotspots, 25, 250), NoHotspot);
    EXPECT_EQ(HitTest({}, 0, 0), NoHotspot);
}

TEST_F(ShippedMenu, TabAndArrowsCycleTheDocumentsAndSkipTheCloseBox)
{
    EXPECT_EQ(Tab(), (Rects{A}));
    EXPECT_EQ(state.FocusHotspot, 0u);
    EXPECT_EQ(Tab(), (Rects{A, B}));
    EXPECT_EQ(state.FocusHotspot, 1u);
    EXPECT_EQ(Tab(), (Rects{B, A}));
    EXPECT_EQ(state.FocusHotspot, 0u);
    EXPECT_EQ(Tab(true), (Rects{A, B}));
    EXPECT_EQ(state.FocusHotspot, 1u);
    EXPECT_EQ(Tab(true), (Rects{B, A}));
    EXPECT_EQ(state.FocusHotspot, 0u);

    EXPECT_EQ(Key(VkRight), (Rects{A, B}));
    EXPECT_EQ(Key(VkDown), (Rects{B, A}));
    EXPECT_EQ(Key(VkUp), (Rects{A, B}));
    EXPECT_EQ(Key(VkLeft), (Rects{B, A}));
    EXPECT_EQ(Key('A'), Rects{});
    EXPECT_EQ(state.FocusHotspot, 0u);
}

TEST_F(ShippedMenu, BackwardsFromNoFocusReachesTheLastDocument)
{
    for (unsigned vk : {VkLeft, VkUp}) {
        state = InteractionState();
        EXPECT_EQ(Key(vk), (Rects{B}));
        EXPECT_EQ(state.FocusHotspot, 1u);
    }
    state = InteractionState();
    EXPECT_EQ(Tab(true), (Rects{B}));
    EXPECT_EQ(state.FocusHotspot, 1u);
    state = InteractionState();
    EXPECT_EQ(Key(VkDown), (Rects{A}));
    EXPECT_EQ(state.FocusHotspot, 0u);
}

TEST(FocusStepping, SingleEligibleHotspotComesBackWithoutRepaint)
{
    const Hotspots hotspots = {
        MakeHotspot(0, 0, 10, 10, "close"),
        MakeHotspot(20, 0, 30, 10, "showmenu"),
        MakeHotspot(40, 0, 50, 10, "close"),
    };
    InteractionState state;
    std::vector<Rect> repaints;
    FocusNextHotspot(state, hotspots, repaints);
    EXPECT_EQ(state.FocusHotspot, 1u);
    repaints.clear();
    FocusNextHotspot(state, hotspots, repaints);
    FocusPreviousHotspot(state, hotspots, repaints);
    EXPECT_EQ(state.FocusHotspot, 1u);
    EXPECT_TRUE(repaints.empty());
}

TEST(FocusStepping, MenusWithoutEligibleHotspotsLeaveTheFocusAlone)
{
    const Hotspots onlyClose = {MakeHotspot(0, 0, 10, 10, "close"), MakeHotspot(20, 0, 30, 10, "close")};
    // The command is compared exactly: "Close" may take the focus.
    const Hotspots capitalised = {MakeHotspot(0, 0, 10, 10, "Close")};
    for (const Hotspots* hotspots : {&onlyClose, static_cast<const Hotspots*>(nullptr)}) {
        const Hotspots empty;
        const Hotspots& list = hotspots ? *hotspots : empty;
        InteractionState state;
        std::vector<Rect> repaints;
        FocusNextHotspot(state, list, repaints);
        FocusPreviousHotspot(state, list, repaints);
        EXPECT_EQ(CharTyped(state, list, CharTab, false).action, InputAction::Nothing);
        EXPECT_EQ(KeyDown(state, list, VkLeft).action, InputAction::Nothing);
        EXPECT_EQ(state.FocusHotspot, NoHotspot);
        EXPECT_TRUE(repaints.empty());
    }
    InteractionState state;
    std::vector<Rect> repaints;
    FocusNextHotspot(state, capitalised, repaints);
    EXPECT_EQ(state.FocusHotspot, 0u);
}

TEST_F(ShippedMenu, TypedCharacters)
{
    EXPECT_EQ(CharTyped(state, hotspots, CharEnter, false).action, InputAction::Nothing);
    EXPECT_EQ(CharTyped(state, hotspots, CharSpace, false).action, InputAction::Nothing);
    Tab();
    Tab();
    for (unsigned c : {CharEnter, CharSpace}) {
        InputResult result = CharTyped(state, hotspots, c, false);
        EXPECT_EQ(result.action, InputAction::Activate);
        EXPECT_EQ(result.hotspot, 1u);
    }
    EXPECT_EQ(CharTyped(state, hotspots, CharBackspace, false).action, InputAction::Back);
    EXPECT_EQ(CharTyped(state, hotspots, CharEscape, true).action, InputAction::CloseMenuWindow);
    EXPECT_EQ(CharTyped(state, hotspots, 'x', false).action, InputAction::Nothing);
    EXPECT_EQ(state.FocusHotspot, 1u);
}

TEST(BackButton, HoldsTheCaptureAndGoesBackOnlyWhenReleasedInsideTheClientArea)
{
    const InputResult down = BackButtonDown(ExtraButton1);
    EXPECT_EQ(down.capture, CaptureChange::Take);
    EXPECT_EQ(down.action, InputAction::Nothing);

    struct Release {
        std::int32_t x, y;
        InputAction action;
    };
    for (const Release& release : {Release{0, 0, InputAction::Back}, Release{599, 449, InputAction::Back},
                                   Release{600, 10, InputAction::Nothing}, Release{10, -1, InputAction::Nothing}}) {
        const InputResult up = BackButtonUp(ExtraButton1, release.x, release.y, 600, 450);
        EXPECT_EQ(up.action, release.action) << release.x << "," << release.y;
        // Released outside, the capture must still be given back.
        EXPECT_EQ(up.capture, CaptureChange::Release) << release.x << "," << release.y;
    }

    // The other extra button neither takes nor gives back a capture.
    EXPECT_EQ(BackButtonDown(ExtraButton2).capture, CaptureChange::Keep);
    const InputResult other = BackButtonUp(ExtraButton2, 10, 10, 600, 450);
    EXPECT_EQ(other.action, InputAction::Nothing);
    EXPECT_EQ(other.capture, CaptureChange::Keep);
}

TEST_F(ShippedMenu, APressOnAHotspotTakesTheCaptureAndEveryReleaseGivesItBack)
{
    EXPECT_EQ(ButtonDown(state, hotspots, 100, 180).capture, CaptureChange::Take);
    EXPECT_EQ(PointerMoved(state, hotspots, 100, 220, true).capture, CaptureChange::Keep);
    EXPECT_EQ(ButtonUp(state, hotspots, 100, 220).capture, CaptureChange::Release);

    // The move loop of a background drag captures the pointer by itself.
    EXPECT_EQ(ButtonDown(state, hotspots, 10, 10).capture, CaptureChange::Keep);
    // A release whose press went elsewhere still gives back any capture.
    EXPECT_EQ(ButtonUp(state, hotspots, 10, 10).capture, CaptureChange::Release);

    // Keys and activation changes leave a held capture alone.
    ButtonDown(state, hotspots, 100, 180);
    EXPECT_EQ(KeyDown(state, hotspots, VkRight).capture, CaptureChange::Keep);
    for (unsigned c : {CharTab, CharEnter, CharBackspace, CharEscape})
        EXPECT_EQ(CharTyped(state, hotspots, c, false).capture, CaptureChange::Keep) << c;
    EXPECT_EQ(ActivationChanged(state, hotspots, false).capture, CaptureChange::Keep);
}

TEST_F(ShippedMenu, ClickMovesTheFocusOnlyOnceSomeHotspotHasIt)
{
    InputResult down = ButtonDown(state, hotspots, 100, 220);
    EXPECT_EQ(down.action, InputAction::Press);
    EXPECT_EQ(down.repaints, (Rects{B}));
    EXPECT_EQ(state.FocusHotspot, NoHotspot);
    EXPECT_TRUE(state.ButtonPressed);
    EXPECT_EQ(state.PressedRect, B);
    ButtonUp(state, hotspots, 100, 220);

    state = InteractionState();
    Tab();
    down = ButtonDown(state, hotspots, 100, 220);
    // Hover first, then the focus leaving A for B.
    EXPECT_EQ(down.repaints, (Rects{B, A, B}));
    EXPECT_EQ(state.FocusHotspot, 1u);
}

TEST_F(ShippedMenu, PressDragOutAndBackThenRelease)
{
    ASSERT_EQ(ButtonDown(state, hotspots, 100, 180).action, InputAction::Press);
    EXPECT_EQ(ChooseCursor(state, false), CursorChoice::Hand);

    // Over B while A is pressed: no hotspot is hovered.
    EXPECT_EQ(PointerMoved(state, hotspots, 100, 220, true).repaints, (Rects{A}));
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
    EXPECT_EQ(ChooseCursor(state, false), CursorChoice::Arrow);

    EXPECT_EQ(PointerMoved(state, hotspots, 200, 170, true).repaints, (Rects{A}));
    EXPECT_EQ(ChooseCursor(state, false), CursorChoice::Hand);

    InputResult up = ButtonUp(state, hotspots, 200, 170);
    EXPECT_EQ(up.action, InputAction::Activate);
    EXPECT_EQ(up.hotspot, 0u);
    EXPECT_TRUE(up.repaints.empty());
    EXPECT_FALSE(state.ButtonPressed);
    EXPECT_EQ(state.PressedRect, Rect());
}

TEST_F(ShippedMenu, ReleaseOutsideThePressedHotspotActivatesNothing)
{
    ButtonDown(state, hotspots, 100, 180);
    InputResult up = ButtonUp(state, hotspots, 100, 220);
    EXPECT_EQ(up.action, InputAction::Nothing);
    EXPECT_EQ(up.repaints, (Rects{A}));
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
    EXPECT_FALSE(state.ButtonPressed);
    EXPECT_EQ(state.PressedRect, Rect());

    // The press is over: the pointer finds B again.
    EXPECT_EQ(PointerMoved(state, hotspots, 100, 220, true).repaints, (Rects{B}));
}

TEST_F(ShippedMenu, ReleaseWithoutPressStillActivates)
{
    InputResult up = ButtonUp(state, hotspots, 100, 220);
    EXPECT_EQ(up.action, InputAction::Activate);
    EXPECT_EQ(up.hotspot, 1u);
    EXPECT_EQ(up.repaints, (Rects{B}));
}

TEST_F(ShippedMenu, BackgroundPressDragsTheWindow)
{
    PointerMoved(state, hotspots, 100, 180, true);
    InputResult down = ButtonDown(state, hotspots, 10, 10);
    EXPECT_EQ(down.action, InputAction::DragWindow);
    EXPECT_EQ(down.repaints, (Rects{A}));
    EXPECT_FALSE(state.ButtonPressed);
}

TEST_F(ShippedMenu, PressWhoseReleaseWentElsewhereDoesNotBlockTheNextClick)
{
    ButtonDown(state, hotspots, 100, 180);
    // The button-up went to another window; the next press lands on B.
    InputResult down = ButtonDown(state, hotspots, 100, 220);
    EXPECT_EQ(down.action, InputAction::Press);
    EXPECT_EQ(state.HoverHotspot, 1u);
    EXPECT_EQ(state.PressedRect, B);
    EXPECT_EQ(ButtonUp(state, hotspots, 100, 220).action, InputAction::Activate);
}

TEST(PressedHover, OverlapInsideThePressedRectangleGoesToTheEarlierLine)
{
    const Hotspots hotspots = {MakeHotspot(0, 0, 50, 50, "execute"), MakeHotspot(40, 40, 100, 100, "execute")};
    InteractionState state;
    ButtonDown(state, hotspots, 80, 80);
    PointerMoved(state, hotspots, 45, 45, true);
    EXPECT_EQ(state.HoverHotspot, 0u);
    PointerMoved(state, hotspots, 20, 20, true);
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
}

TEST_F(ShippedMenu, PointerOverAnInactiveWindowChangesNothing)
{
    EXPECT_TRUE(PointerMoved(state, hotspots, 100, 180, false).repaints.empty());
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
}

TEST_F(ShippedMenu, ActivationChangesClearHoverAndRedrawTheFocus)
{
    EXPECT_TRUE(ActivationChanged(state, hotspots, true).repaints.empty());
    Tab();
    Tab();
    PointerMoved(state, hotspots, 100, 180, true);
    InputResult off = ActivationChanged(state, hotspots, false);
    EXPECT_EQ(off.action, InputAction::Nothing);
    EXPECT_EQ(off.repaints, (Rects{A, B}));
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
    EXPECT_EQ(ChooseCursor(state, false), CursorChoice::Arrow);

    EXPECT_EQ(ActivationChanged(state, hotspots, true).repaints, (Rects{B}));
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
}

TEST(Activation, HotspotContainingTheOffWindowPointKeepsTheHover)
{
    const Hotspots hotspots = {MakeHotspot(-5, -5, 5, 5, "execute"), MakeHotspot(20, 20, 40, 40, "execute")};
    InteractionState state;
    PointerMoved(state, hotspots, 2, 2, true);
    EXPECT_TRUE(ActivationChanged(state, hotspots, false).repaints.empty());
    EXPECT_EQ(state.HoverHotspot, 0u);

    // While pressed, only the pressed rectangle can keep it.
    ButtonDown(state, hotspots, 30, 30);
    EXPECT_EQ(ActivationChanged(state, hotspots, false).repaints, (Rects{hotspots[1]}));
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
    EXPECT_TRUE(state.ButtonPressed);
}

TEST_F(ShippedMenu, BusyWinsOverHover)
{
    EXPECT_EQ(ChooseCursor(state, true), CursorChoice::Busy);
    EXPECT_EQ(ChooseCursor(state, false), CursorChoice::Arrow);
    PointerMoved(state, hotspots, 590, 10, true);
    EXPECT_EQ(ChooseCursor(state, true), CursorChoice::Busy);
    EXPECT_EQ(ChooseCursor(state, false), CursorChoice::Hand);
}

TEST_F(ShippedMenu, MenuSwitchResetsReferencesButNotThePress)
{
    Tab();
    ButtonDown(state, hotspots, 100, 220);
    ResetHotspotRefs(state);
    EXPECT_EQ(state.HoverHotspot, NoHotspot);
    EXPECT_EQ(state.FocusHotspot, NoHotspot);
    EXPECT_TRUE(state.ButtonPressed);
    EXPECT_EQ(state.PressedRect, B);
}

TEST_F(ShippedMenu, RepaintRequestsForAChange)
{
    std::vector<Rect> repaints;
    RepaintHotspotChange(hotspots, 1, 1, repaints);
    RepaintHotspotChange(hotspots, NoHotspot, NoHotspot, repaints);
    EXPECT_TRUE(repaints.empty());
    RepaintHotspotChange(hotspots, 1, 0, repaints);
    RepaintHotspotChange(hotspots, NoHotspot, 2, repaints);
    RepaintHotspotChange(hotspots, 0, NoHotspot, repaints);
    // A position past the list is none, never read.
    RepaintHotspotChange(hotspots, 3, NoHotspot, repaints);
    EXPECT_EQ(repaints, (Rects{B, A, hotspots[2], A}));
}

}  // namespace
