#include "ScpiParser.h"

#include <gtest/gtest.h>

using namespace visasim;

TEST(ScpiParser, SplitsHeadersParametersAndCommands) {
    auto commands = ParseScpiMessage(":rout:clos (@120:123);OPEN (@1220, 1221);*IDN?;SYST:COPT 1,\"A;B\"\n");
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_TRUE(commands[0].absolute);
    EXPECT_EQ(commands[0].nodes, (std::vector<std::string>{"ROUT", "CLOS"}));
    ASSERT_EQ(commands[0].parameters.size(), 1u);
    EXPECT_EQ(commands[0].parameters[0].kind, ScpiParameter::Kind::ChannelList);
    EXPECT_EQ(commands[0].parameters[0].text, "120:123");
    EXPECT_FALSE(commands[1].absolute);
    EXPECT_EQ(commands[1].parameters[0].text, "1220, 1221");
    EXPECT_TRUE(commands[2].common);
    EXPECT_TRUE(commands[2].query);
    EXPECT_EQ(commands[2].nodes, (std::vector<std::string>{"*IDN"}));
    ASSERT_EQ(commands[3].parameters.size(), 2u);
    EXPECT_EQ(commands[3].parameters[0].kind, ScpiParameter::Kind::Number);
    EXPECT_EQ(commands[3].parameters[1].kind, ScpiParameter::Kind::String);
    EXPECT_EQ(commands[3].parameters[1].text, "A;B"); // a semicolon inside quotes does not split
    for (const auto& command : commands)
        EXPECT_EQ(command.error, 0);
}

TEST(ScpiParser, QuotedStringsAndDoubledQuotes) {
    auto commands = ParseScpiMessage("SYST:COPT 2,'it''s'");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].parameters[1].text, "it's");
}

TEST(ScpiParser, SyntaxErrorsAreReportedPerCommand) {
    EXPECT_EQ(ParseScpiMessage("ROUT:CLOS(@101)")[0].error, -102);
    EXPECT_EQ(ParseScpiMessage("ROUT::CLOS (@101)")[0].error, -102);
    EXPECT_EQ(ParseScpiMessage("SYST:COPT 1,\"open")[0].error, -151);
    EXPECT_EQ(ParseScpiMessage("ATT 1,2,")[0].error, -102);
    EXPECT_EQ(ParseScpiMessage("ATT 1 2")[0].error, -102);
    EXPECT_EQ(ParseScpiMessage("ROUT:CLOS (101)")[0].error, -104);
    EXPECT_EQ(ParseScpiMessage("*")[0].error, -102);
    EXPECT_TRUE(ParseScpiMessage(" ;; \n").empty());
}

TEST(ScpiParser, WholeNumbers) {
    auto number = [](const char* text) {
        ScpiParameter parameter{ScpiParameter::Kind::Number, text};
        return WholeNumber(parameter);
    };
    EXPECT_EQ(number("12"), 12);
    EXPECT_EQ(number("+3"), 3);
    EXPECT_EQ(number("-7"), -7);
    EXPECT_EQ(number("1.0E1"), 10);
    EXPECT_FALSE(number("1.5"));
    EXPECT_FALSE(number("99999999999"));
    EXPECT_FALSE(WholeNumber(ScpiParameter{ScpiParameter::Kind::Word, "MAX"}));
}

TEST(ScpiParser, ChannelListsExpandRangesWithinOneGroup) {
    int error = 0;
    EXPECT_EQ(*ExpandChannelList("120:123", &error), (std::vector<int>{120, 121, 122, 123}));
    EXPECT_EQ(*ExpandChannelList("1220:1223,100", &error), (std::vector<int>{1220, 1221, 1222, 1223, 100}));
    EXPECT_EQ(*ExpandChannelList(" 101 , 112 ", &error), (std::vector<int>{101, 112}));
    EXPECT_FALSE(ExpandChannelList("123:120", &error));
    EXPECT_EQ(error, -222);
    EXPECT_FALSE(ExpandChannelList("118:121", &error));
    EXPECT_EQ(error, -222);
    EXPECT_FALSE(ExpandChannelList("12a", &error));
    EXPECT_EQ(error, -104);
    EXPECT_FALSE(ExpandChannelList("101,,102", &error));
    EXPECT_EQ(error, -104);
    EXPECT_FALSE(ExpandChannelList("12345", &error));
}

TEST(ScpiParser, HeaderPatternsTakeShortAndLongFormsAndOptionalNodes) {
    auto pattern = HeaderPattern::FromText("SYSTem:ERRor[:NEXT]");
    EXPECT_EQ(pattern.ShortText(), "SYST:ERR");
    EXPECT_TRUE(pattern.Matches({"SYST", "ERR"}));
    EXPECT_TRUE(pattern.Matches({"SYSTEM", "ERROR", "NEXT"}));
    EXPECT_FALSE(pattern.Matches({"SYSTE", "ERR"})); // neither short nor long
    EXPECT_FALSE(pattern.Matches({"SYST"}));
    EXPECT_FALSE(pattern.Matches({"SYST", "ERR", "NEXT", "X"}));
}
