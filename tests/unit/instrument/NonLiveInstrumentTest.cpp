#include <gtest/gtest.h>

#include "instrument/NonLiveInstrument.h"

namespace {

TEST(NonLiveInstrument, AnswersWithFixedValues) {
    CNonLiveInstrument nl;
    char text[kSelfTestBufferSize] = "old";
    nl.SelfTest(text);
    EXPECT_STREQ(text, "Self Test Passed.");
    std::int32_t code = 5;
    nl.ErrorQuery(&code, text);
    EXPECT_EQ(code, 0);
    EXPECT_STREQ(text, "None");
    nl.QueryCardType(42, text);
    EXPECT_STREQ(text, "QUILLON-VANTERA,K4712V,0,A.01.00");
    nl.QueryCardOption(1, text);
    EXPECT_STREQ(text, "");
    char list[] = "120:123";
    nl.OpenRouteList(list);
    EXPECT_STREQ(list, "120:123");
    EXPECT_EQ(nl.GetLabelsFileName(), "rqk4712v.lbl");
    EXPECT_EQ(nl.GetAddress(), "Addr Unknown");
    EXPECT_EQ(nl.GetCardNumber(), 1);
    EXPECT_EQ(nl.GetInterfaceType(), 0);
    EXPECT_EQ(nl.GetSlot(), -1);
    EXPECT_EQ(nl.GetLogicalAddress(), -1);
    EXPECT_EQ(nl.m_bLive, 0);
}

} // namespace
