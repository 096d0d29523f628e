// Reply decoding and argument checks of the instrument driver.
#include "ReplyText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(DriverReplyText, CopyCutsToTheBufferAndTerminates) {
    char small[5];
    std::memset(small, 'x', sizeof(small));
    EXPECT_EQ(RqkCopyText(small, sizeof(small), "ABCDEFG"), 4u);
    EXPECT_STREQ(small, "ABCD");
    char one[1] = {'x'};
    EXPECT_EQ(RqkCopyText(one, 1, "ABC"), 0u);
    EXPECT_EQ(one[0], '\0');
    char empty[4] = {'x', 'x', 'x', 'x'};
    RqkCopyText(empty, sizeof(empty), nullptr);
    EXPECT_STREQ(empty, "");
}

TEST(DriverReplyText, TrimEndRemovesLineEndsOnly) {
    char text[] = "  0,1,0,0 \r\n";
    RqkTrimEnd(text);
    EXPECT_STREQ(text, "  0,1,0,0");
    char blank[] = "\n\n";
    RqkTrimEnd(blank);
    EXPECT_STREQ(blank, "");
}

TEST(DriverReplyText, UnquoteStripsScpiQuotesAndUndoublesInnerOnes) {
    char out[256];
    RqkUnquote(out, sizeof(out), "\"QZATNA01,QZATNB01,,QZSWTA01,QZSWTB01,\"");
    EXPECT_STREQ(out, "QZATNA01,QZATNB01,,QZSWTA01,QZSWTB01,");
    RqkUnquote(out, sizeof(out), " \"say \"\"hi\"\" now\"");
    EXPECT_STREQ(out, "say \"hi\" now");
    RqkUnquote(out, sizeof(out), "QUILLON-VANTERA,K4712V,0,A.01.00");
    EXPECT_STREQ(out, "QUILLON-VANTERA,K4712V,0,A.01.00");
    RqkUnquote(out, sizeof(out), "\"never closed");
    EXPECT_STREQ(out, "never closed");
    RqkUnquote(out, sizeof(out), "\"\"");
    EXPECT_STREQ(out, "");
}

TEST(DriverReplyText, UnquoteNeverOverrunsASmallBuffer) {
    std::string longText = "\"" + std::string(300, 'A') + "\"";
    char out[100 + 8];
    std::memset(out, '#', sizeof(out));
    RqkUnquote(out, 100, longText.c_str());
    EXPECT_EQ(std::strlen(out), 99u);
    EXPECT_EQ(out[100], '#');
    RqkUnquote(out, 100, std::string(300, 'B').c_str());
    EXPECT_EQ(std::strlen(out), 99u);
    EXPECT_EQ(out[100], '#');
}

TEST(DriverReplyText, IntegersAreWholeRepliesWithinTheirRange) {
    int64_t value = 99;
    EXPECT_TRUE(RqkParseInteger("0", 0, 255, &value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(RqkParseInteger(" +40 ", 0, 255, &value));
    EXPECT_EQ(value, 40);
    EXPECT_TRUE(RqkParseInteger("-113", -200, 0, &value));
    EXPECT_EQ(value, -113);
    EXPECT_TRUE(RqkParseInteger("10.0", 0, 90, &value));
    EXPECT_EQ(value, 10);
    EXPECT_TRUE(RqkParseInteger("1E1", 0, 90, &value));
    EXPECT_EQ(value, 10);
    value = 7;
    EXPECT_FALSE(RqkParseInteger("", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("12abc", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("256", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("-1", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("nan", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("inf", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("0x10", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("1 2", 0, 255, &value));
    EXPECT_FALSE(RqkParseInteger("99999999999999999999", INT16_MIN, INT16_MAX, &value));
    EXPECT_EQ(value, 7);
}

TEST(DriverReplyText, ErrorEntriesKeepNegativeCodesAndDropQuotes) {
    int32_t code = 0;
    char message[256];
    ASSERT_TRUE(RqkParseErrorEntry("-113,\"Undefined header\"", &code, message, sizeof(message)));
    EXPECT_EQ(code, -113);
    EXPECT_STREQ(message, "Undefined header");
    ASSERT_TRUE(RqkParseErrorEntry("0,\"No error\"", &code, message, sizeof(message)));
    EXPECT_EQ(code, 0);
    EXPECT_STREQ(message, "No error");
    ASSERT_TRUE(RqkParseErrorEntry("+1, \"Text, with comma\"", &code, message, sizeof(message)));
    EXPECT_EQ(code, 1);
    EXPECT_STREQ(message, "Text, with comma");
    // A code wider than 32 bits is refused rather than wrapped.
    EXPECT_FALSE(RqkParseErrorEntry("4294967183,\"x\"", &code, message, sizeof(message)));
    EXPECT_FALSE(RqkParseErrorEntry("No error", &code, message, sizeof(message)));
    EXPECT_FALSE(RqkParseErrorEntry("abc,\"x\"", &code, message, sizeof(message)));
    EXPECT_FALSE(RqkParseErrorEntry("-1.5,\"x\"", &code, message, sizeof(message)));
    EXPECT_STREQ(message, "");
}

TEST(DriverReplyText, ErrorEntryMessageIsCutToTheBuffer) {
    std::string reply = "-350,\"" + std::string(400, 'm') + "\"";
    int32_t code = 0;
    char message[256 + 4];
    std::memset(message, '#', sizeof(message));
    ASSERT_TRUE(RqkParseErrorEntry(reply.c_str(), &code, message, 256));
    EXPECT_EQ(code, -350);
    EXPECT_EQ(std::strlen(message), 255u);
    EXPECT_EQ(message[256], '#');
}

TEST(DriverReplyText, FirmwareIsTheFourthIdentityField) {
    char out[256];
    RqkIdentityFirmware("QUILLON-VANTERA,K4712V,1234,A.11.01", out, sizeof(out));
    EXPECT_STREQ(out, "A.11.01");
    RqkIdentityFirmware("QUILLON-VANTERA,SWITCHBOX,9, B.02.00 ,extra", out, sizeof(out));
    EXPECT_STREQ(out, "B.02.00");
    RqkIdentityFirmware("QUILLON-VANTERA,K4712V,1234", out, sizeof(out));
    EXPECT_STREQ(out, "");
    RqkIdentityFirmware("", out, sizeof(out));
    EXPECT_STREQ(out, "");
}

TEST(DriverReplyText, ChannelListsAreWrappedForRouteCommands) {
    char out[256];
    ASSERT_TRUE(RqkWrapChannelList("120:123", out, sizeof(out)));
    EXPECT_STREQ(out, "(@120:123)");
    ASSERT_TRUE(RqkWrapChannelList("1220:1223", out, sizeof(out)));
    EXPECT_STREQ(out, "(@1220:1223)");
    ASSERT_TRUE(RqkWrapChannelList("100, 112", out, sizeof(out)));
    EXPECT_STREQ(out, "(@100, 112)");
    ASSERT_TRUE(RqkWrapChannelList("(@130:135)", out, sizeof(out)));
    EXPECT_STREQ(out, "(@130:135)");
    ASSERT_TRUE(RqkWrapChannelList(" 101 ", out, sizeof(out)));
    EXPECT_STREQ(out, "(@101)");
}

TEST(DriverReplyText, ChannelListsThatCouldCarryOtherCommandsAreRefused) {
    char out[16];
    const char* bad[] = {"",          "   ",   "(@)", "120:",     ":123",        "1,,2", "12 13", "120;*RST",
                         "120\n*RST", "(@120", "abc", "120:123)", "(@120:123)x", "-120", "1:2:",  ",120"};
    for (const char* list : bad) {
        std::memset(out, 'x', sizeof(out));
        EXPECT_FALSE(RqkWrapChannelList(list, out, sizeof(out))) << list;
        EXPECT_STREQ(out, "") << list;
    }
    // Too long for the buffer: refused, never cut.
    EXPECT_FALSE(RqkWrapChannelList("1200,1201,1202,1203", out, sizeof(out)));
}

TEST(DriverReplyText, OptionListTextMustStayInsideItsQuotes) {
    EXPECT_TRUE(RqkIsOptionListText("QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"));
    EXPECT_TRUE(RqkIsOptionListText(",,,,,"));
    EXPECT_TRUE(RqkIsOptionListText(""));
    EXPECT_FALSE(RqkIsOptionListText("A\",\"B"));
    EXPECT_FALSE(RqkIsOptionListText("A\nB"));
    EXPECT_FALSE(RqkIsOptionListText("\xC3\xA9"));
    EXPECT_TRUE(RqkIsOptionListText(std::string(255, 'A').c_str()));
    EXPECT_FALSE(RqkIsOptionListText(std::string(256, 'A').c_str()));
}

TEST(DriverReplyText, ChannelNumbersFollowCardGroupChannel) {
    EXPECT_TRUE(RqkIsChannelNumber(100));
    EXPECT_TRUE(RqkIsChannelNumber(123));
    EXPECT_TRUE(RqkIsChannelNumber(1220));
    EXPECT_TRUE(RqkIsChannelNumber(9955));
    EXPECT_FALSE(RqkIsChannelNumber(99));    // card 0
    EXPECT_FALSE(RqkIsChannelNumber(10000)); // card 100
    EXPECT_FALSE(RqkIsChannelNumber(160));   // group 6
    EXPECT_FALSE(RqkIsChannelNumber(126));   // channel 6
    EXPECT_FALSE(RqkIsChannelNumber(-123));
}

TEST(DriverReplyText, PrefixComparisonIgnoresCase) {
    EXPECT_TRUE(RqkStartsWithNoCase("quillon-vantera,k4712v,0,A.01.00", "QUILLON-VANTERA,K4712V"));
    EXPECT_TRUE(RqkStartsWithNoCase("NONE", "NONE"));
    EXPECT_FALSE(RqkStartsWithNoCase("NON", "NONE"));
    EXPECT_FALSE(RqkStartsWithNoCase("QUILLON-VANTERA,SWITCHBOX", "QUILLON-VANTERA,K4712V"));
}

} // namespace
