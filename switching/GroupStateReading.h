// Reading the positions of the six groups back from the module: attenuators by their attenuation query,
// switches by the route state query of the channel list of the whole group. The instrument that owns
// the driver calls supplies them as two queries; this code decides which call each group needs and what
// position each reply gives.
#pragma once

#include <cstdint>
#include <functional>

#include "instrument/ReportDriverError.h"
#include "switching/GroupModel.h"

class CInstrument;
class CPan1Obj;

// Size of the route state reply buffer given to the closed-list query.
constexpr int kRouteReplySize = 256;

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

// The read-back of the driver-backed instrument: reads the groups of the set into reading, storing every
// query's status in lastStatus as it is made; raises CUserException when the last query failed, with
// the reading filled.
void ReadGroupsInto(GroupStateReading& reading, short card, const GroupValues& types,
                    const GroupStateQueries& queries, std::int32_t& lastStatus, GroupSet groups);

// The whole read-back of the driver-backed instrument: for a card of 1 to 99, reads all six groups,
// storing every query's status in lastStatus as it is made; after all six, raises CUserException when
// the last query failed; otherwise stores the six positions with SetGroupPositions. A card out of range
// does nothing at all.
void ReadGroupStatesInto(CPan1Obj* panel, short card, const GroupStateQueries& queries,
                         std::int32_t& lastStatus);

// After a failed command on one group has been reported: reads that group back from the module (as
// Refresh reads every group) and stores its position in the main-panel object, so that the panel shows
// the position the module holds rather than the one the command asked for. A failed read-back is
// reported in turn and leaves the stored position as it was. The caller shows the stored position.
void ReadGroupBack(CInstrument& instrument, CPan1Obj& panel, int group, WaitCursor waitCursor);

// After a failed Reset has been reported: the groups before the failing one were reset on the module,
// so all six are read back and their positions stored in the main-panel object, which hands them to a
// shown main panel; a group whose query gave nothing is -1. A failure of the last query is reported in
// turn.
void ReadAllGroupsBack(CInstrument& instrument, CPan1Obj& panel);
