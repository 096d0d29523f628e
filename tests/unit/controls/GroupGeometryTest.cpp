// The geometry of the group pictures, computed without a window.
#include <gtest/gtest.h>

#include "controls/GroupGeometry.h"

namespace {

// The size of a group control on the main panel: 75 x 43 dialog units of the template's 8-point font.
constexpr PixelSize kGroupSize{113, 70};

TEST(GroupGeometry, SwitchGeometryFollowsTheUnits) {
    // 113 x 70: h = 66, r = 6.6, s = 2.64, margin 2.825; no labels.
    const PixelSize none[6] = {};
    const SwitchGeometry g = LayoutSwitch(4, kGroupSize, 2, true, false, PixelSize(), none);
    EXPECT_DOUBLE_EQ(g.r, 6.6);
    EXPECT_NEAR(g.s, 2.64, 1e-9);
    EXPECT_EQ(g.pole, (PixelRect{2, 28, 14, 13}));
    EXPECT_EQ(g.left, 94);
    EXPECT_EQ(g.contact[0], (PixelRect{94, 4, 14, 13}));  // y = 2 + s
    EXPECT_EQ(g.contact[1], (PixelRect{94, 20, 14, 13})); // y = 2 + 2s + 2r = 20.48
    EXPECT_EQ(g.contact[3], (PixelRect{94, 52, 14, 13})); // y = 2 + 4s + 6r = 52.16
    EXPECT_EQ(g.arm[0], (PixelPoint{9, 35}));
    EXPECT_EQ(g.arm[1], (PixelPoint{9, 42})); // corner at the height of contact 2 (y = 36.32 + r)
    EXPECT_EQ(g.arm[2], (PixelPoint{94, 42}));
    EXPECT_EQ(g.arm[3], (PixelPoint{8, 34}));
    EXPECT_EQ(g.arm[8], (PixelPoint{95, 43}));

    // Six positions: r = h / 15 = 4.4, s = (h - 8r) / 7 = 4.4; a 20-pixel pole label moves the pole.
    const SwitchGeometry six = LayoutSwitch(6, kGroupSize, -1, true, true, PixelSize{20, 13}, none);
    EXPECT_NEAR(six.r, 4.4, 1e-9);
    EXPECT_NEAR(six.s, 4.4, 1e-9);
    EXPECT_EQ(six.pole.x, 24); // 2.825 + 20 + 2
    EXPECT_EQ(six.poleLabel.x, 2);
    EXPECT_NEAR(six.poleLabel.y, 29, 1); // t - 13 / 2 + r = 30.6 - 6 + 4.4
    EXPECT_EQ(six.contact[5].y, 58);     // 2 + 6.8s + 6r = 58.32
    EXPECT_FALSE(six.hasArm);
}

} // namespace
