// The group model: the device types that the six groups of a card can drive, their card option names,
// position counts and attenuation steps; the decoding of a card option list into the main-panel object;
// channel numbers and the channel lists that cover a whole switch group; and the decoding of the route
// state replies of such a list.
#pragma once

#include <cstddef>

class CPan1Obj;

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

// Number of named device types (codes 0 to 4).
constexpr int kNamedDeviceCount = 5;
// Size of a channel list buffer.
constexpr std::size_t kChannelListSize = 256;

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

// Decodes a card option list (six comma-separated entries in group order) into the panel's group types.
// Each entry is compared, as a case-sensitive prefix, with the five model names and the two unknown
// names; a match stores its code, anything else (an empty entry included) leaves the group's type as it
// was. A list with fewer entries leaves the groups it does not reach unchanged. No window is told.
void ParseTypeList(CPan1Obj* panel, const char* list);
