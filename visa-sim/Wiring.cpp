#include "Wiring.h"

#include "ResourceName.h"

#include <cctype>
#include <cmath>
#include <set>
#include <sstream>
#include <tuple>

namespace visasim {

bool Port::operator<(const Port& other) const {
    return std::tie(resource, kind, card, group, channel) <
           std::tie(other.resource, other.kind, other.card, other.group, other.channel);
}

bool Port::operator==(const Port& other) const {
    return !(*this < other) && !(other < *this);
}

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

const CardState* FindCard(const std::vector<CardState>& cards, int number) {
    for (const CardState& card : cards) {
        if (card.number == number && card.IsK4712()) {
            return &card;
        }
    }
    return nullptr;
}

// A whole number 0..99 written in decimal digits only.
std::optional<int> SmallNumber(const std::string& word) {
    if (word.empty() || word.size() > 2) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// The ports a signal entering `port` can leave its group by, with the devices the cards give.
std::vector<Port> InnerNeighbours(const Port& port, const std::vector<CardState>* cards) {
    std::vector<Port> next;
    if (port.kind == PortKind::SourceOut || port.kind == PortKind::MeterIn || !cards) {
        return next;
    }
    const CardState* card = FindCard(*cards, port.card);
    if (!card) {
        return next;
    }
    GroupDevice device = card->Device(port.group);
    Port other = port;
    other.channel = 0;
    switch (port.kind) {
    case PortKind::Channel:
        if (device.kind == GroupKind::Switch && port.channel < device.channels) {
            other.kind = PortKind::Common;
            next.push_back(other);
        }
        break;
    case PortKind::Common:
        if (device.kind == GroupKind::Switch) {
            other.kind = PortKind::Channel;
            for (int channel = 0; channel < device.channels; ++channel) {
                other.channel = channel;
                next.push_back(other);
            }
        }
        break;
    case PortKind::AttenuatorIn:
    case PortKind::AttenuatorOut:
        if (device.kind == GroupKind::Attenuator) {
            other.kind =
                port.kind == PortKind::AttenuatorIn ? PortKind::AttenuatorOut : PortKind::AttenuatorIn;
            next.push_back(other);
        }
        break;
    default:
        break;
    }
    return next;
}

} // namespace

std::optional<Port> ParsePort(std::string_view text, const std::vector<PortOwner>& owners,
                              std::string* problem) {
    auto fail = [&](std::string message) -> std::optional<Port> {
        *problem = std::move(message);
        return std::nullopt;
    };
    std::istringstream in{std::string(text)};
    std::string name;
    std::vector<std::string> words;
    in >> name;
    for (std::string word; in >> word;) {
        words.push_back(Lower(word));
    }
    auto address = ParseResourceName(name);
    Port port;
    bool found = false;
    if (address) {
        address->trailingZero = -1;
        std::string canonical = CanonicalName(*address);
        for (size_t i = 0; i < owners.size() && !found; ++i) {
            if (owners[i].name == canonical) {
                port.resource = i;
                found = true;
            }
        }
    }
    if (!found) {
        return fail("\"" + std::string(text) + "\" does not begin with the name of a resource on the bench");
    }
    const PortOwner& owner = owners[port.resource];
    std::string given;
    for (const std::string& word : words) {
        given += (given.empty() ? "" : " ") + word;
    }
    std::string where = owner.name + " has no port \"" + given + "\"";
    switch (owner.kind) {
    case PortOwner::Kind::Source:
        if (words.size() != 1 || words[0] != "out") {
            return fail(where + "; a source has one port, out");
        }
        port.kind = PortKind::SourceOut;
        return port;
    case PortOwner::Kind::Meter:
        if (words.size() != 1 || words[0] != "in") {
            return fail(where + "; a meter has one port, in");
        }
        port.kind = PortKind::MeterIn;
        return port;
    case PortOwner::Kind::Other:
        return fail(owner.name + " has no ports to connect");
    case PortOwner::Kind::Cards:
        break;
    }
    std::optional<int> card = words.size() >= 5 && words[0] == "card" ? SmallNumber(words[1]) : std::nullopt;
    std::optional<int> group = card && words[2] == "group" ? SmallNumber(words[3]) : std::nullopt;
    if (!group) {
        return fail(where + "; its ports are \"card C group G channel K\", \"card C group G common\", "
                            "\"card C group G in\" and \"card C group G out\"");
    }
    port.card = *card;
    port.group = *group;
    const CardState* state = FindCard(owner.cards, *card);
    if (!state) {
        return fail(where + ": it holds no RQK4712V card " + std::to_string(*card));
    }
    if (*group >= kGroupCount) {
        return fail(where + ": a card has groups 0 to 5");
    }
    GroupDevice device = state->Device(*group);
    std::string groupText = "card " + std::to_string(*card) + " group " + std::to_string(*group);
    const std::string& what = words[4];
    if (what == "channel" && words.size() == 6) {
        std::optional<int> channel = SmallNumber(words[5]);
        if (!channel) {
            return fail(where + "; a channel is a number");
        }
        if (device.kind != GroupKind::Switch || *channel >= device.channels) {
            return fail(where + ": " + groupText +
                        (device.kind == GroupKind::Switch
                             ? " has channels 0 to " + std::to_string(device.channels - 1)
                             : " is not a switch"));
        }
        port.kind = PortKind::Channel;
        port.channel = *channel;
        return port;
    }
    if (words.size() != 5) {
        return fail(where);
    }
    if (what == "common") {
        if (device.kind != GroupKind::Switch) {
            return fail(where + ": " + groupText + " is not a switch");
        }
        port.kind = PortKind::Common;
        return port;
    }
    if (what == "in" || what == "out") {
        if (device.kind != GroupKind::Attenuator) {
            return fail(where + ": " + groupText + " is not an attenuator");
        }
        port.kind = what == "in" ? PortKind::AttenuatorIn : PortKind::AttenuatorOut;
        return port;
    }
    return fail(where);
}

std::string PortText(const Port& port, const std::vector<PortOwner>& owners) {
    std::string text = port.resource < owners.size() ? owners[port.resource].name : std::string("?");
    if (port.kind == PortKind::SourceOut) {
        return text + " out";
    }
    if (port.kind == PortKind::MeterIn) {
        return text + " in";
    }
    text += " card " + std::to_string(port.card) + " group " + std::to_string(port.group);
    switch (port.kind) {
    case PortKind::Channel:
        return text + " channel " + std::to_string(port.channel);
    case PortKind::Common:
        return text + " common";
    case PortKind::AttenuatorIn:
        return text + " in";
    default:
        return text + " out";
    }
}

std::optional<WiringProblem> CheckWiring(const std::vector<Connection>& wiring,
                                         const std::vector<PortOwner>& owners) {
    std::map<Port, std::pair<Port, int>> partner; // port -> the port at the cable's other end, line
    for (const Connection& connection : wiring) {
        for (const Port* port : {&connection.a, &connection.b}) {
            auto it = partner.find(*port);
            if (it != partner.end() || (port == &connection.b && connection.a == connection.b)) {
                int first = it != partner.end() ? it->second.second : connection.line;
                return WiringProblem{connection.line, PortText(*port, owners) +
                                                          " is already connected (line " +
                                                          std::to_string(first) + ")"};
            }
            const Port& other = port == &connection.a ? connection.b : connection.a;
            partner.emplace(*port, std::make_pair(other, connection.line));
        }
    }

    // A signal's walk alternates cables and the joins inside groups. A state is a port and whether the
    // walk reached it by its cable (it goes on inside the group) or from inside the group (it goes on by
    // the cable). A loop is a cycle among the states: a depth-first search finds one.
    using State = std::pair<Port, bool>; // port, reached by its cable
    auto successors = [&](const State& state) {
        std::vector<State> next;
        if (state.second) {
            const std::vector<CardState>& cards = owners[state.first.resource].cards;
            for (const Port& port : InnerNeighbours(state.first, &cards)) {
                next.emplace_back(port, false);
            }
        } else if (auto it = partner.find(state.first); it != partner.end()) {
            next.emplace_back(it->second.first, true);
        }
        return next;
    };
    enum class Mark { Open, Done };
    std::map<State, Mark> marks;
    for (const auto& [start, ignored] : partner) {
        State first{start, true};
        if (marks.count(first)) {
            continue;
        }
        struct Frame {
            State state;
            std::vector<State> next;
            size_t index = 0;
        };
        std::vector<Frame> stack;
        stack.push_back({first, successors(first)});
        marks[first] = Mark::Open;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.index == top.next.size()) {
                marks[top.state] = Mark::Done;
                stack.pop_back();
                continue;
            }
            State next = top.next[top.index++];
            auto mark = marks.find(next);
            if (mark == marks.end()) {
                marks[next] = Mark::Open;
                std::vector<State> after = successors(next);
                stack.push_back({next, std::move(after)});
                continue;
            }
            if (mark->second == Mark::Done) {
                continue;
            }
            // Back to a state on the walk: the loop is the walk from there on. Report the connection
            // written last among its cables.
            int line = 0;
            Port through = next.first;
            bool inLoop = false;
            for (const Frame& frame : stack) {
                inLoop = inLoop || frame.state == next;
                if (inLoop && frame.state.second) {
                    int cableLine = partner.at(frame.state.first).second;
                    if (cableLine >= line) {
                        line = cableLine;
                        through = frame.state.first;
                    }
                }
            }
            return WiringProblem{line, "the wiring makes a loop through " + PortText(through, owners)};
        }
    }
    return std::nullopt;
}

std::vector<double> ArrivingPowers(const std::vector<Connection>& wiring, size_t meter,
                                   const StationSettings& settings) {
    std::map<Port, Port> partner;
    for (const Connection& connection : wiring) {
        partner.emplace(connection.a, connection.b);
        partner.emplace(connection.b, connection.a);
    }
    std::vector<double> powers;
    Port at{meter, PortKind::MeterIn, 0, 0, 0};
    double loss = 0;
    std::set<Port> passed;
    // With each port on one cable and each group joining a port to at most one other at a time, the walk
    // from the meter's input never branches.
    while (passed.insert(at).second) {
        auto cable = partner.find(at);
        if (cable == partner.end()) {
            break;
        }
        Port reached = cable->second;
        if (reached.kind == PortKind::SourceOut) {
            auto source = settings.sources.find(reached.resource);
            if (source != settings.sources.end() && source->second.output) {
                powers.push_back(source->second.powerDbm - loss);
            }
            break;
        }
        auto cards = settings.cards.find(reached.resource);
        const CardState* card =
            cards == settings.cards.end() ? nullptr : FindCard(cards->second, reached.card);
        if (!card || reached.kind == PortKind::MeterIn) {
            break;
        }
        GroupDevice device = card->Device(reached.group);
        int closed = card->closed[reached.group];
        Port next = reached;
        if (reached.kind == PortKind::Channel || reached.kind == PortKind::Common) {
            bool through = device.kind == GroupKind::Switch && closed >= 0 && closed < device.channels &&
                           (reached.kind == PortKind::Common || closed == reached.channel);
            if (!through) {
                break;
            }
            next.kind = reached.kind == PortKind::Common ? PortKind::Channel : PortKind::Common;
            next.channel = reached.kind == PortKind::Common ? closed : 0;
        } else {
            if (device.kind != GroupKind::Attenuator) {
                break;
            }
            loss += card->attenuation[reached.group];
            next.kind =
                reached.kind == PortKind::AttenuatorIn ? PortKind::AttenuatorOut : PortKind::AttenuatorIn;
        }
        passed.insert(reached);
        at = next;
    }
    return powers;
}

double AddPowers(const std::vector<double>& powersDbm) {
    double milliwatts = 0;
    for (double power : powersDbm) {
        milliwatts += std::pow(10.0, power / 10.0);
    }
    return 10.0 * std::log10(milliwatts);
}

} // namespace visasim
