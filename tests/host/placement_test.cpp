#include "autorun/placement_math.h"

#include <gtest/gtest.h>

namespace {

Rect R(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    Rect rect;
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
    return rect;
}

// A window of the given size somewhere on the screen; only its size matters.
Rect Sized(std::int32_t width, std::int32_t height)
{
    return R(3000, 3000, 3000 + width, 3000 + height);
}

constexpr std::int32_t Icon = 16;

#define EXPECT_AT(point, ex, ey)  \
    do {                          \
        const Point p_ = (point); \
        EXPECT_EQ(p_.x, ex);      \
        EXPECT_EQ(p_.y, ey);      \
    } while (0)

TEST(CenteredPosition, OnTheWorkAreaWithOddDifferencesTruncated)
{
    // 419 / 2 and 367 / 2, measured from an area that does not start at 0.
    EXPECT_AT(CenteredPosition(Sized(605, 401), R(0, 0, 1024, 768), nullptr, Icon, Icon), 209, 183);
    EXPECT_AT(CenteredPosition(Sized(605, 401), R(100, 30, 1124, 798), nullptr, Icon, Icon), 309, 213);
    // The small-icon margin belongs to a reference only.
    EXPECT_AT(CenteredPosition(Sized(1020, 760), R(0, 0, 1024, 768), nullptr, Icon, Icon), 2, 4);
}

TEST(CenteredPosition, LargerThanTheWorkAreaKeepsTheTopLeftCornerInside)
{
    EXPECT_AT(CenteredPosition(Sized(1000, 400), R(40, 0, 840, 600), nullptr, Icon, Icon), 40, 100);
    EXPECT_AT(CenteredPosition(Sized(300, 900), R(0, 20, 800, 620), nullptr, Icon, Icon), 250, 20);
    // Over an owner, the icon margin moves the corner past the area's start;
    // pulling the far edge back must not then push the corner off the area.
    const Rect owner = R(0, 0, 800, 600);
    EXPECT_AT(CenteredPosition(Sized(1200, 1000), R(0, 0, 800, 600), &owner, Icon, Icon), 0, 0);
    EXPECT_AT(CenteredPosition(Sized(790, 590), R(0, 0, 800, 600), &owner, Icon, Icon), 10, 10);
}

TEST(CenteredPosition, ReferencePartlyOffTheWorkAreaIsPulledBackInside)
{
    const Rect area = R(0, 0, 1280, 1024);
    const Rect lowerRight = R(1000, 800, 1600, 1250);
    EXPECT_AT(CenteredPosition(Sized(300, 200), area, &lowerRight, Icon, Icon), 980, 824);
    const Rect upperLeft = R(-400, -300, 200, 150);
    EXPECT_AT(CenteredPosition(Sized(300, 200), area, &upperLeft, Icon, Icon), 0, 0);
    // Fully inside: plain centring on the reference.
    const Rect inside = R(100, 100, 700, 550);
    EXPECT_AT(CenteredPosition(Sized(300, 200), area, &inside, Icon, Icon), 250, 225);
}

TEST(CenteredPosition, DialogOverASmallOwnerStartsAnIconBelowAndRightOfIt)
{
    const Rect area = R(0, 0, 1280, 1024);
    const Rect owner = R(100, 100, 300, 200);
    EXPECT_AT(CenteredPosition(Sized(400, 300), area, &owner, 16, 20), 116, 120);
    // The margin comes before the work-area clamp, which still wins.
    const Rect nearEdge = R(1200, 900, 1260, 960);
    EXPECT_AT(CenteredPosition(Sized(400, 300), area, &nearEdge, 16, 20), 880, 724);
}

TEST(CenteredPosition, NegativeHalfDifferenceTruncatesTowardZero)
{
    // A window 15 wide over a reference 10 wide: -5 / 2 is -2, not -3. The
    // margin (here below the reference's corner) is what would expose it.
    const Rect area = R(-1000, -1000, 1000, 1000);
    const Rect owner = R(0, 0, 10, 10);
    EXPECT_AT(CenteredPosition(Sized(15, 15), area, &owner, -3, -3), -2, -2);
}

}  // namespace
