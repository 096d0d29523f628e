// The regular expressions of VISA resource searches (viFindRsrc): '?' any one character, '*' and '+'
// zero-or-more and one-or-more of the preceding item, [list] and [^list] with ranges a-z, '|'
// alternatives, parentheses, and a backslash before a character taken literally. Matching is
// case-insensitive and covers the whole name. The expression is compiled to a Thompson automaton, so a
// match costs time linear in the name whatever the expression.
#pragma once

#include <bitset>
#include <optional>
#include <string_view>
#include <vector>

namespace visasim {

class ResourceExpression {
public:
    // Nothing when the expression is malformed (empty, unbalanced parentheses or brackets, a repetition
    // with nothing before it, an empty alternative, a trailing backslash).
    static std::optional<ResourceExpression> Compile(std::string_view expression);

    bool Matches(std::string_view name) const;

private:
    struct State {
        enum Kind { Set, Split, Match } kind = Match;
        std::bitset<256> set; // lower-case characters accepted (kind Set)
        int out = -1;
        int out1 = -1;
    };
    std::vector<State> m_states;
    int m_start = -1;

    friend class ExpressionCompiler;
};

} // namespace visasim
