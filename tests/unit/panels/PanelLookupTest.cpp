#include <gtest/gtest.h>

#include <cstring>

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "resources/ResourceIds.h"
#include "tests/support/FakePanelViews.h"
#include "tests/support/RecordingFacade.h"

namespace {

class PanelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetPanelWindowFactories(
            [this](CPan1Obj*) {
                log.push_back("open main");
                return new CFakeMainView(&log);
            },
            [this](CStatObj*) {
                log.push_back("open status");
                return new CFakeStatusView(&log);
            });
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
    }
    void TearDown() override {
        // The window of the panel still shown goes with the test.
        if (app.m_pActivePanel != nullptr) {
            app.m_pActivePanel->CloseDlg();
        }
        SetPanelWindowFactories(nullptr, nullptr);
    }

    CRecordingFacade facade;
    CSfpAppData app;
    std::vector<std::string> log;
};

} // namespace

TEST_F(PanelsTest, FindPanelMatchesWholeNameCaseSensitively) {
    EXPECT_EQ(FindPanel("Main Panel"), app.m_panels[0].get());
    EXPECT_EQ(FindPanel(IDS_STATUS_PANEL), app.m_panels[1].get());
    CSFPObject* missing = FindPanel("main panel");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->m_strName, "");
    EXPECT_EQ(ToPan1Obj(missing), nullptr);
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"CPan1Obj failed conversion, fatal"});
    EXPECT_TRUE(facade.m_mainWindowDestroyed);
}

TEST_F(PanelsTest, CheckedConversionsAcceptOnlyTheirClasses) {
    CSFPObject* main = app.m_panels[0].get();
    CSFPObject* status = app.m_panels[1].get();
    EXPECT_NE(ToPanel(main), nullptr);
    EXPECT_NE(ToPanel(status), nullptr);
    EXPECT_NE(ToPan1Obj(main), nullptr);
    EXPECT_NE(ToStatObj(status), nullptr);
    EXPECT_TRUE(facade.m_messages.empty());
    EXPECT_EQ(ToPan1Obj(status), nullptr);
    EXPECT_EQ(ToStatObj(main), nullptr);
    EXPECT_EQ(ToPanel(FindPanel("nothing")), nullptr);
    EXPECT_EQ(facade.m_messages, (std::vector<std::string>{"CPan1Obj failed conversion, fatal",
                                                           "CStatObj failed conversion, fatal",
                                                           "CPanel failed conversion, fatal"}));
}

TEST_F(PanelsTest, ShowingPanelsClosesTheActiveOneFirstAndRebuildsTheSameOne) {
    ShowPanel(IDS_MAIN_PANEL);
    ShowPanel(IDS_MAIN_PANEL);
    ShowPanel(IDS_STATUS_PANEL);
    EXPECT_EQ(log, (std::vector<std::string>{"open main", "destroy main", "open main", "destroy main",
                                             "open status"}));
    EXPECT_EQ(app.m_pActivePanel, app.m_panels[1].get());
    auto* main = static_cast<CPan1Obj*>(app.m_panels[0].get());
    EXPECT_EQ(main->m_pDlg, nullptr);
    // The hidden main panel is not told of new state.
    main->SetGroupPositions({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(log.size(), 5u);
}

TEST_F(PanelsTest, ShownMainPanelIsToldOfTypesEvenWhenNoneChanged) {
    ShowPanel(IDS_MAIN_PANEL);
    auto* main = static_cast<CPan1Obj*>(app.m_panels[0].get());
    main->SetGroupTypes({-1, -2, -3, -1, -1, -1});
    main->SetGroupTypes({4, -1, 0, -1, -1, -1});
    EXPECT_EQ(main->m_nGroupType[0], 4);
    EXPECT_EQ(main->m_nGroupType[1], -3);
    EXPECT_EQ(main->m_nGroupType[2], 0);
    main->SetGroupPositions({-1, 2, -1, -1, -1, 7});
    EXPECT_EQ(main->m_nGroupPos[5], 7);
    EXPECT_EQ(log, (std::vector<std::string>{"open main", "types -3 -3 -3 -3 -3 -3", "types 4 -3 0 -3 -3 -3",
                                             "positions -1 2 -1 -1 -1 7"}));
}

TEST_F(PanelsTest, MainPanelObjectStartsWithDefaults) {
    auto* main = static_cast<CPan1Obj*>(app.m_panels[0].get());
    EXPECT_STREQ(main->m_szLabels[0][kPoleLabel], "Com 0");
    EXPECT_STREQ(main->m_szLabels[5][kPoleLabel], "Com 5");
    EXPECT_STREQ(main->m_szLabels[2][0], "20");
    EXPECT_STREQ(main->m_szLabels[5][5], "55");
    for (int g = 0; g < kGroupCount; ++g) {
        EXPECT_EQ(main->m_nGroupPos[g], -1);
        EXPECT_EQ(main->m_nGroupType[g], -3);
    }
    EXPECT_STREQ(main->m_szTypeName[0], "QZATNA01");
    EXPECT_STREQ(main->m_szTypeName[4], "QZSWTB01");
}
