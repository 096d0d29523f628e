// The group model: the six groups of a card and the sizes of their labels; the types and positions of
// the groups as values (GroupValues, GroupState), which the main-panel object holds; the device types
// that the groups can drive, their card option names, position counts and attenuation steps; the
// decoding of a card option list into the group types; channel numbers and the channel lists that cover
// a whole switch group; and the decoding of the route state replies of such a list.
#pragma once

#include <array>
#include <cstddef>

// The groups of a card, numbered 0 to kGroupCount - 1.
constexpr int kGroupCount = 6;
// The switch labels of a group: labels of positions 0 to 5, then the pole label.
constexpr int kLabelsPerBank = 7;
constexpr int kPoleLabel = 6;
constexpr int kLabelSize = 8; // a label of at most 7 characters and its terminator
// The named device types (codes 0 to 4, below), and the size of a card option name of one.
constexpr int kTypeNameCount = 5;
constexpr int kTypeNameSize = 10;

// Device type codes of a group, as stored in CPan1Obj::m_nGroupType.
enum DeviceType : int {
    kDeviceAttenuatorA = 0,        // "QZATNA01": 12 positions, step 1
    kDeviceAttenuatorB = 1,        // "QZATNB01": 10 positions, step 10
    kDeviceAttenuatorC = 2,        // "QZATNC01": 8 positions, step 10
    kDeviceSwitch4 = 3,            // "QZSWTA01": 4-position switch
    kDeviceSwitch6 = 4,            // "QZSWTB01": 6-position switch
    kDeviceUnknownAttenuator = -1, // "UNKNOWN-ATN": an attenuator the card does not name
    kDeviceUnknownSwitch = -2,     // "UNKNOWN-SW": a switch the card does not name
    kDeviceNotReported = -3,       // nothing reported yet; every group starts so
};

// Size of a channel list buffer.
constexpr std::size_t kChannelListSize = 256;

// One value per group, in group order: the groups' type codes, or their positions (-1: none or
// unknown).
using GroupValues = std::array<int, kGroupCount>;

// The same value for every group.
constexpr GroupValues EveryGroup(int value) {
    GroupValues values{};
    values.fill(value);
    return values;
}

// One flag per group, in group order.
using GroupFlags = std::array<bool, kGroupCount>;

// The device types and positions of the six groups; every group unreported and unknown until told. A
// group whose state could not be read from the module is unknown: its position is -1 and its flag is
// set, so that it is not taken for a switch with every contact open or an attenuator without a step.
struct GroupState {
    GroupValues types = EveryGroup(kDeviceNotReported);
    GroupValues positions = EveryGroup(-1);
    GroupFlags unknown{};
    bool operator==(const GroupState&) const = default;
};

// True for the attenuator codes 0, 1 and 2.
bool IsAttenuator(int code);
// True for the switch codes 3 and 4.
bool IsSwitch(int code);

// Positions a device offers: 12, 10, 8, 4, 6 for codes 0 to 4; 0 for any other code.
int PositionCount(int code);
// Attenuation step of an attenuator: 1 for code 0, 10 for codes 1 and 2; 0 for any other code.
int AttenuationStep(int code);

// The attenuation value that the instrument takes for a position: position x step (0 for a code that
// is no attenuator).
int AttenuationFromPosition(int code, int position);
// The position of an attenuation value read back: value / step, truncated; -1 for a code that is no
// attenuator.
int PositionFromAttenuation(int code, int value);

// Channel number of one channel of a group: card x 100 + group x 10 + channel.
int ChannelNumber(int card, int group, int channel);

// Writes the channel list that covers every channel of a switch group, in the range form
// "<card><group>0:<card><group>3" (code 3) or "...5" (code 4), into list (size characters, always
// terminated). Returns false and writes an empty text for a code that is no switch.
bool FormatGroupChannelList(int code, int card, int group, char* list, std::size_t size);

// The position that a route state reply ("1,0,0,0" style, one digit per channel of the group's list)
// gives: the one closed channel, or -1 when not exactly one is closed, the reply is shorter than the
// group's 7 (code 3) or 11 (code 4) characters, or the code is no switch. Only those first characters
// are compared; nothing past the reply's terminator is read.
int DecodeRouteReply(int code, const char* reply);

// Decodes a card option list (six comma-separated entries in group order) into the group types.
// Each entry is compared, as a case-sensitive prefix, with the five model names and the two unknown
// names; a match stores its code, anything else (an empty entry included) leaves the group's type as it
// was. A list with fewer entries leaves the groups it does not reach unchanged.
void ParseTypeList(GroupValues& types, const char* list);
