#include "controls/GroupOperation.h"

#include "switching/GroupModel.h"

int NextPosition(int count, int pos) {
    return pos < 0 || pos + 1 >= count ? 0 : pos + 1;
}

int PreviousPosition(int count, int pos) {
    return pos <= 0 || pos >= count ? count - 1 : pos - 1;
}

int ChosenPosition(int type, int pos, int k) {
    return k == pos && IsSwitch(type) ? -1 : k;
}

GroupKeyAction ActionForKey(int type, int pos, GroupKey key, int digit) {
    const int n = PositionCount(type);
    if (n <= 0) {
        return {};
    }
    switch (key) {
    case GroupKey::Forward:
        return {GroupKeyAction::Move, NextPosition(n, pos)};
    case GroupKey::Back:
        return {GroupKeyAction::Move, PreviousPosition(n, pos)};
    case GroupKey::Digit:
        if (digit < 0 || digit >= n) {
            return {GroupKeyAction::Beep, pos};
        }
        return {GroupKeyAction::Move, ChosenPosition(type, pos, digit)};
    case GroupKey::First:
        return {GroupKeyAction::Move, 0};
    case GroupKey::Last:
        return {GroupKeyAction::Move, n - 1};
    case GroupKey::Other:
        break;
    }
    return {};
}

std::string GroupDescription(int group, int type, int pos, bool unknown) {
    std::string text = "Group " + std::to_string(group) + ", ";
    const int n = PositionCount(type);
    const bool known = pos >= 0 && pos < n;
    if (IsAttenuator(type)) {
        text += "attenuator, ";
        text += unknown ? "state unknown"
                : known ? std::to_string(AttenuationFromPosition(type, pos)) + " dB"
                        : "attenuation unknown";
    } else if (IsSwitch(type)) {
        text += type == kDeviceSwitch4 ? "four-position switch, " : "six-position switch, ";
        text += unknown ? "state unknown"
                : known ? "contact " + std::to_string(pos) + " closed"
                        : "all contacts open";
    } else if (type == kDeviceUnknownAttenuator) {
        text += "attenuator of a type the panel does not know";
    } else if (type == kDeviceUnknownSwitch) {
        text += "switch of a type the panel does not know";
    } else {
        text += "no device reported";
    }
    return text;
}
