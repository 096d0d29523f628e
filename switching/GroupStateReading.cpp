#include "switching/GroupStateReading.h"

#include "instrument/Instrument.h"
#include "panels/Pan1Obj.h"
#include "platform/UserException.h"
#include "switching/GroupModel.h"

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
                    const GroupStateQueries& queries, std::int32_t& lastStatus, GroupSet groups) {
    GroupStateQueries storing;
    storing.queryAttenuation = [&](short c, short g, short* value) {
        lastStatus = queries.queryAttenuation(c, g, value);
        return lastStatus;
    };
    storing.queryClosedList = [&](char* list, char* reply) {
        lastStatus = queries.queryClosedList(list, reply);
        return lastStatus;
    };
    reading = ReadGroupPositions(card, types, storing, groups);
    if (reading.Failed()) {
        AfxThrowUserException();
    }
}

void ReadGroupStatesInto(CPan1Obj* panel, short card, const GroupStateQueries& queries,
                         std::int32_t& lastStatus) {
    GroupStateReading reading;
    ReadGroupsInto(reading, card, panel->m_nGroupType, queries, lastStatus, kAllGroups);
    if (reading.cardInRange) {
        panel->SetGroupPositions(reading.positions);
    }
}

void ReadGroupBack(CInstrument& instrument, CPan1Obj& panel, int group, WaitCursor waitCursor) {
    if (group < 0 || group >= kGroupCount) {
        return;
    }
    GroupStateReading reading;
    const bool read = CallInstrument(
        instrument, [&] { instrument.ReadBackGroups(panel.m_nGroupType, OneGroup(group), reading); },
        waitCursor);
    if (read && reading.cardInRange) {
        panel.m_nGroupPos[group] = reading.positions[group];
    }
}

void ReadAllGroupsBack(CInstrument& instrument, CPan1Obj& panel) {
    GroupStateReading reading;
    CallInstrument(
        instrument, [&] { instrument.ReadBackGroups(panel.m_nGroupType, kAllGroups, reading); },
        WaitCursor::Around);
    if (reading.cardInRange) {
        panel.SetGroupPositions(reading.positions);
    }
}
