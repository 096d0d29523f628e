#include "switching/GroupStateReading.h"

#include "panels/Pan1Obj.h"
#include "platform/UserException.h"
#include "switching/GroupModel.h"

GroupStateReading ReadGroupPositions(short card, const int types[6], const GroupStateQueries& queries) {
    GroupStateReading reading;
    if (card < 1 || card > 99) {
        return reading;
    }
    reading.cardInRange = true;
    for (int group = 0; group < kGroupCount; ++group) {
        const int code = types[group];
        int position = -1;
        if (IsAttenuator(code)) {
            short value = 0;
            const std::int32_t status = queries.queryAttenuation(card, static_cast<short>(group), &value);
            ++reading.calls;
            reading.lastStatus = status;
            if (status >= 0) {
                position = PositionFromAttenuation(code, value);
            }
        } else if (IsSwitch(code)) {
            char list[kChannelListSize];
            FormatGroupChannelList(code, card, group, list, sizeof list);
            char reply[kRouteReplySize] = {};
            const std::int32_t status = queries.queryClosedList(list, reply);
            reply[kRouteReplySize - 1] = '\0';
            ++reading.calls;
            reading.lastStatus = status;
            if (status >= 0) {
                position = DecodeRouteReply(code, reply);
            }
        }
        reading.positions[group] = position;
    }
    return reading;
}

void ReadGroupStatesInto(CPan1Obj* panel, short card, const GroupStateQueries& queries,
                         std::int32_t& lastStatus) {
    GroupStateQueries storing;
    storing.queryAttenuation = [&](short c, short g, short* value) {
        lastStatus = queries.queryAttenuation(c, g, value);
        return lastStatus;
    };
    storing.queryClosedList = [&](char* list, char* reply) {
        lastStatus = queries.queryClosedList(list, reply);
        return lastStatus;
    };
    const GroupStateReading reading = ReadGroupPositions(card, panel->m_nGroupType, storing);
    if (!reading.cardInRange) {
        return;
    }
    if (reading.Failed()) {
        AfxThrowUserException();
    }
    const int* p = reading.positions;
    panel->SetGroupPositions(p[0], p[1], p[2], p[3], p[4], p[5]);
}
