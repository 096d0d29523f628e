#include "switching/GroupStateReading.h"

#include "instrument/Instrument.h"
#include "platform/UserException.h"

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
        // The position comes from what the query gave back, whatever its status: the driver may fill the
        // value and still report an error the module had queued before. What a query leaves unwritten
        // decodes to -1: minus one step for an attenuator, an empty reply for a switch.
        if (IsAttenuator(code)) {
            auto value = static_cast<short>(AttenuationFromPosition(code, -1));
            reading.lastStatus = queries.queryAttenuation(card, static_cast<short>(group), &value);
            ++reading.calls;
            position = PositionFromAttenuation(code, value);
        } else if (IsSwitch(code)) {
            char list[kChannelListSize];
            FormatGroupChannelList(code, card, group, list, sizeof list);
            char reply[kRouteReplySize] = {};
            reading.lastStatus = queries.queryClosedList(list, reply);
            reply[kRouteReplySize - 1] = '\0';
            ++reading.calls;
            position = DecodeRouteReply(code, reply);
        }
        reading.positions[group] = position;
    }
    return reading;
}

void ReadGroupsInto(GroupStateReading& reading, short card, const GroupValues& types,
                    const GroupStateQueries& queries, GroupSet groups) {
    reading = ReadGroupPositions(card, types, queries, groups);
    if (reading.Failed()) {
        AfxThrowUserException();
    }
}

void ReadGroupStates(CInstrument& instrument, const GroupValues& types, GroupSet groups,
                     GroupStateReading& reading) {
    if (instrument.m_bLive != 1) {
        return;
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
    ReadGroupsInto(reading, instrument.GetCardNumber(), types, queries, groups);
}

void ReadGroupBack(CInstrument& instrument, const GroupValues& types, GroupValues& positions, int group,
                   WaitCursor waitCursor) {
    if (group < 0 || group >= kGroupCount) {
        return;
    }
    GroupStateReading reading;
    const bool read = CallInstrument(
        instrument, [&] { ReadGroupStates(instrument, types, OneGroup(group), reading); }, waitCursor);
    if (read && reading.cardInRange) {
        positions[group] = reading.positions[group];
    }
}

GroupStateReading ReadAllGroupsBack(CInstrument& instrument, const GroupValues& types) {
    GroupStateReading reading;
    CallInstrument(
        instrument, [&] { ReadGroupStates(instrument, types, kAllGroups, reading); }, WaitCursor::Around);
    return reading;
}
