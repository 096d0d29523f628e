#include "switching/GroupStateReading.h"

#include "instrument/Instrument.h"
#include "instrument/ReportDriverError.h"

GroupStateReading ReadGroupPositions(short card, const GroupValues& types, const GroupStateQueries& queries,
                                     GroupSet groups) {
    GroupStateReading reading;
    if (card < 1 || card > 99) {
        return reading;
    }
    reading.cardInRange = true;
    for (int group = 0; group < kGroupCount; ++group) {
        if ((groups & OneGroup(group)) == 0) {
            continue;
        }
        const int code = types[group];
        int position = -1;
        std::int32_t status = 0;
        bool answered = false;
        // What a query leaves unwritten decodes to -1: minus one step for an attenuator, an empty reply
        // for a switch.
        if (IsAttenuator(code)) {
            auto value = static_cast<short>(AttenuationFromPosition(code, -1));
            status = queries.queryAttenuation(card, static_cast<short>(group), &value);
            reading.lastStatus = status;
            ++reading.calls;
            position = PositionFromAttenuation(code, value);
            answered = value != AttenuationFromPosition(code, -1);
        } else if (IsSwitch(code)) {
            char list[kChannelListSize];
            FormatGroupChannelList(code, card, group, list, sizeof list);
            char reply[kRouteReplySize] = {};
            status = queries.queryClosedList(list, reply);
            reply[kRouteReplySize - 1] = '\0';
            reading.lastStatus = status;
            ++reading.calls;
            position = DecodeRouteReply(code, reply);
            answered = reply[0] != '\0';
        }
        if (status < 0 && reading.firstFailure == 0) {
            reading.firstFailure = status;
        }
        if (status < 0 && !answered) {
            reading.unread |= OneGroup(group);
        }
        reading.positions[group] = position;
    }
    return reading;
}

GroupStateReading ReadGroupStates(CInstrument& instrument, const GroupValues& types, GroupSet groups) {
    if (instrument.m_bLive != 1) {
        return {};
    }
    GroupStateQueries queries;
    queries.queryAttenuation = [&](short card, short group, short* value) {
        instrument.QueryAttenuation(card, group, value);
        return instrument.GetLastStatus();
    };
    queries.queryClosedList = [&](char* list, char* reply) {
        instrument.QueryClosedList(list, reply);
        return instrument.GetLastStatus();
    };
    return ReadGroupPositions(instrument.GetCardNumber(), types, queries, groups);
}

GroupStateReading ReadGroupsBack(CInstrument& instrument, GroupState& groups, GroupSet set) {
    const GroupStateReading reading = ReadGroupStates(instrument, groups.types, set);
    if (!reading.cardInRange) {
        return reading;
    }
    for (int group = 0; group < kGroupCount; ++group) {
        if ((set & OneGroup(group)) != 0) {
            groups.positions[group] = reading.positions[group];
            groups.unknown[group] = (reading.unread & OneGroup(group)) != 0;
        }
    }
    return reading;
}

void ReportReadingFailure(const GroupStateReading& reading) {
    if (reading.Failed()) {
        ReportDriverError(reading.firstFailure);
    }
}
