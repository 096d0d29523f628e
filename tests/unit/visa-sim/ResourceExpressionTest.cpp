#include "ResourceExpression.h"

#include <gtest/gtest.h>

#include <string>

using namespace visasim;

namespace {
bool Match(const char* expression, const char* name) {
    auto compiled = ResourceExpression::Compile(expression);
    EXPECT_TRUE(compiled) << expression;
    return compiled && compiled->Matches(name);
}
} // namespace

TEST(ResourceExpression, StandardExamples) {
    EXPECT_TRUE(Match("?*INSTR", "VXI0::112::INSTR"));
    EXPECT_TRUE(Match("?*INSTR", "GPIB-VXI0::24::INSTR"));
    EXPECT_FALSE(Match("?*INSTR", "GPIB0::INTFC"));
    EXPECT_TRUE(Match("GPIB?*INSTR", "GPIB0::9::INSTR"));
    EXPECT_TRUE(Match("GPIB?*INSTR", "GPIB-VXI0::24::INSTR"));
    EXPECT_TRUE(Match("GPIB[0-9]*::?*INSTR", "GPIB0::9::INSTR"));
    EXPECT_FALSE(Match("GPIB[0-9]*::?*INSTR", "GPIB-VXI0::24::INSTR"));
    EXPECT_TRUE(Match("GPIB[^-]*::?*INSTR", "GPIB0::9::INSTR"));
    EXPECT_TRUE(Match("(GPIB|VXI)0::?*", "VXI0::112::INSTR"));
    EXPECT_FALSE(Match("(GPIB|VXI)0::?*", "GPIB-VXI0::24::INSTR"));
    EXPECT_TRUE(Match("VXI0::1+2::INSTR", "VXI0::112::INSTR"));
    EXPECT_FALSE(Match("VXI0::1+2::INSTR", "VXI0::2::INSTR"));
    EXPECT_TRUE(Match("VXI0::1*2::INSTR", "VXI0::2::INSTR"));
}

TEST(ResourceExpression, CaseInsensitiveWholeName) {
    EXPECT_TRUE(Match("vxi0::112::instr", "VXI0::112::INSTR"));
    EXPECT_TRUE(Match("[a-z]XI?*", "VXI0::112::INSTR"));
    EXPECT_FALSE(Match("[^v]XI?*", "VXI0::112::INSTR"));
    EXPECT_FALSE(Match("VXI0", "VXI0::112::INSTR"));       // a prefix is not a match
    EXPECT_FALSE(Match("112::INSTR", "VXI0::112::INSTR")); // nor a suffix
}

TEST(ResourceExpression, BackslashTakesSpecialCharactersLiterally) {
    EXPECT_TRUE(Match("a\\*b", "a*b"));
    EXPECT_FALSE(Match("a\\*b", "aab"));
    EXPECT_TRUE(Match("a\\?", "a?"));
    EXPECT_FALSE(Match("a\\?", "ab"));
}

TEST(ResourceExpression, MalformedExpressionsAreRefused) {
    for (const char* expression :
         {"", "*INSTR", "+", "(GPIB", "GPIB)", "[abc", "[]", "a|", "|a", "()", "a\\", "[z-a]", "a(|b)"}) {
        EXPECT_FALSE(ResourceExpression::Compile(expression)) << expression;
    }
}

TEST(ResourceExpression, NestedRepetitionStaysLinear) {
    // A backtracking matcher takes exponential time here; the automaton answers at once.
    auto compiled = ResourceExpression::Compile("((a*)*)*b");
    ASSERT_TRUE(compiled);
    EXPECT_FALSE(compiled->Matches(std::string(5000, 'a')));
    EXPECT_TRUE(compiled->Matches(std::string(5000, 'a') + "b"));
}
