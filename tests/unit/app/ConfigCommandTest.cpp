#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ConfigCommand.h"
#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "resources/ResourceIds.h"
#include "tests/support/FakePanelViews.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

constexpr std::int32_t kApiFailure = VI_ERROR_RSRC_NFOUND; // neither module error nor time-out

class ConfigCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPanelWindowFactories([this](CPan1Obj*) { return new CFakeMainView(&views); },
                                [this](CStatObj*) { return new CFakeStatusView(&views); });
        auto owned = std::make_unique<CScriptedInstrument>();
        owned->m_card = 3;
        instrument = owned.get();
        app.m_pInstrument = std::move(owned);
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
        panel = ToPan1Obj(app.m_panels[0].get());
    }
    void TearDown() override {
        for (auto& p : app.m_panels) {
            ToPanel(p.get())->CloseDlg();
        }
        SetPanelWindowFactories(nullptr, nullptr);
    }
    void SetTypes(std::vector<int> t) {
        for (int g = 0; g < 6; ++g) {
            panel->m_nGroupType[g] = t[g];
        }
    }
    // System > Config with an operator who confirms the choice; the types the dialog opened with are
    // kept in shown.
    bool Apply(const GroupValues& chosen) {
        return RunConfiguration([&](GroupValues& choice) {
            shown = choice;
            choice = chosen;
            return true;
        });
    }
    std::vector<int> Types() const {
        return std::vector<int>(panel->m_nGroupType.begin(), panel->m_nGroupType.end());
    }

    CRecordingFacade facade;
    CSfpAppData app;
    CScriptedInstrument* instrument = nullptr;
    CPan1Obj* panel = nullptr;
    std::vector<std::string> views;
    GroupValues shown{};
};

} // namespace

TEST(ConfigurationChoice, UnchangedWhenEveryValueIsNegativeOrThePresentType) {
    const GroupValues present = {0, 0, 3, 3, 4, -3};
    const GroupValues same = {0, -1, 3, -2, 4, -3};
    const GroupValues none = {-1, -1, -1, -1, -1, -1};
    const GroupValues changed = {0, 0, 3, 3, 4, 0};
    const GroupValues retyped = {1, 0, 3, 3, 4, -1};
    EXPECT_TRUE(IsConfigurationUnchanged(same, present));
    EXPECT_TRUE(IsConfigurationUnchanged(none, present));
    EXPECT_FALSE(IsConfigurationUnchanged(changed, present));
    EXPECT_FALSE(IsConfigurationUnchanged(retyped, present));
}

TEST(ConfigurationChoice, OptionListAlwaysHasFiveCommas) {
    CSfpAppData app;
    CPan1Obj panel;
    const GroupValues onlyGroup2 = {-3, -3, 4, -3, -3, -3};
    const GroupValues all = {0, 2, 3, 3, 4, 4};
    const GroupValues none = {-1, -1, -1, -1, -1, -1};
    const GroupValues ends = {1, -1, -1, -1, -1, 3};
    EXPECT_EQ(BuildCardOptionList(onlyGroup2, panel.m_szTypeName), ",,QZSWTB01,,,");
    EXPECT_EQ(BuildCardOptionList(all, panel.m_szTypeName),
              "QZATNA01,QZATNC01,QZSWTA01,QZSWTA01,QZSWTB01,QZSWTB01");
    EXPECT_EQ(BuildCardOptionList(none, panel.m_szTypeName), ",,,,,");
    EXPECT_EQ(BuildCardOptionList(ends, panel.m_szTypeName), "QZATNB01,,,,,QZSWTA01");
}

TEST_F(ConfigCommandTest, OnlyGroupTwoChosenFromNothingReported) {
    ShowPanel(IDS_MAIN_PANEL);
    const GroupValues chosen = {-3, -3, 4, -3, -3, -3};
    EXPECT_TRUE(Apply(chosen));
    EXPECT_EQ(instrument->m_calls,
              (std::vector<std::string>{"QueryCardOption 3", "SetCardOption 3 ,,QZSWTB01,,,"}));
    EXPECT_EQ(Types(), (std::vector<int>{-3, -3, 4, -3, -3, -3}));
    EXPECT_EQ(views, std::vector<std::string>{"types -3 -3 4 -3 -3 -3"});
}

TEST_F(ConfigCommandTest, ChangingOneGroupWritesEveryCheckedName) {
    SetTypes({0, 0, 3, 3, 4, 4});
    ShowPanel(IDS_MAIN_PANEL);
    const GroupValues chosen = {0, 2, 3, 3, 4, 4};
    EXPECT_TRUE(Apply(chosen));
    EXPECT_EQ(
        instrument->m_calls,
        (std::vector<std::string>{"QueryCardOption 3",
                                  "SetCardOption 3 QZATNA01,QZATNC01,QZSWTA01,QZSWTA01,QZSWTB01,QZSWTB01"}));
    EXPECT_EQ(Types(), (std::vector<int>{0, 2, 3, 3, 4, 4}));
    EXPECT_EQ(views, std::vector<std::string>{"types 0 2 3 3 4 4"});
    EXPECT_TRUE(facade.m_messages.empty());
}

TEST_F(ConfigCommandTest, NoChangeSendsNothingAndResetsNothing) {
    SetTypes({0, 0, 3, 3, 4, -1});
    ShowPanel(IDS_MAIN_PANEL);
    const GroupValues chosen = {0, 0, 3, 3, 4, -1};
    EXPECT_FALSE(Apply(chosen));
    EXPECT_EQ(instrument->m_calls, std::vector<std::string>{"QueryCardOption 3"});
    EXPECT_TRUE(views.empty());
    EXPECT_EQ(Types(), (std::vector<int>{0, 0, 3, 3, 4, -1}));
}

TEST_F(ConfigCommandTest, RefusedOptionListIsReportedOnceAndKeepsTheModel) {
    SetTypes({0, 0, 3, 3, 4, 4});
    ShowPanel(IDS_MAIN_PANEL);
    instrument->FailOn("SetCardOption", kApiFailure);
    const GroupValues chosen = {1, 0, 3, 3, 4, 4};
    EXPECT_FALSE(Apply(chosen));
    EXPECT_EQ(
        instrument->m_calls,
        (std::vector<std::string>{"QueryCardOption 3",
                                  "SetCardOption 3 QZATNB01,QZATNA01,QZSWTA01,QZSWTA01,QZSWTB01,QZSWTB01"}));
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"API failure."});
    EXPECT_EQ(instrument->GetLastStatus(), kApiFailure);
    EXPECT_EQ(Types(), (std::vector<int>{0, 0, 3, 3, 4, 4}));
    EXPECT_TRUE(views.empty()); // no retyping, so no Reset
}

TEST_F(ConfigCommandTest, GroupsLeftUncheckedKeepTheCardsEntries) {
    // Devices the panel cannot name, and a group the operator did not touch.
    SetTypes({-1, -2, 3, 0, -3, 4});
    instrument->m_cardOptions = "UNKNOWN-ATN,UNKNOWN-SW,QZSWTA01,QZATNA01,,QZSWTB01";
    ShowPanel(IDS_MAIN_PANEL);
    const GroupValues chosen = {-1, -1, 4, 0, -1, -1};
    EXPECT_TRUE(Apply(chosen));
    EXPECT_EQ(
        instrument->m_calls,
        (std::vector<std::string>{"QueryCardOption 3",
                                  "SetCardOption 3 UNKNOWN-ATN,UNKNOWN-SW,QZSWTB01,QZATNA01,,QZSWTB01"}));
    EXPECT_EQ(Types(), (std::vector<int>{-1, -2, 4, 0, -3, 4}));
}

TEST_F(ConfigCommandTest, OpensWithTheCardsTypesAndKeepsThoseOfUntouchedGroups) {
    // Another program retyped groups 0 and 2 and cleared group 4 since the panel last read the card.
    SetTypes({0, 0, 3, 3, 4, 4});
    instrument->m_cardOptions = "QZATNB01,QZATNA01,QZSWTB01,QZSWTA01,,QZSWTB01";
    ShowPanel(IDS_MAIN_PANEL);
    EXPECT_TRUE(Apply({1, 0, 4, 3, -1, 3})); // only group 5 changed
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.end()), (std::vector<int>{1, 0, 4, 3, -3, 4}));
    EXPECT_EQ(instrument->m_calls,
              (std::vector<std::string>{"QueryCardOption 3",
                                        "SetCardOption 3 QZATNB01,QZATNA01,QZSWTB01,QZSWTA01,,QZSWTA01"}));
    // Nothing changed against what the card holds: nothing is written.
    instrument->m_calls.clear();
    EXPECT_FALSE(Apply({1, 0, 4, 3, -1, 4}));
    EXPECT_EQ(instrument->m_calls, std::vector<std::string>{"QueryCardOption 3"});
}

TEST_F(ConfigCommandTest, StatusPanelShownStillRunsTheReset) {
    ShowPanel(IDS_MAIN_PANEL);
    ShowPanel(IDS_STATUS_PANEL);
    views.clear();
    for (int g = 0; g < 6; ++g) {
        panel->m_nGroupPos[g] = 2;
    }
    const GroupValues chosen = {0, 1, 2, 3, 4, -1};
    EXPECT_TRUE(Apply(chosen));
    EXPECT_EQ(instrument->m_calls,
              (std::vector<std::string>{
                  "QueryCardOption 3", "SetCardOption 3 QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,",
                  "QueryCardType 3", "QueryCardOption 3", "SetAttenuation 0 0", "SetAttenuation 1 0",
                  "SetAttenuation 2 0", "OpenRouteList 330:333", "OpenRouteList 340:345"}));
    EXPECT_EQ(Types(), (std::vector<int>{0, 1, 2, 3, 4, -3}));
    // The main panel shows the reset positions when it is next opened.
    EXPECT_EQ(std::vector<int>(panel->m_nGroupPos.begin(), panel->m_nGroupPos.end()),
              (std::vector<int>{0, 0, 0, -1, -1, -1}));
    EXPECT_EQ(views, std::vector<std::string>{"redraw status"});
}
