#include "app/ConfigCommand.h"

#include <cstdint>

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"

#include "app/GroupCommands.h"
#include "instrument/ReportDriverError.h"

namespace {

// The dialog gives a code 0 to 4 or -1; anything else counts as no choice, so that no type name is
// ever read from outside the table.
int ChosenType(int value) {
    return value >= 0 && value < kTypeNameCount ? value : -1;
}

} // namespace

bool IsConfigurationUnchanged(const GroupValues& chosen, const GroupValues& present) {
    for (int g = 0; g < kGroupCount; ++g) {
        const int value = ChosenType(chosen[g]);
        if (value >= 0 && value != present[g]) {
            return false;
        }
    }
    return true;
}

std::string BuildCardOptionList(const GroupValues& chosen,
                                const char typeNames[kTypeNameCount][kTypeNameSize],
                                const std::string& current) {
    // The current list's entries, in group order; an entry the list does not reach is empty.
    std::string entries[kGroupCount];
    int entry = 0;
    for (const char c : current) {
        if (c != ',') {
            entries[entry] += c;
        } else if (++entry == kGroupCount) {
            break;
        }
    }
    std::string list;
    for (int g = 0; g < kGroupCount; ++g) {
        if (g > 0) {
            list += ',';
        }
        const int value = ChosenType(chosen[g]);
        list += value >= 0 ? std::string(typeNames[value]) : entries[g];
    }
    return list;
}

bool RunConfiguration(const std::function<bool(GroupValues& choice)>& chooseTypes) {
    CPan1Obj* panel = FindMainPanel();
    if (panel == nullptr) {
        return false; // already reported as fatal
    }
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (instrument == nullptr) {
        return false;
    }
    const short card = instrument->GetCardNumber();
    // The dialog shows the card's types as they are now, not the panel's, which another program may
    // have made stale by retyping the card; the entries as read are what untouched groups keep.
    char current[kOptionListBufferSize] = {};
    if (!CallInstrument(*instrument, [&] { instrument->QueryCardOption(card, current); })) {
        return false; // reported; nothing was shown or written
    }
    current[kOptionListBufferSize - 1] = '\0';
    GroupValues shown = panel->m_nGroupType;
    if (current[0] != '\0') {
        shown = EveryGroup(kDeviceNotReported);
        ParseTypeList(shown, current);
    }
    GroupValues chosen = shown;
    if (!chooseTypes(chosen) || IsConfigurationUnchanged(chosen, shown)) {
        return false;
    }
    const std::string list = BuildCardOptionList(chosen, panel->m_szTypeName, current);
    if (!CallInstrument(*instrument, [&] { instrument->SetCardOption(card, list.c_str()); })) {
        // The card refused the list: the operator has been told; the group model (and the shown panel)
        // stay as they were.
        return false;
    }
    GroupValues types;
    for (int g = 0; g < kGroupCount; ++g) {
        types[g] = ChosenType(chosen[g]);
    }
    // A shown main panel retypes its group controls and runs the Reset itself; otherwise it runs here, so
    // that the card's retyped groups and the positions the main panel shows when it is next opened are
    // those of the Reset.
    const bool mainPanelShown = panel->MainView() != nullptr;
    panel->SetGroupTypes(types);
    if (!mainPanelShown) {
        OnReset();
    }
    return true;
}
