#include "switching/GroupModel.h"

#include <cstdio>
#include <cstring>

namespace {

// Position count and attenuation step of the named device types, by code.
struct DeviceInfo {
    int positions;
    int step;
};

const DeviceInfo kDevices[kTypeNameCount] = {{12, 1}, {10, 10}, {8, 10}, {4, 0}, {6, 0}};

// The names an option list entry is compared with, in the order of comparison.
struct OptionPrefix {
    const char* name;
    std::size_t length;
    int code;
};

const OptionPrefix kOptionPrefixes[] = {
    {"QZATNA01", 8, kDeviceAttenuatorA},
    {"QZATNB01", 8, kDeviceAttenuatorB},
    {"QZATNC01", 8, kDeviceAttenuatorC},
    {"QZSWTA01", 8, kDeviceSwitch4},
    {"QZSWTB01", 8, kDeviceSwitch6},
    {"UNKNOWN-SW", 10, kDeviceUnknownSwitch},
    {"UNKNOWN-ATN", 11, kDeviceUnknownAttenuator},
};

// Route state replies with exactly one closed channel, by position.
const char* const kSwitch4Replies[4] = {"1,0,0,0", "0,1,0,0", "0,0,1,0", "0,0,0,1"};
const char* const kSwitch6Replies[6] = {"1,0,0,0,0,0", "0,1,0,0,0,0", "0,0,1,0,0,0",
                                        "0,0,0,1,0,0", "0,0,0,0,1,0", "0,0,0,0,0,1"};

} // namespace

bool IsAttenuator(int code) {
    return code >= kDeviceAttenuatorA && code <= kDeviceAttenuatorC;
}

bool IsSwitch(int code) {
    return code == kDeviceSwitch4 || code == kDeviceSwitch6;
}

int PositionCount(int code) {
    return code >= 0 && code < kTypeNameCount ? kDevices[code].positions : 0;
}

int AttenuationStep(int code) {
    return IsAttenuator(code) ? kDevices[code].step : 0;
}

int AttenuationFromPosition(int code, int position) {
    return position * AttenuationStep(code);
}

int PositionFromAttenuation(int code, int value) {
    const int step = AttenuationStep(code);
    return step > 0 ? value / step : -1;
}

int ChannelNumber(int card, int group, int channel) {
    return card * 100 + group * 10 + channel;
}

bool FormatGroupChannelList(int code, int card, int group, char* list, std::size_t size) {
    if (size == 0) {
        return false;
    }
    const char* format = nullptr;
    if (code == kDeviceSwitch4) {
        format = "%d%d0:%d%d3";
    } else if (code == kDeviceSwitch6) {
        format = "%d%d0:%d%d5";
    } else {
        list[0] = '\0';
        return false;
    }
    std::snprintf(list, size, format, card, group, card, group);
    return true;
}

int DecodeRouteReply(int code, const char* reply) {
    if (reply == nullptr) {
        return -1;
    }
    const char* const* replies = nullptr;
    int count = 0;
    std::size_t length = 0;
    if (code == kDeviceSwitch4) {
        replies = kSwitch4Replies;
        count = 4;
        length = 7;
    } else if (code == kDeviceSwitch6) {
        replies = kSwitch6Replies;
        count = 6;
        length = 11;
    } else {
        return -1;
    }
    // strncmp stops at the reply's terminator, which differs from every character of the patterns, so
    // a short reply matches nothing and is never read past its end.
    for (int position = 0; position < count; ++position) {
        if (std::strncmp(reply, replies[position], length) == 0) {
            return position;
        }
    }
    return -1;
}

void ParseTypeList(GroupValues& types, const char* list) {
    if (list == nullptr) {
        return;
    }
    const char* entry = list;
    for (int group = 0; group < kGroupCount; ++group) {
        for (const OptionPrefix& prefix : kOptionPrefixes) {
            if (std::strncmp(entry, prefix.name, prefix.length) == 0) {
                types[group] = prefix.code;
                break;
            }
        }
        const char* comma = std::strchr(entry, ',');
        if (comma == nullptr) {
            return; // the list ends here; later groups keep their types
        }
        entry = comma + 1;
    }
}
