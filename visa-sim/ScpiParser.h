// Splits an SCPI program message into commands and their parameters, and reads the numbers and channel
// lists those parameters carry. It knows the syntax only; what a header means is the device's business.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace visasim {

struct ScpiParameter {
    enum class Kind { Number, String, ChannelList, Word };
    Kind kind = Kind::Word;
    std::string text; // the number or word as written, the string unquoted, the list inside "(@...)"
};

struct ScpiCommand {
    std::string text;               // the whole command as written, trimmed
    std::string header;             // as written, without the '?'
    bool common = false;            // a '*' command
    bool query = false;             // the header ends with '?'
    bool absolute = false;          // the header begins with ':'
    std::vector<std::string> nodes; // upper-case mnemonics (for a common command, "*IDN" and the like)
    std::vector<ScpiParameter> parameters;
    int error = 0; // a syntax error code (-102, -104, -151) found in this command
};

// Reads a program message one command at a time, so that a long message is never held parsed whole:
// splits at semicolons outside quotes; a final line feed (and white space) ends the message. Empty
// commands (";;") are skipped. The message must outlive the reader.
class ScpiMessageReader {
public:
    explicit ScpiMessageReader(std::string_view message) : m_message(message) {}
    // The next command; false at the end of the message.
    bool Next(ScpiCommand& command);

private:
    std::string_view m_message;
    size_t m_next = 0;
};

// Every command of a program message, as ScpiMessageReader reads them.
std::vector<ScpiCommand> ParseScpiMessage(std::string_view message);

// The value of a numeric parameter when it is a whole number in range, nothing otherwise ("12", "+3",
// "1.0E1" are whole numbers; "1.5" is not).
std::optional<long> WholeNumber(const ScpiParameter& parameter);

// The value of a numeric parameter ("-5", "2.5E9"); nothing for another kind of parameter.
std::optional<double> RealNumber(const ScpiParameter& parameter);

// Expands the text inside a channel list "(@...)": items are channels or ranges first:last of one card
// and group. On a malformed list *error is -104, on a range that crosses groups or runs backwards -222.
std::optional<std::vector<int>> ExpandChannelList(std::string_view list, int* error);

// Header node matching: "SYSTem" matches "SYST" and "SYSTEM" in any case; optional nodes are written in
// square brackets ("SYSTem:ERRor[:NEXT]").
struct HeaderPattern {
    struct Node {
        std::string shortForm; // upper case
        std::string longForm;  // upper case
        bool optional = false;
    };
    std::vector<Node> nodes;
    static HeaderPattern FromText(std::string_view text);
    bool Matches(const std::vector<std::string>& upperNodes) const;
    std::string ShortText() const; // "SYST:ERR"
};

} // namespace visasim
