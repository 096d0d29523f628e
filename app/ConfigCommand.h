// The decisions of the Configuration command: after the operator confirms the Configuration dialog,
// tell the card which device hangs on each group (the card option list) and store the new types in the
// group model. The window layer runs the dialog and hands the six chosen codes to ApplyConfiguration.
#pragma once

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

// Applies the confirmed choice (a code 0 to 4 per group, negative when none): when it changes anything,
// reads the card's option list (when a group keeps its entry), writes the new list to the card, gives
// the main-panel object the new types and runs Reset (a shown main panel retypes its groups and runs it).
// When the card refuses the list, the failure is reported to the operator and the group model stays as
// it was. Returns true when the types were stored.
bool ApplyConfiguration(const GroupValues& chosen);
