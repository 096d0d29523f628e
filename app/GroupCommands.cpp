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

// Stores the groups' positions and unknown flags in the panel and repaints the shown panel.
void ShowGroups(CPan1Obj& panel, const GroupState& groups) {
    panel.SetGroupPositions(groups.positions, groups.unknown);
    RedrawShownPanel();
}

// Sets every attenuator to 0 and opens every channel of every switch group, in group order. Each group's
// position in groups is updated as its command succeeds (0 for an attenuator, -1 for a switch and for a
// group of no known type), so that after a failure groups holds what the module was brought to. Raises
// CUserException when a command fails.
void ResetGroups(CInstrument& instrument, short card, GroupState& groups) {
    for (int group = 0; group < kGroupCount; ++group) {
        const int code = groups.types[group];
        if (IsAttenuator(code)) {
            instrument.SetAttenuation(static_cast<short>(group), 0);
        } else if (IsSwitch(code)) {
            char list[kChannelListSize];
            FormatGroupChannelList(code, card, group, list, sizeof list);
            instrument.OpenRouteList(list);
        }
        groups.positions[group] = IsAttenuator(code) ? 0 : -1;
        groups.unknown[group] = false;
    }
}

enum class GroupCommand { Reset, Refresh };

bool RunGroupCommand(GroupCommand command) {
    CPan1Obj* panel = FindMainPanel();
    CInstrument* instrument = TheApp()->m_pInstrument.get();
    if (panel == nullptr || instrument == nullptr) {
        return false; // a broken lookup has ended the program already
    }
    const CWaitCursor wait;
    const std::string identity = LoadString(IDS_CARD_ID);
    short card = 0;
    if (!CallInstrument(*instrument, [&] { card = ReadCardTypes(*instrument, *panel, identity); })) {
        return false;
    }
    GroupState groups = panel->Groups();
    if (command == GroupCommand::Refresh) {
        // Every group is read; each one read is shown as the module has it, each one whose read failed
        // as unknown, and the first failure is reported once.
        const GroupStateReading reading = ReadGroupsBack(*instrument, groups);
        if (reading.cardInRange) {
            panel->SetGroupPositions(groups.positions, groups.unknown);
        }
        RedrawShownPanel();
        ReportReadingFailure(reading);
        return !reading.Failed();
    }
    std::int32_t failure = 0;
    const bool reset = CallInstrument(
        *instrument, [&] { ResetGroups(*instrument, card, groups); }, WaitCursor::Untouched,
        [&](std::int32_t status) { failure = status; });
    if (!reset && failure != kStatusTimeOut) {
        // The module answers: show what it holds now, each group that cannot be read as unknown. After a
        // time-out it is not asked again: the groups reset before the failing one are shown reset, the
        // others as they were.
        const GroupStateReading reading = ReadGroupsBack(*instrument, groups);
        ShowGroups(*panel, groups);
        ReportReadingFailure(reading);
        return false;
    }
    ShowGroups(*panel, groups);
    return reset;
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
    bool passed = false;
    {
        // The wait cursor ends before the result is shown.
        const CWaitCursor wait;
        passed = CallInstrument(*instrument, [&] {
            instrument->SelfTest(result);
            result[kSelfTestBufferSize - 1] = '\0';
        });
    }
    if (passed) {
        Facade().MessageBox(result);
    }
}
