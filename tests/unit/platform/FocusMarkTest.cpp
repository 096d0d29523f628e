// Where the focus mark lies, without a window.
#include <gtest/gtest.h>

#include <set>

#include "platform/FocusMark.h"

namespace {

TEST(FocusMark, DottedOutlineJustInsideTheTwoPixelFrame) {
    // A group control of 113 x 70: the outline runs from (2, 2) to (110, 67), 346 pixels round.
    const std::vector<PixelPoint> dots = FocusMarkDots(PixelSize{113, 70});
    EXPECT_EQ(dots.size(), 173u);
    std::set<std::pair<int, int>> at;
    for (const PixelPoint& p : dots) {
        EXPECT_TRUE((p.x == 2 || p.x == 110) ? (p.y >= 2 && p.y <= 67) : (p.y == 2 || p.y == 67))
            << p.x << ", " << p.y;
        at.insert({p.x, p.y});
    }
    EXPECT_EQ(at.size(), dots.size());
    // Dotted: no dot has a neighbour along the outline.
    for (const PixelPoint& p : dots) {
        EXPECT_FALSE(at.count({p.x + 1, p.y}) || at.count({p.x, p.y + 1})) << p.x << ", " << p.y;
    }
    // Too small for a mark inside the frame.
    EXPECT_TRUE(FocusMarkDots(PixelSize{5, 40}).empty());
}

} // namespace
