#include "CardModel.h"

#include <sstream>

namespace visasim {

std::optional<GroupDevice> DeviceForOption(std::string_view name) {
    struct Entry {
        std::string_view name;
        GroupDevice device;
    };
    static const Entry kTable[] = {
        {"QZATNA01", {GroupKind::Attenuator, 0, 11, 1}},  {"QZATNB01", {GroupKind::Attenuator, 0, 90, 10}},
        {"QZATNC01", {GroupKind::Attenuator, 0, 70, 10}}, {"QZSWTA01", {GroupKind::Switch, 4, 0, 1}},
        {"QZSWTB01", {GroupKind::Switch, 6, 0, 1}},       {"UNKNOWN-ATN", {GroupKind::Attenuator, 0, 90, 1}},
        {"UNKNOWN-SW", {GroupKind::Switch, 6, 0, 1}},     {"", {GroupKind::None, 0, 0, 1}},
    };
    for (const Entry& entry : kTable) {
        if (entry.name == name) {
            return entry.device;
        }
    }
    return std::nullopt;
}

bool IsValidAttenuation(const GroupDevice& device, long value) {
    return device.kind == GroupKind::Attenuator && value >= 0 && value <= device.maxValue &&
           value % device.step == 0;
}

std::optional<OptionList> ParseOptionList(std::string_view text) {
    OptionList options;
    size_t start = 0;
    for (int group = 0; group < kGroupCount; ++group) {
        size_t comma = text.find(',', start);
        bool last = group == kGroupCount - 1;
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        std::string_view entry = text.substr(start, last ? text.npos : comma - start);
        if (!DeviceForOption(entry)) {
            return std::nullopt;
        }
        options[group] = std::string(entry);
        start = comma + 1;
    }
    return options;
}

std::string JoinOptionList(const OptionList& options) {
    std::string text;
    for (int group = 0; group < kGroupCount; ++group) {
        if (group > 0) {
            text += ',';
        }
        text += options[group];
    }
    return text;
}

void CardState::Reset() {
    closed.fill(-1);
    attenuation.fill(0);
}

void CardState::SetOptions(const OptionList& newOptions) {
    for (int group = 0; group < kGroupCount; ++group) {
        if (options[group] != newOptions[group]) {
            closed[group] = -1;
            attenuation[group] = 0;
        }
    }
    options = newOptions;
}

std::string CardState::CheckSettings() const {
    for (int group = 0; group < kGroupCount; ++group) {
        GroupDevice device = Device(group);
        std::string where = "card " + std::to_string(number) + " group " + std::to_string(group);
        if (device.kind == GroupKind::Switch) {
            if (closed[group] < -1 || closed[group] >= device.channels) {
                return where + ": channel " + std::to_string(closed[group]) + " does not exist";
            }
        } else if (closed[group] != -1) {
            return where + ": not a switch, no channel can be closed";
        }
        if (device.kind == GroupKind::Attenuator) {
            if (!IsValidAttenuation(device, attenuation[group])) {
                return where + ": attenuation " + std::to_string(attenuation[group]) + " is not a step";
            }
        } else if (attenuation[group] != 0) {
            return where + ": not an attenuator, attenuation must be 0";
        }
    }
    return {};
}

std::string SerializeCards(const std::vector<CardState>& cards) {
    std::string text;
    for (const CardState& card : cards) {
        if (!card.IsK4712()) {
            continue;
        }
        text +=
            "card " + std::to_string(card.number) + " options " + JoinOptionList(card.options) + " closed";
        for (int value : card.closed) {
            text += " " + std::to_string(value);
        }
        text += " attenuation";
        for (int value : card.attenuation) {
            text += " " + std::to_string(value);
        }
        text += "\n";
    }
    return text;
}

std::optional<std::vector<CardState>>
DeserializeCards(std::string_view text, const std::vector<CardState>& shape, std::string* problem) {
    auto fail = [&](std::string message) -> std::optional<std::vector<CardState>> {
        if (problem) {
            *problem = std::move(message);
        }
        return std::nullopt;
    };
    std::vector<CardState> cards = shape;
    std::vector<bool> seen(cards.size(), false);
    std::istringstream lines{std::string(text)};
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream in(line);
        std::string word;
        int number = 0;
        std::string options;
        if (!(in >> word) || word != "card" || !(in >> number) || !(in >> word) || word != "options" ||
            !(in >> options)) {
            return fail("line " + std::to_string(lineNumber) + " is not a card line");
        }
        auto parsed = ParseOptionList(options);
        if (!parsed) {
            return fail("line " + std::to_string(lineNumber) + ": bad option list");
        }
        CardState read;
        read.number = number;
        read.options = *parsed;
        if (!(in >> word) || word != "closed") {
            return fail("line " + std::to_string(lineNumber) + ": no closed channels");
        }
        for (int& value : read.closed) {
            if (!(in >> value)) {
                return fail("line " + std::to_string(lineNumber) + ": bad closed channels");
            }
        }
        if (!(in >> word) || word != "attenuation") {
            return fail("line " + std::to_string(lineNumber) + ": no attenuation");
        }
        for (int& value : read.attenuation) {
            if (!(in >> value)) {
                return fail("line " + std::to_string(lineNumber) + ": bad attenuation");
            }
        }
        if (in >> word) {
            return fail("line " + std::to_string(lineNumber) + ": extra text");
        }
        size_t index = 0;
        while (index < cards.size() && !(cards[index].number == number && cards[index].IsK4712())) {
            ++index;
        }
        if (index == cards.size() || seen[index]) {
            return fail("card " + std::to_string(number) + " is not on this bench or repeated");
        }
        seen[index] = true;
        read.type = cards[index].type;
        std::string check = read.CheckSettings();
        if (!check.empty()) {
            return fail(check);
        }
        cards[index] = read;
    }
    for (size_t i = 0; i < cards.size(); ++i) {
        if (cards[i].IsK4712() && !seen[i]) {
            return fail("card " + std::to_string(cards[i].number) + " is missing");
        }
    }
    return cards;
}

} // namespace visasim
