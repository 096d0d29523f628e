// Reading the positions of the six groups back from the module: attenuators by their attenuation query,
// switches by the route state query of the channel list of the whole group. The instrument offers the
// two queries; this code decides which query each group needs, what position each reply gives, and when
// the reading as a whole has failed.
#pragma once

#include <cstdint>
#include <functional>

#include "instrument/ReportDriverError.h"
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
    bool cardInRange = false;    // false: card below 1 or above 99, nothing was asked
    int calls = 0;               // number of queries made
    std::int32_t lastStatus = 0; // status of the last query made (0 when none was made)
    GroupValues positions = EveryGroup(-1);

    // True when the last query made failed; only that status decides.
    bool Failed() const { return calls > 0 && lastStatus < 0; }
};

// Reads the groups of the set (all six unless told otherwise) by their type codes. A card below 1 or
// above 99 makes no call at all. Each group's position is decoded from what its query gave back,
// whatever the query's status; a group of a code that is neither attenuator nor switch, a group whose
// query wrote nothing, and a group outside the set is -1.
GroupStateReading ReadGroupPositions(short card, const GroupValues& types, const GroupStateQueries& queries,
                                     GroupSet groups = kAllGroups);

// ReadGroupPositions into reading; then raises CUserException when the last query failed, with the
// reading filled. Every group of the set is asked before the status is looked at.
void ReadGroupsInto(GroupStateReading& reading, short card, const GroupValues& types,
                    const GroupStateQueries& queries, GroupSet groups);

// The read-back over the instrument: reads the groups of the set of the instrument's card by their
// type codes into reading, as ReadGroupsInto does (the instrument stores each query's status). An
// instrument without a module behind it (not live) is asked nothing, and reading.cardInRange stays
// false.
void ReadGroupStates(CInstrument& instrument, const GroupValues& types, GroupSet groups,
                     GroupStateReading& reading);

// After a failed command on one group has been reported: reads that group back from the module (as
// Refresh reads every group) into positions, so that the panel shows the position the module holds
// rather than the one the command asked for. A failed read-back is reported in turn and leaves the
// position as it was.
void ReadGroupBack(CInstrument& instrument, const GroupValues& types, GroupValues& positions, int group,
                   WaitCursor waitCursor);

// After a failed Reset has been reported: the groups before the failing one were reset on the module,
// so all six are read back; a group whose query gave nothing is -1. A failure of the last query is
// reported in turn, and the reading is still given: the caller stores its positions when
// reading.cardInRange.
GroupStateReading ReadAllGroupsBack(CInstrument& instrument, const GroupValues& types);
