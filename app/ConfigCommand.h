// The decisions of the Configuration command: after the operator confirms the Configuration dialog,
// tell the card which device hangs on each group (the card option list) and store the new types in the
// group model. The window layer runs the dialog on the types RunConfiguration gives and hands back the
// six chosen codes.
#pragma once

#include <functional>
#include <string>

#include "switching/GroupModel.h"

// True when the choice changes nothing: every chosen value is negative (no type chosen) or equals the
// group's present type code.
bool IsConfigurationUnchanged(const GroupValues& chosen, const GroupValues& present);

// The card option list: for groups 0 to 5 in order, the type name of the chosen code (0 to 4), or,
// when no type was chosen, the group's entry of the card's current list (empty when it has none),
// joined by commas, so the list always has five commas.
std::string BuildCardOptionList(const GroupValues& chosen,
                                const char typeNames[kTypeNameCount][kTypeNameSize],
                                const std::string& current = {});

// System > Config without its window: reads the card's option list, hands chooseTypes the type codes
// the list names (the operator's choice comes back in the same values; false: cancelled), and applies a
// confirmed change: when it changes anything, writes the new list to the card, gives the main-panel
// object the new types and runs Reset (a shown main panel retypes its groups and runs it). A group whose
// entry names no type is shown with none chosen and, left so, keeps that entry as read; an empty list
// (a card that reports none) shows the present types. A failed read or write is reported to the
// operator; after it nothing is written and the group model stays as it was. Returns true when the
// types were stored.
bool RunConfiguration(const std::function<bool(GroupValues& choice)>& chooseTypes);
