#include <gtest/gtest.h>

#include "platform/Colour.h"

TEST(EdgeColours, AThemePairThatWouldDrawFlatEdgesGivesWayToTheClassicPair) {
    const EdgeColours classic{RGB(128, 128, 128), RGB(255, 255, 255)};
    auto same = [](const EdgeColours& a, const EdgeColours& b) {
        return a.shadow == b.shadow && a.highlight == b.highlight;
    };
    // A GTK theme: its shadow is lighter than the panels' light grey.
    EXPECT_TRUE(same(ChooseEdgeColours(RGB(205, 199, 194), RGB(248, 248, 247)), classic));
    // A highlight no lighter than the light grey.
    EXPECT_TRUE(same(ChooseEdgeColours(RGB(100, 100, 100), RGB(192, 192, 192)), classic));
    // A theme whose shadow is darker and highlight lighter keeps its own pair.
    const EdgeColours theme{RGB(90, 100, 110), RGB(230, 235, 240)};
    EXPECT_TRUE(same(ChooseEdgeColours(theme.shadow, theme.highlight), theme));
}
