#include "app/GroupCommands.h"

#include <memory>
#include <string>

#include "app/SfpAppData.h"
#include "instrument/ReportDriverError.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "platform/Facade.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "switching/GroupModel.h"
#include "switching/GroupStateReading.h"

void SetUpPanels() {
    CSfpAppData* app = TheApp();
    app->ConnectInstrument();
    app->m_panels.push_back(std::make_unique<CPan1Obj>());
    app->m_panels.push_back(std::make_unique<CStatObj>());
    if (app->m_pInstrument->GetInterfaceType() == 2) {
        OnReset();
    } else {
        OnRefresh();
    }
    ShowPanel(IDS_MAIN_PANEL);
}

namespace {

// Reads the card's device types into the panel when the card identifies itself with the identity prefix
// and reports a non-empty option list; otherwise the types stay as they were. When a type changed
// (another program may have reconfigured the card), a shown main panel gives its group controls the new
// types before anything is drawn, so that no group is drawn or operated as a device it no longer has.
// Returns the card number. Raises CUserException when an instrument call fails.
short ReadCardTypes(CInstrument& instrument, CPan1Obj& panel, const std::string& identity) {
    const short card = instrument.GetCardNumber();
    char cardType[kTextBufferSize] = {};
    instrument.QueryCardType(card, cardType);
    cardType[kTextBufferSize - 1] = '\0';
    if (identity.size() < sizeof cardType) {
        cardType[identity.size()] = '\0';
    }
    if (identity != cardType) {
        return card;
    }
    char options[kOptionListBufferSize] = {};
    instrument.QueryCardOption(card, options);
    options[kOptionListBufferSize - 1] = '\0';
    if (options[0] != '\0') {
        const GroupValues before = panel.m_nGroupType;
        ParseTypeList(panel.m_nGroupType, options);
        CMainPanelView* view = panel.MainView();
        if (view != nullptr && before != panel.m_nGroupType) {
            view->TakeGroupTypes(panel.m_nGroupType);
        }
    }
    return card;
}

// Repaints the window of the panel shown last, if it is open.
void RedrawShownPanel() {
    CPanel* active = TheApp()->m_pActivePanel;
    if (active != nullptr && active->m_pDlg != nullptr) {
        active->m_pDlg->RedrawNow();
    }
}

enum class GroupCommand { Reset, Refresh };

bool RunGroupCommand(GroupCommand command) {
    CPan1Obj* panel = FindMainPanel();
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (panel == nullptr || instrument == nullptr) {
        return false; // a broken lookup has ended the program already
    }
    const std::string identity = LoadString(IDS_CARD_ID);
    bool resetBegun = false;
    std::int32_t failure = 0;
    const bool succeeded = CallInstrument(
        *instrument,
        [&] {
            const short card = ReadCardTypes(*instrument, *panel, identity);
            if (command == GroupCommand::Reset) {
                resetBegun = true;
                GroupValues positions = EveryGroup(-1);
                for (int group = 0; group < kGroupCount; ++group) {
                    const int code = panel->m_nGroupType[group];
                    if (IsAttenuator(code)) {
                        instrument->SetAttenuation(static_cast<short>(group), 0);
                        positions[group] = 0;
                    } else if (IsSwitch(code)) {
                        char list[kChannelListSize];
                        FormatGroupChannelList(code, card, group, list, sizeof list);
                        instrument->OpenRouteList(list);
                    }
                }
                panel->SetGroupPositions(positions);
            } else {
                GroupStateReading reading;
                ReadGroupStates(*instrument, panel->m_nGroupType, kAllGroups, reading);
                if (reading.cardInRange) {
                    panel->SetGroupPositions(reading.positions);
                }
            }
            RedrawShownPanel();
        },
        WaitCursor::Around, [&](std::int32_t status) { failure = status; });
    if (!succeeded && resetBegun && failure != kStatusTimeOut) {
        // The groups before the failing one were reset on the module: show what the module holds now.
        // After a time-out the module is not answering, and the positions stay as they were.
        const GroupStateReading reading = ReadAllGroupsBack(*instrument, panel->m_nGroupType);
        if (reading.cardInRange) {
            panel->SetGroupPositions(reading.positions);
        }
        RedrawShownPanel();
    }
    return succeeded;
}

} // namespace

bool OnReset() {
    return RunGroupCommand(GroupCommand::Reset);
}

bool OnRefresh() {
    return RunGroupCommand(GroupCommand::Refresh);
}

void OnSelfTest() {
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (instrument == nullptr) {
        return;
    }
    char result[kSelfTestBufferSize] = {};
    const bool passed = CallInstrument(
        *instrument,
        [&] {
            instrument->SelfTest(result);
            result[kSelfTestBufferSize - 1] = '\0';
        },
        WaitCursor::Around);
    if (passed) {
        Facade().MessageBox(result);
    }
}
