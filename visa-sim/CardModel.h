// The RQK4712V card: six groups, each driving the device its card option list names (a step attenuator,
// a four- or six-position switch, or nothing), with the rules of a multiplexer bank.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace visasim {

constexpr int kGroupCount = 6;
constexpr std::string_view kK4712TypePrefix = "QUILLON-VANTERA,K4712";
constexpr std::string_view kK4712Type = "QUILLON-VANTERA,K4712V,0,A.01.00";

enum class GroupKind { None, Attenuator, Switch };

struct GroupDevice {
    GroupKind kind = GroupKind::None;
    int channels = 0; // switch positions
    int maxValue = 0; // attenuator: highest value in dB
    int step = 1;     // attenuator: step in dB
};

// The device an option name stands for; "" is no device; nothing for a name that is not an option.
std::optional<GroupDevice> DeviceForOption(std::string_view name);

bool IsValidAttenuation(const GroupDevice& device, long value);

using OptionList = std::array<std::string, kGroupCount>;

// Exactly six entries separated by five commas, each an option name or empty.
std::optional<OptionList> ParseOptionList(std::string_view text);
std::string JoinOptionList(const OptionList& options);

struct CardState {
    int number = 1;
    std::string type;
    OptionList options;
    std::array<int, kGroupCount> closed{-1, -1, -1, -1, -1, -1}; // switch: closed channel, -1 none
    std::array<int, kGroupCount> attenuation{};                  // attenuator: value in dB

    bool IsK4712() const { return type.compare(0, kK4712TypePrefix.size(), kK4712TypePrefix) == 0; }
    GroupDevice Device(int group) const { return DeviceForOption(options[group]).value_or(GroupDevice{}); }
    // Opens every channel and sets every attenuator to 0; the option list stays.
    void Reset();
    // New option list; a group whose device changes starts open or at 0.
    void SetOptions(const OptionList& options);
    // Checks the settings of each group against its device; a text naming the first problem, or empty.
    std::string CheckSettings() const;
};

// The relay state of the K4712 cards as text, one line per card, and back. Reading checks that the
// cards are those of `shape` (same numbers) and that every setting fits its group's device.
std::string SerializeCards(const std::vector<CardState>& cards);
std::optional<std::vector<CardState>>
DeserializeCards(std::string_view text, const std::vector<CardState>& shape, std::string* problem);

} // namespace visasim
