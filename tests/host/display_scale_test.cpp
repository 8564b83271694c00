#include "autorun/display_scale.h"

#include <gtest/gtest.h>

// Every physical pixel belongs to exactly the menu pixel whose scaled span
// holds it, left of the window too, so a click, a hit test and the focus
// frame agree at every scale.
TEST(DisplayScale, PhysicalPixelsMapBackToTheirMenuPixel)
{
    for (const unsigned dpi : {96u, 120u, 144u, 168u, 192u, 240u}) {
        for (std::int32_t x = -40; x < 700; ++x) {
            for (std::int32_t physical = ToPhysical(x, dpi); physical < ToPhysical(x + 1, dpi); ++physical)
                ASSERT_EQ(ToMenuPixel(physical, dpi), x) << "dpi " << dpi << ", physical " << physical;
        }
    }
    EXPECT_EQ(ToPhysical(595, 144), 893);  // 892.5 rounds up
    EXPECT_EQ(ToPhysical(-3, 144), -4);    // and so does -4.5
    const Rect closeBox = ToPhysical(Rect{584, 5, 595, 16}, 120);
    EXPECT_EQ(closeBox.left, 730);
    EXPECT_EQ(closeBox.bottom, 20);
}

TEST(DisplayScale, PictureAndScaleChoice)
{
    // 100 %: the 100 % picture as it is, 2x or not.
    EXPECT_EQ(ChoosePicture(96, true).source, PictureSource::Base);
    EXPECT_FALSE(ChoosePicture(96, true).resampled);
    EXPECT_EQ(ChoosePicture(192, true).source, PictureSource::Double);
    EXPECT_FALSE(ChoosePicture(192, true).resampled);
    EXPECT_EQ(ChoosePicture(144, true).source, PictureSource::Double);
    EXPECT_TRUE(ChoosePicture(120, true).resampled);
    EXPECT_EQ(ChoosePicture(192, false).source, PictureSource::Base);
    EXPECT_TRUE(ChoosePicture(192, false).resampled);

    // Without the opt-in, or without a scale from the system: 100 %.
    EXPECT_EQ(EffectiveDpi(144, true), 144u);
    EXPECT_EQ(EffectiveDpi(144, false), 96u);
    EXPECT_EQ(EffectiveDpi(0, true), 96u);
}
