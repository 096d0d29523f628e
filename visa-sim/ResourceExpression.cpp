#include "ResourceExpression.h"

#include <cctype>

namespace visasim {

namespace {

unsigned char Lower(char c) {
    return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

// Recursive-descent compiler: alternation := sequence ('|' sequence)*; sequence := item+;
// item := atom ('*' | '+')*; atom := '?' | '[' class ']' | '(' alternation ')' | '\' char | char.
class ExpressionCompiler {
public:
    ExpressionCompiler(std::string_view text, ResourceExpression& target) : m_text(text), m_target(target) {}

    bool Run() {
        Fragment whole;
        if (!Alternation(whole, 0) || m_pos != m_text.size()) {
            return false;
        }
        int match = NewState(ResourceExpression::State::Match);
        Patch(whole, match);
        m_target.m_start = whole.start;
        return true;
    }

private:
    // A piece of automaton: its entry state and the dangling exits (state index, which exit).
    struct Fragment {
        int start = -1;
        std::vector<std::pair<int, int>> exits;
    };

    static constexpr int kMaxDepth = 200;

    int NewState(ResourceExpression::State::Kind kind) {
        ResourceExpression::State state;
        state.kind = kind;
        m_target.m_states.push_back(state);
        return static_cast<int>(m_target.m_states.size()) - 1;
    }

    void Patch(const Fragment& fragment, int to) {
        for (auto [state, which] : fragment.exits) {
            if (which == 0) {
                m_target.m_states[state].out = to;
            } else {
                m_target.m_states[state].out1 = to;
            }
        }
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return m_text[m_pos]; }

    bool Alternation(Fragment& result, int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        Fragment left;
        if (!Sequence(left, depth)) {
            return false;
        }
        while (!AtEnd() && Peek() == '|') {
            ++m_pos;
            Fragment right;
            if (!Sequence(right, depth)) {
                return false;
            }
            int split = NewState(ResourceExpression::State::Split);
            m_target.m_states[split].out = left.start;
            m_target.m_states[split].out1 = right.start;
            Fragment joined;
            joined.start = split;
            joined.exits = left.exits;
            joined.exits.insert(joined.exits.end(), right.exits.begin(), right.exits.end());
            left = std::move(joined);
        }
        result = std::move(left);
        return true;
    }

    bool Sequence(Fragment& result, int depth) {
        bool any = false;
        while (!AtEnd() && Peek() != '|' && Peek() != ')') {
            Fragment item;
            if (!Item(item, depth)) {
                return false;
            }
            if (!any) {
                result = std::move(item);
                any = true;
            } else {
                Patch(result, item.start);
                result.exits = std::move(item.exits);
            }
        }
        return any;
    }

    bool Item(Fragment& result, int depth) {
        if (!Atom(result, depth)) {
            return false;
        }
        while (!AtEnd() && (Peek() == '*' || Peek() == '+')) {
            bool zeroAllowed = Peek() == '*';
            ++m_pos;
            int split = NewState(ResourceExpression::State::Split);
            m_target.m_states[split].out = result.start;
            Patch(result, split);
            Fragment repeated;
            repeated.start = zeroAllowed ? split : result.start;
            repeated.exits = {{split, 1}};
            result = std::move(repeated);
        }
        return true;
    }

    bool Atom(Fragment& result, int depth) {
        char c = Peek();
        if (c == '*' || c == '+') {
            return false;
        }
        if (c == '(') {
            ++m_pos;
            if (!Alternation(result, depth + 1)) {
                return false;
            }
            if (AtEnd() || Peek() != ')') {
                return false;
            }
            ++m_pos;
            return true;
        }
        std::bitset<256> set;
        if (c == '?') {
            ++m_pos;
            set.set();
        } else if (c == '[') {
            ++m_pos;
            if (!Class(set)) {
                return false;
            }
        } else if (c == '\\') {
            ++m_pos;
            if (AtEnd()) {
                return false;
            }
            set.set(Lower(Peek()));
            ++m_pos;
        } else {
            set.set(Lower(c));
            ++m_pos;
        }
        int state = NewState(ResourceExpression::State::Set);
        m_target.m_states[state].set = set;
        result.start = state;
        result.exits = {{state, 0}};
        return true;
    }

    // After '[': members up to the closing ']', ranges first-last, a leading '^' negating the list.
    bool Class(std::bitset<256>& set) {
        bool negate = false;
        if (!AtEnd() && Peek() == '^') {
            negate = true;
            ++m_pos;
        }
        bool any = false;
        while (!AtEnd() && Peek() != ']') {
            char first = Peek();
            if (first == '\\') {
                ++m_pos;
                if (AtEnd()) {
                    return false;
                }
                first = Peek();
            }
            ++m_pos;
            char last = first;
            if (m_pos + 1 < m_text.size() && Peek() == '-' && m_text[m_pos + 1] != ']') {
                last = m_text[m_pos + 1];
                m_pos += 2;
                if (static_cast<unsigned char>(last) < static_cast<unsigned char>(first)) {
                    return false;
                }
            }
            for (int ch = static_cast<unsigned char>(first); ch <= static_cast<unsigned char>(last); ++ch) {
                set.set(Lower(static_cast<char>(ch)));
            }
            any = true;
        }
        if (AtEnd() || !any) {
            return false;
        }
        ++m_pos; // ']'
        if (negate) {
            set.flip();
        }
        return true;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    ResourceExpression& m_target;
};

std::optional<ResourceExpression> ResourceExpression::Compile(std::string_view expression) {
    if (expression.empty()) {
        return std::nullopt;
    }
    ResourceExpression compiled;
    ExpressionCompiler compiler(expression, compiled);
    if (!compiler.Run()) {
        return std::nullopt;
    }
    return compiled;
}

bool ResourceExpression::Matches(std::string_view name) const {
    const size_t count = m_states.size();
    std::vector<int> current;
    std::vector<int> next;
    std::vector<size_t> mark(count, 0);
    size_t generation = 1;
    std::vector<int> stack;

    // Adds a state and everything reachable from it without consuming a character.
    auto add = [&](std::vector<int>& list, int start) {
        stack.push_back(start);
        while (!stack.empty()) {
            int s = stack.back();
            stack.pop_back();
            if (s < 0 || mark[s] == generation) {
                continue;
            }
            mark[s] = generation;
            const State& state = m_states[s];
            if (state.kind == State::Split) {
                stack.push_back(state.out1);
                stack.push_back(state.out);
            } else {
                list.push_back(s);
            }
        }
    };

    add(current, m_start);
    for (char c : name) {
        ++generation;
        next.clear();
        unsigned char lc = Lower(c);
        for (int s : current) {
            const State& state = m_states[s];
            if (state.kind == State::Set && state.set.test(lc)) {
                add(next, state.out);
            }
        }
        current.swap(next);
        if (current.empty()) {
            return false;
        }
    }
    for (int s : current) {
        if (m_states[s].kind == State::Match) {
            return true;
        }
    }
    return false;
}

} // namespace visasim
