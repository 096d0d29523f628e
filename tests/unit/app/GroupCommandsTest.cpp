#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "instrument/NonLiveInstrument.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "resources/ResourceIds.h"
#include "tests/support/FakePanelViews.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

// Records the wait cursor in the log too, so that its order against the message boxes shows.
class OrderedFacade : public CRecordingFacade {
public:
    void BeginWaitCursor() override {
        m_log.push_back("wait");
        CRecordingFacade::BeginWaitCursor();
    }
    void EndWaitCursor() override {
        m_log.push_back("end wait");
        CRecordingFacade::EndWaitCursor();
    }
};

class GroupCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPanelWindowFactories(
            [this](CPan1Obj*) {
                ++mainViewsOpened;
                return new CFakeMainView(&windows);
            },
            [this](CStatObj*) { return new CFakeStatusView(&windows); });
        auto scripted = std::make_unique<CScriptedInstrument>();
        instrument = scripted.get();
        app.m_pInstrument = std::move(scripted);
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
        panel = FindMainPanel();
    }
    void TearDown() override {
        // The window of the panel still shown goes with the test.
        if (app.m_pActivePanel != nullptr) {
            app.m_pActivePanel->CloseDlg();
        }
        SetPanelWindowFactories(nullptr, nullptr);
    }

    void SetTypes(std::vector<int> types) {
        for (int g = 0; g < kGroupCount; ++g) {
            panel->m_nGroupType[g] = types[static_cast<size_t>(g)];
        }
    }
    void SetPositions(int value) {
        for (int g = 0; g < kGroupCount; ++g) {
            panel->m_nGroupPos[g] = value;
        }
    }
    std::vector<int> Positions() const { return {panel->m_nGroupPos.begin(), panel->m_nGroupPos.end()}; }
    std::vector<int> Types() const { return {panel->m_nGroupType.begin(), panel->m_nGroupType.end()}; }
    // The instrument calls after the first stage (card type and option list).
    std::vector<std::string> CallsAfter(size_t first) const {
        return {instrument->m_calls.begin() + static_cast<long>(first), instrument->m_calls.end()};
    }
    void ShowMainPanel() {
        ShowPanel(IDS_MAIN_PANEL);
        windows.clear();
    }

    OrderedFacade facade;
    CSfpAppData app;
    CScriptedInstrument* instrument = nullptr;
    CPan1Obj* panel = nullptr;
    std::vector<std::string> windows;
    int mainViewsOpened = 0;
};

} // namespace

TEST_F(GroupCommandsTest, ResetOpensEveryFourPositionSwitchOfCardOne) {
    instrument->m_cardOptions = "QZSWTA01,QZSWTA01,QZSWTA01,QZSWTA01,QZSWTA01,QZSWTA01";
    SetPositions(2);
    ShowMainPanel();
    OnReset();
    EXPECT_EQ(
        instrument->m_calls,
        (std::vector<std::string>{"QueryCardType 1", "QueryCardOption 1", "OpenRouteList 100:103",
                                  "OpenRouteList 110:113", "OpenRouteList 120:123", "OpenRouteList 130:133",
                                  "OpenRouteList 140:143", "OpenRouteList 150:153"}));
    EXPECT_EQ(Types(), std::vector<int>(6, 3));
    EXPECT_EQ(Positions(), std::vector<int>(6, -1));
    // The shown panel's group controls take the new types before anything is drawn.
    EXPECT_EQ(windows, (std::vector<std::string>{"take types 3 3 3 3 3 3", "positions -1 -1 -1 -1 -1 -1",
                                                 "redraw main"}));
    EXPECT_TRUE(facade.m_messages.empty());
    EXPECT_EQ(facade.m_waitBegins, 1);
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(GroupCommandsTest, ResetByTypeWithoutOptionList) {
    SetTypes({0, 1, 2, 3, 4, -1});
    SetPositions(5);
    OnReset();
    EXPECT_EQ(CallsAfter(2),
              (std::vector<std::string>{"SetAttenuation 0 0", "SetAttenuation 1 0", "SetAttenuation 2 0",
                                        "OpenRouteList 130:133", "OpenRouteList 140:145"}));
    EXPECT_EQ(Types(), (std::vector<int>{0, 1, 2, 3, 4, -1}));
    EXPECT_EQ(Positions(), (std::vector<int>{0, 0, 0, -1, -1, -1}));
}

TEST_F(GroupCommandsTest, ResetUsesTheCardNumberInTheLists) {
    instrument->m_card = 12;
    SetTypes({-2, -3, 3, -1, -3, 4});
    OnReset();
    EXPECT_EQ(CallsAfter(2),
              (std::vector<std::string>{"OpenRouteList 1220:1223", "OpenRouteList 1250:1255"}));
    EXPECT_EQ(instrument->m_calls[0], "QueryCardType 12");
}

TEST_F(GroupCommandsTest, OptionListIsStoredBeforeTheGroupsAreReset) {
    instrument->m_cardOptions = "QZATNB01,QZSWTA01,,,,";
    SetTypes({4, 4, -3, 0, -3, -3});
    OnReset();
    EXPECT_EQ(Types(), (std::vector<int>{1, 3, -3, 0, -3, -3}));
    EXPECT_EQ(CallsAfter(2), (std::vector<std::string>{"SetAttenuation 0 0", "OpenRouteList 110:113",
                                                       "SetAttenuation 3 0"}));
    EXPECT_EQ(Positions(), (std::vector<int>{0, -1, -1, 0, -1, -1}));
}

TEST_F(GroupCommandsTest, ACardOfAnotherIdentityKeepsItsTypes) {
    instrument->m_cardOptions = "QZSWTB01,QZSWTB01,QZSWTB01,QZSWTB01,QZSWTB01,QZSWTB01";
    SetTypes({0, -3, -3, -3, -3, -3});
    for (const char* reply :
         {"QUILLON-VANTERA,SWITCHBOX", "QUILLON-VANTERA,K471", "quillon-vantera,k4712v", ""}) {
        instrument->m_calls.clear();
        instrument->m_cardType = reply;
        OnReset();
        EXPECT_EQ(instrument->m_calls, (std::vector<std::string>{"QueryCardType 1", "SetAttenuation 0 0"}))
            << reply;
        EXPECT_EQ(Types(), (std::vector<int>{0, -3, -3, -3, -3, -3})) << reply;
    }
    // The prefix is compared, whatever follows it.
    instrument->m_calls.clear();
    instrument->m_cardType = "QUILLON-VANTERA,K4712";
    OnReset();
    EXPECT_EQ(instrument->m_calls[1], "QueryCardOption 1");
    EXPECT_EQ(Types(), std::vector<int>(6, 4));
}

TEST_F(GroupCommandsTest, TimeOutMidResetShowsTheGroupsResetBeforeItAndAsksNothingMore) {
    SetTypes({0, 1, 2, 3, 4, 4});
    SetPositions(7);
    ShowMainPanel();
    instrument->FailOn("OpenRouteList", kStatusTimeOut);
    EXPECT_FALSE(OnReset());
    // The time-out is reported after a device clear and a look at the error queue.
    EXPECT_EQ(CallsAfter(2),
              (std::vector<std::string>{"SetAttenuation 0 0", "SetAttenuation 1 0", "SetAttenuation 2 0",
                                        "OpenRouteList 130:133", "DeviceClear", "ErrorQuery"}));
    EXPECT_EQ(Positions(), (std::vector<int>{0, 0, 0, 7, 7, 7}));
    EXPECT_EQ(windows, (std::vector<std::string>{"positions 0 0 0 7 7 7", "redraw main"}));
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Time Out !"});
    EXPECT_EQ(facade.m_waitBegins, 1);
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(GroupCommandsTest, FailureMidResetIsFollowedByAReadBackOfEveryGroup) {
    SetTypes({0, 1, 2, 3, 4, 4});
    SetPositions(7);
    ShowMainPanel();
    instrument->FailOn("OpenRouteList", kStatusInstrumentError);
    instrument->m_errors = {{-221, "Settings conflict"}};
    instrument->m_readPositions = {0, 0, 0, 1, -1, 2}; // groups 3 to 5 were never reset
    EXPECT_FALSE(OnReset());
    EXPECT_EQ(CallsAfter(2),
              (std::vector<std::string>{"SetAttenuation 0 0", "SetAttenuation 1 0", "SetAttenuation 2 0",
                                        "OpenRouteList 130:133", "DeviceClear", "ErrorQuery", "ErrorQuery",
                                        "QueryAttenuation 1 0", "QueryAttenuation 1 1",
                                        "QueryAttenuation 1 2", "QueryClosedList 130:133",
                                        "QueryClosedList 140:145", "QueryClosedList 150:155"}));
    EXPECT_EQ(facade.m_messages,
              std::vector<std::string>{"Instrument reports error: -221  Settings conflict"});
    EXPECT_EQ(Positions(), (std::vector<int>{0, 0, 0, 1, -1, 2}));
    EXPECT_EQ(windows, (std::vector<std::string>{"positions 0 0 0 1 -1 2", "redraw main"}));
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(GroupCommandsTest, FailureInTheFirstStageSendsNothing) {
    instrument->m_cardOptions = "QZATNA01,,,,,";
    instrument->FailOn("QueryCardOption", VI_ERROR_SYSTEM_ERROR);
    OnReset();
    EXPECT_EQ(instrument->m_calls, (std::vector<std::string>{"QueryCardType 1", "QueryCardOption 1"}));
    EXPECT_EQ(Types(), std::vector<int>(6, -3));
    EXPECT_EQ(facade.m_messages.size(), 1u);
    EXPECT_EQ(facade.m_waitDepth, 0);

    instrument->m_calls.clear();
    instrument->FailOn("QueryCardType", VI_ERROR_SYSTEM_ERROR);
    OnRefresh();
    EXPECT_EQ(instrument->m_calls, std::vector<std::string>{"QueryCardType 1"});
    EXPECT_EQ(facade.m_messages.size(), 2u);
    EXPECT_EQ(facade.m_waitBegins, 2);
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(GroupCommandsTest, RefreshStoresTheReadPositionsThenRedraws) {
    instrument->m_cardOptions = "QZATNA01,QZSWTB01,,,,";
    instrument->m_readPositions = {4, 5, -1, -1, 2, 0};
    ShowMainPanel();
    EXPECT_TRUE(OnRefresh());
    EXPECT_EQ(instrument->m_calls,
              (std::vector<std::string>{"QueryCardType 1", "QueryCardOption 1", "QueryAttenuation 1 0",
                                        "QueryClosedList 110:115"}));
    EXPECT_EQ(Types(), (std::vector<int>{0, 4, -3, -3, -3, -3}));
    // Groups of no reported type are not asked: unknown.
    EXPECT_EQ(Positions(), (std::vector<int>{4, 5, -1, -1, -1, -1}));
    EXPECT_EQ(windows, (std::vector<std::string>{"take types 0 4 -3 -3 -3 -3", "positions 4 5 -1 -1 -1 -1",
                                                 "redraw main"}));
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(GroupCommandsTest, FailedRefreshKeepsTheGroupsReadShowsTheFailedOnesUnknownAndFails) {
    instrument->m_cardOptions = "QZATNA01,QZSWTB01,,QZSWTA01,QZSWTA01,QZSWTA01";
    instrument->m_readPositions = {4, 5, -1, 2, 2, 0};
    instrument->FailOn("QueryClosedList", kStatusInstrumentError, 2); // group 3's query
    instrument->FailOn("QueryClosedList", kStatusTimeOut, 4);         // the last group's
    instrument->m_errors = {{-240, "Hardware error"}};
    SetTypes({0, 4, -3, 3, 3, 3});    // as the card reports: no retyping to tell
    panel->m_bGroupUnknown[0] = true; // read now: known again
    ShowMainPanel();
    EXPECT_FALSE(OnRefresh());
    EXPECT_EQ(Positions(), (std::vector<int>{4, 5, -1, -1, 2, -1}));
    EXPECT_EQ(windows,
              (std::vector<std::string>{"positions 4 5 -1 -1 2 -1 unknown 3 unknown 5", "redraw main"}));
    // Reported once, by the first failure.
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Instrument reports error: -240  Hardware error"});
}

TEST_F(GroupCommandsTest, RedrawGoesToTheShownPanelOnly) {
    SetTypes({0, -3, -3, -3, -3, -3});
    OnReset(); // nothing shown: no window is told
    EXPECT_TRUE(windows.empty());
    EXPECT_EQ(Positions()[0], 0);

    ShowPanel(IDS_STATUS_PANEL);
    windows.clear();
    OnReset();
    EXPECT_EQ(windows, std::vector<std::string>{"redraw status"});
}

TEST_F(GroupCommandsTest, SelfTestShowsTheResultText) {
    instrument->m_selfTest = "0, Self test passed";
    OnSelfTest();
    EXPECT_EQ(instrument->m_calls, std::vector<std::string>{"SelfTest"});
    EXPECT_EQ(facade.m_log, (std::vector<std::string>{"wait", "end wait", "message: 0, Self test passed"}));
    EXPECT_EQ(facade.m_waitBegins, 1);
    EXPECT_EQ(facade.m_waitDepth, 0);

    // A text that fills the whole buffer is cut, never overrun.
    instrument->m_selfTest = std::string(400, 'x');
    OnSelfTest();
    EXPECT_EQ(facade.m_messages.back(), std::string(kSelfTestBufferSize - 1, 'x'));
}

TEST_F(GroupCommandsTest, FailedSelfTestShowsOnlyTheReport) {
    instrument->FailOn("SelfTest", VI_ERROR_SYSTEM_ERROR);
    OnSelfTest();
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"API failure."});
    EXPECT_EQ(facade.m_waitBegins, 1);
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(GroupCommandsTest, SetUpResetsOnVxiAndShowsTheMainPanel) {
    app.m_panels.clear();
    instrument->m_interfaceType = 2;
    instrument->m_cardOptions = "QZATNC01,,,,,";
    SetUpPanels();
    ASSERT_EQ(app.m_panels.size(), 2u);
    panel = FindMainPanel();
    EXPECT_EQ(CallsAfter(2), std::vector<std::string>{"SetAttenuation 0 0"});
    EXPECT_EQ(Positions(), (std::vector<int>{0, -1, -1, -1, -1, -1}));
    EXPECT_EQ(app.m_pActivePanel, panel);
    EXPECT_EQ(mainViewsOpened, 1);
}

TEST_F(GroupCommandsTest, SetUpRefreshesOtherInterfaces) {
    app.m_panels.clear();
    instrument->m_interfaceType = 1;
    instrument->m_cardOptions = "QZATNA01,QZATNA01,QZATNA01,QZATNA01,QZATNA01,QZATNA01";
    instrument->m_readPositions = {1, 1, 1, 1, 1, 1};
    SetUpPanels();
    panel = FindMainPanel();
    EXPECT_EQ(instrument->m_calls.back(), "QueryAttenuation 1 5");
    EXPECT_EQ(Positions(), std::vector<int>(6, 1));
    EXPECT_EQ(app.m_pActivePanel, panel);
}

TEST_F(GroupCommandsTest, NonLivePanelCommands) {
    app.m_pInstrument = std::make_unique<CNonLiveInstrument>();
    instrument = nullptr;
    SetTypes({0, 3, -3, 2, 4, -1});
    SetPositions(3);
    OnRefresh();
    EXPECT_EQ(Positions(), std::vector<int>(6, 3));
    OnReset();
    EXPECT_EQ(Types(), (std::vector<int>{0, 3, -3, 2, 4, -1}));
    EXPECT_EQ(Positions(), (std::vector<int>{0, -1, -1, 0, -1, -1}));
    OnSelfTest();
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Self Test Passed."});
    EXPECT_EQ(facade.m_waitBegins, 3);
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(GroupCommandsTest, ShownPanelIsToldOfPositionsAndTypes) {
    ShowMainPanel();
    panel->SetGroupPositions({-1, 2, -1, 3, -1, 11});
    EXPECT_EQ(Positions(), (std::vector<int>{-1, 2, -1, 3, -1, 11}));
    SetTypes({0, 0, 0, 0, 0, 0});
    panel->SetGroupTypes({-1, -2, -3, -1, -1, -1});
    EXPECT_EQ(Types(), std::vector<int>(6, 0));
    panel->SetGroupTypes({4, -1, 3, -1, 2, -1});
    EXPECT_EQ(Types(), (std::vector<int>{4, 0, 3, 0, 2, 0}));
    EXPECT_EQ(windows, (std::vector<std::string>{"positions -1 2 -1 3 -1 11", "types 0 0 0 0 0 0",
                                                 "types 4 0 3 0 2 0"}));
    // Not shown: stored, but no window is told.
    panel->CloseDlg();
    windows.clear();
    panel->SetGroupPositions({1, 1, 1, 1, 1, 1});
    panel->SetGroupTypes({1, 1, 1, 1, 1, 1});
    EXPECT_TRUE(windows.empty());
    EXPECT_EQ(Positions(), std::vector<int>(6, 1));
}
