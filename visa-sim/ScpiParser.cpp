#include "ScpiParser.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace visasim {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Header syntax: "*WORD[?]" or "[:]node[:node]...[?]", nodes being a letter then letters, digits or '_'.
bool ParseHeader(std::string_view text, ScpiCommand& command) {
    command.header = std::string(text);
    if (!text.empty() && text.back() == '?') {
        command.query = true;
        text.remove_suffix(1);
        command.header.pop_back();
    }
    if (text.empty()) {
        return false;
    }
    if (text.front() == '*') {
        command.common = true;
        if (text.size() < 2) {
            return false;
        }
        std::string node = "*";
        for (char c : text.substr(1)) {
            if (!IsAlpha(c)) {
                return false;
            }
            node += Upper(c);
        }
        command.nodes.push_back(node);
        return true;
    }
    if (text.front() == ':') {
        command.absolute = true;
        text.remove_prefix(1);
    }
    std::string node;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ':') {
            if (node.empty()) {
                return false;
            }
            command.nodes.push_back(node);
            node.clear();
            continue;
        }
        char c = text[i];
        if (node.empty() ? !IsAlpha(c) : !(IsAlpha(c) || IsDigit(c) || c == '_')) {
            return false;
        }
        node += Upper(c);
    }
    return true;
}

bool IsNumber(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == text.size();
}

// Reads the parameters after the header; returns an SCPI error code or 0.
int ParseParameters(std::string_view text, std::vector<ScpiParameter>& parameters) {
    size_t pos = 0;
    auto skipSpace = [&] {
        while (pos < text.size() && IsSpace(text[pos])) {
            ++pos;
        }
    };
    skipSpace();
    if (pos == text.size()) {
        return 0;
    }
    while (true) {
        skipSpace();
        if (pos == text.size()) {
            return -102; // a comma with nothing after it
        }
        ScpiParameter parameter;
        char c = text[pos];
        if (c == '"' || c == '\'') {
            parameter.kind = ScpiParameter::Kind::String;
            char quote = c;
            ++pos;
            bool closed = false;
            while (pos < text.size()) {
                if (text[pos] == quote) {
                    if (pos + 1 < text.size() && text[pos + 1] == quote) {
                        parameter.text += quote;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                parameter.text += text[pos++];
            }
            if (!closed) {
                return -151;
            }
        } else if (c == '(') {
            parameter.kind = ScpiParameter::Kind::ChannelList;
            size_t close = text.find(')', pos);
            if (close == std::string_view::npos) {
                return -102;
            }
            std::string_view inside = Trim(text.substr(pos + 1, close - pos - 1));
            if (inside.empty() || inside.front() != '@') {
                return -104;
            }
            parameter.text = std::string(inside.substr(1));
            pos = close + 1;
        } else {
            size_t end = pos;
            while (end < text.size() && text[end] != ',' && !IsSpace(text[end])) {
                ++end;
            }
            std::string_view token = text.substr(pos, end - pos);
            pos = end;
            if (IsNumber(token)) {
                parameter.kind = ScpiParameter::Kind::Number;
            } else if (!token.empty() && IsAlpha(token.front())) {
                for (char t : token) {
                    if (!(IsAlpha(t) || IsDigit(t) || t == '_')) {
                        return -102;
                    }
                }
                parameter.kind = ScpiParameter::Kind::Word;
            } else {
                return -102;
            }
            parameter.text = std::string(token);
        }
        parameters.push_back(std::move(parameter));
        skipSpace();
        if (pos == text.size()) {
            return 0;
        }
        if (text[pos] != ',') {
            return -102;
        }
        ++pos;
    }
}

// Parses one command; false for an empty one.
bool ParseCommand(std::string_view text, ScpiCommand& command) {
    text = Trim(text);
    if (text.empty()) {
        return false;
    }
    command = ScpiCommand{};
    command.text = std::string(text);
    size_t end = 0;
    while (end < text.size() && !IsSpace(text[end])) {
        ++end;
    }
    if (!ParseHeader(text.substr(0, end), command)) {
        command.error = -102;
    } else {
        command.error = ParseParameters(text.substr(end), command.parameters);
    }
    return true;
}

} // namespace

bool ScpiMessageReader::Next(ScpiCommand& command) {
    while (m_next <= m_message.size()) {
        size_t start = m_next;
        size_t end = start;
        char quote = 0;
        for (; end < m_message.size(); ++end) {
            char c = m_message[end];
            if (quote) {
                if (c == quote) {
                    quote = 0;
                }
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == ';') {
                break;
            }
        }
        m_next = end + 1;
        if (ParseCommand(m_message.substr(start, end - start), command)) {
            return true;
        }
    }
    return false;
}

std::vector<ScpiCommand> ParseScpiMessage(std::string_view message) {
    std::vector<ScpiCommand> commands;
    ScpiMessageReader reader(message);
    for (ScpiCommand command; reader.Next(command);) {
        commands.push_back(std::move(command));
    }
    return commands;
}

std::optional<long> WholeNumber(const ScpiParameter& parameter) {
    if (parameter.kind != ScpiParameter::Kind::Number) {
        return std::nullopt;
    }
    const std::string& text = parameter.text;
    bool plain = true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(IsDigit(text[i]) || (i == 0 && (text[i] == '+' || text[i] == '-')))) {
            plain = false;
        }
    }
    if (plain) {
        if (text.size() > 10) {
            return std::nullopt;
        }
        return std::strtol(text.c_str(), nullptr, 10);
    }
    double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value) || std::fabs(value) > 1e9 || value != std::floor(value)) {
        return std::nullopt;
    }
    return static_cast<long>(value);
}

std::optional<double> RealNumber(const ScpiParameter& parameter) {
    if (parameter.kind != ScpiParameter::Kind::Number) {
        return std::nullopt;
    }
    double value = std::strtod(parameter.text.c_str(), nullptr);
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<std::vector<int>> ExpandChannelList(std::string_view list, int* error) {
    std::vector<int> channels;
    int dummy = 0;
    int& code = error ? *error : dummy;
    code = 0;
    auto readChannel = [&](std::string_view text, int& value) {
        text = Trim(text);
        if (text.empty() || text.size() > 4) {
            return false;
        }
        value = 0;
        for (char c : text) {
            if (!IsDigit(c)) {
                return false;
            }
            value = value * 10 + (c - '0');
        }
        return true;
    };
    list = Trim(list);
    if (list.empty()) {
        return channels;
    }
    size_t start = 0;
    while (true) {
        size_t comma = list.find(',', start);
        std::string_view item =
            list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
        size_t colon = item.find(':');
        if (colon == std::string_view::npos) {
            int channel = 0;
            if (!readChannel(item, channel)) {
                code = -104;
                return std::nullopt;
            }
            channels.push_back(channel);
        } else {
            int first = 0;
            int last = 0;
            if (!readChannel(item.substr(0, colon), first) || !readChannel(item.substr(colon + 1), last)) {
                code = -104;
                return std::nullopt;
            }
            if (first / 10 != last / 10 || last < first) {
                code = -222;
                return std::nullopt;
            }
            for (int channel = first; channel <= last; ++channel) {
                channels.push_back(channel);
            }
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    return channels;
}

HeaderPattern HeaderPattern::FromText(std::string_view text) {
    HeaderPattern pattern;
    size_t pos = 0;
    while (pos < text.size()) {
        bool optional = false;
        if (text[pos] == '[') {
            optional = true;
            ++pos;
        }
        if (pos < text.size() && text[pos] == ':') {
            ++pos;
        }
        Node node;
        node.optional = optional;
        while (pos < text.size() && text[pos] != ':' && text[pos] != '[' && text[pos] != ']') {
            char c = text[pos++];
            if (std::isupper(static_cast<unsigned char>(c)) || c == '*') {
                node.shortForm += c;
            }
            node.longForm += Upper(c);
        }
        if (pos < text.size() && text[pos] == ']') {
            ++pos;
        }
        pattern.nodes.push_back(node);
    }
    return pattern;
}

bool HeaderPattern::Matches(const std::vector<std::string>& upperNodes) const {
    // Small patterns: try every way of skipping optional nodes, in order.
    size_t given = 0;
    for (const Node& node : nodes) {
        if (given < upperNodes.size() &&
            (upperNodes[given] == node.shortForm || upperNodes[given] == node.longForm)) {
            ++given;
            continue;
        }
        if (!node.optional) {
            return false;
        }
    }
    return given == upperNodes.size();
}

std::string HeaderPattern::ShortText() const {
    std::string text;
    for (const Node& node : nodes) {
        if (node.optional) {
            continue;
        }
        if (!text.empty()) {
            text += ':';
        }
        text += node.shortForm;
    }
    return text;
}

} // namespace visasim
