#include <gtest/gtest.h>

#include "app/SfpAppData.h"
#include "panels/Pan1Obj.h"
#include "panels/StatObj.h"
#include "tests/support/RecordingFacade.h"

namespace {

TEST(SfpAppData, StartedFromTheMenuTheDefaultLabelsFileIsInTheSettingsFolder) {
    CSfpAppData app;
    setenv("XDG_CONFIG_HOME", "/x/cfg", 1);
    app.TakeCommandLine("--from-menu /l rack.lbl");
    EXPECT_EQ(app.m_labelsFileName, "rack.lbl");
    EXPECT_EQ(app.m_defaultLabelsFileName, "/x/cfg/rqk4712v-sfp/rqk4712v.lbl");
    app.TakeCommandLine("");
    EXPECT_EQ(app.m_labelsFileName, "rqk4712v.lbl");
    unsetenv("XDG_CONFIG_HOME");
}

TEST(SfpAppData, ReleaseResourcesDeletesPanelsAndInstrument) {
    CRecordingFacade facade;
    CSfpAppData app;
    app.m_panels.push_back(std::make_unique<CPan1Obj>());
    app.m_panels.push_back(std::make_unique<CStatObj>());
    app.m_resourceName = "VXI0::112::INSTR";
    app.m_labelsFileName = "x.lbl";
    app.ConnectInstrument();
    EXPECT_EQ(facade.m_waitDepth, 0);
    EXPECT_EQ(app.m_indicatorColor, PanelColor(kPanelDarkGrey));
    ASSERT_TRUE(app.m_pInstrument);
    EXPECT_FALSE(app.ConnectInstrument()); // an instrument exists already
    app.ReleaseResources();
    EXPECT_TRUE(app.m_panels.empty());
    EXPECT_FALSE(app.m_pInstrument);
    EXPECT_EQ(app.m_resourceName, "");
    EXPECT_EQ(app.m_labelsFileName, "");
}

} // namespace
