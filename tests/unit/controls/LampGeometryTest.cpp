#include <gtest/gtest.h>

#include "controls/LampGeometry.h"

namespace {

TEST(LampGeometry, LampIsCentredInItsSquare) {
    EXPECT_EQ(LampSquare(PixelRect{0, 0, 30, 16}), (PixelRect{7, 0, 16, 16}));
    EXPECT_EQ(LampSquare(PixelRect{0, 0, 16, 24}), (PixelRect{0, 4, 16, 16}));
    EXPECT_EQ(LampDisc(PixelRect{0, 4, 20, 20}), (PixelRect{4, 8, 12, 12}));
}

} // namespace
