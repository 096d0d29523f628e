// Reading the positions of the six groups back from the module: attenuators by their attenuation query,
// switches by the route state query of the channel list of the whole group. The instrument offers the
// two queries; this code decides which query each group needs, what position each reply gives, and when
// the reading as a whole has failed.
#pragma once

#include <cstdint>
#include <functional>

#include "switching/GroupModel.h"

class CInstrument;

// A set of groups: bit g stands for group g.
using GroupSet = unsigned;
constexpr GroupSet kAllGroups = 0x3F;
constexpr GroupSet OneGroup(int group) {
    return 1u << group;
}

struct GroupStateQueries {
    // Reads the attenuation of a group of the card into *value; returns the call's status.
    std::function<std::int32_t(short card, short group, short* value)> queryAttenuation;
    // Asks which channels of the list are closed; writes the reply (kRouteReplySize characters) and
    // returns the call's status.
    std::function<std::int32_t(char* list, char* reply)> queryClosedList;
};

struct GroupStateReading {
    bool cardInRange = false;      // false: card below 1 or above 99, nothing was asked
    int calls = 0;                 // number of queries made
    std::int32_t lastStatus = 0;   // status of the last query made (0 when none was made)
    std::int32_t firstFailure = 0; // status of the first query that failed (0 when none failed)
    GroupSet unread = 0;           // the groups whose query failed without an answer: state unknown
    GroupValues positions = EveryGroup(-1);

    // True when the query of any group failed.
    bool Failed() const { return firstFailure < 0; }
};

// Reads the groups of the set (all six unless told otherwise) by their type codes. A card below 1 or
// above 99 makes no call at all. Every group of the set is asked, whatever the earlier ones gave. A
// group's position is decoded from what its query gave back, whatever the query's status: the driver
// may report an error the module had queued before together with the group's own answer. A group
// whose query failed and gave nothing back is unread. A group whose query wrote nothing, a group of a
// code that is neither attenuator nor switch, and a group outside the set is -1.
GroupStateReading ReadGroupPositions(short card, const GroupValues& types, const GroupStateQueries& queries,
                                     GroupSet groups = kAllGroups);

// The read-back over the instrument: reads the groups of the set of the instrument's card by their
// type codes, as ReadGroupPositions does (the instrument stores each query's status). An instrument
// without a module behind it (not live) is asked nothing, and cardInRange stays false.
GroupStateReading ReadGroupStates(CInstrument& instrument, const GroupValues& types,
                                  GroupSet groups = kAllGroups);

// Reads the groups of the set back from the module into groups: a group read takes the position the
// module reports and is known; an unread group is -1 and unknown; the other groups stay as
// they were, and so does every group when nothing was asked (card out of range, no module behind the
// instrument). Reports nothing: the caller shows the state first, then ReportReadingFailure.
GroupStateReading ReadGroupsBack(CInstrument& instrument, GroupState& groups, GroupSet set = kAllGroups);

// Reports a reading in which a query failed once, with the status of the first failing query (the
// module's error queue still holds its cause); nothing for a reading that did not fail.
void ReportReadingFailure(const GroupStateReading& reading);
