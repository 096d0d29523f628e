#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "app/wx/MainWnd.h"
#include "controls/wx/GroupButton.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "panels/wx/MainPanelDlg.h"
#include "panels/wx/StatusPanelDlg.h"
#include "platform/CommandIds.h"
#include "platform/wx/TemplateBuilder.h"
#include "platform/wx/WindowEvents.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "tests/support/GuiTestHelpers.h"

namespace {

// A panel that counts its periodic updates into a shared log and can send the main window another timer
// from inside one.
class CCountingPanel : public CPanel {
public:
    CCountingPanel(std::string name, std::vector<std::string>* log) : CPanel(std::move(name)), m_log(log) {}
    void PeriodicUpdate() override {
        m_log->push_back(m_strName);
        if (m_nestedTarget != nullptr) {
            wxTimerEvent nested(m_timer);
            m_nestedTarget->ProcessWindowEvent(nested);
        }
    }
    std::vector<std::string>* m_log;
    wxWindow* m_nestedTarget = nullptr;
    wxTimer m_timer;
};

class MainWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No VISA library: start-up runs on the non-live instrument after its one message.
        setenv("RQK4712V_VISA_LIBRARY", "/nonexistent/libvisa.so", 1);
        window = new CMainWnd();
        wxTheApp->SetTopWindow(window);
        SetUpPanels();
        EXPECT_EQ(facade.m_messages,
                  std::vector<std::string>{"Could not find VISA.DLL.  Creating non live panel."});
        facade.m_messages.clear();
        facade.m_log.clear();
    }
    void TearDown() override {
        if (window) {
            window->Destroy();
        }
        PumpEvents(0);
        SetPanelWindowFactories(nullptr, nullptr);
    }
    CPan1Obj* MainPanel() { return dynamic_cast<CPan1Obj*>(app.m_panels.at(0).get()); }
    CStatObj* StatusPanel() { return dynamic_cast<CStatObj*>(app.m_panels.at(1).get()); }

    CDestroyingFacade facade;
    CSfpAppData app;
    wxWeakRef<CMainWnd> window;
};

TEST(MainWndPlace, CentredOnTheDesktopTruncatingTowardZero) {
    EXPECT_EQ(CMainWnd::WindowRect(wxSize(1024, 768)), wxRect(311, 182, 402, 404));
    EXPECT_EQ(CMainWnd::WindowRect(wxSize(1280, 1024)), wxRect(439, 310, 402, 404));
    // Narrower than the window: (300 - 402) / 2 = -51 and (301 - 404) / 2 = -51 (not -52).
    EXPECT_EQ(CMainWnd::WindowRect(wxSize(300, 301)), wxRect(-51, -51, 402, 404));
}

TEST(MainWndFrame, SizeStyleTitleAndMenu) {
    CRecordingFacade facade;
    CSfpAppData app;
    wxWeakRef<CMainWnd> window = new CMainWnd();
    EXPECT_TRUE(window->IsShown());
    EXPECT_EQ(window->GetRect(), CMainWnd::WindowRect(wxGetDisplaySize()));
    EXPECT_EQ(window->GetTitle(), "RQK4712V");
    EXPECT_TRUE(window->HasFlag(wxCAPTION));
    EXPECT_TRUE(window->HasFlag(wxSYSTEM_MENU));
    EXPECT_TRUE(window->HasFlag(wxMINIMIZE_BOX));
    EXPECT_FALSE(window->HasFlag(wxRESIZE_BORDER));
    EXPECT_FALSE(window->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_EQ(window->GetStatusBar(), nullptr);
    EXPECT_EQ(window->GetToolBar(), nullptr);

    // The menu bar, entry by entry: texts with their access keys, the separator, and the commands.
    wxMenuBar* bar = window->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    std::vector<std::string> seen;
    for (size_t m = 0; m < bar->GetMenuCount(); ++m) {
        seen.push_back("menu " + std::string(bar->GetMenuLabel(m).utf8_str()));
        for (wxMenuItem* item : bar->GetMenu(m)->GetMenuItems()) {
            if (item->IsSeparator()) {
                seen.push_back("separator");
            } else {
                seen.push_back(std::string(item->GetItemLabel().utf8_str()) + " " +
                               std::to_string(SystemNumber(item->GetId())));
            }
        }
    }
    const std::vector<std::string> expected = {
        "menu &System",         "&Reset 32774", "Re&fresh\tF5 32772", "Self &Test 32771", "&Config 32779",
        "E&xit 32773",          "menu &Panels", "&Main Panel 32777",  "&Status  32778",   "menu &Help",
        "&Help Contents 32775", "separator",    "&About... 32776"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(expected.size(), MainMenu().size()) << "the test walks every entry of the menu table";
    window->Destroy();
    PumpEvents(0);
    EXPECT_EQ(window.get(), nullptr);
}

TEST_F(MainWndTest, StartUpShowsTheMainPanelAndFitsTheWindowToIt) {
    ASSERT_EQ(app.m_panels.size(), 2u);
    EXPECT_EQ(app.m_pActivePanel, MainPanel());
    auto* dlg = dynamic_cast<CMainPanelDlg*>(MainPanel()->m_pDlg);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetParent(), window.get());
    EXPECT_EQ(dlg->m_pPanel, MainPanel());
    const DialogTemplate& t = *FindDialogTemplate(IDD_MAIN_PANEL);
    const wxSize panelSize = DialogToPixels(TemplateBaseUnits(dlg), 0, 0, t.cx, t.cy).GetSize();
    EXPECT_EQ(dlg->GetClientSize(), panelSize);
    EXPECT_EQ(dlg->GetPosition(), wxPoint(0, 0));
    EXPECT_EQ(window->GetSize().x, panelSize.x) << "outer width = the panel's width";
    EXPECT_EQ(window->GetClientSize().y, panelSize.y) << "client height = the panel's height";
    EXPECT_EQ(window->GetPosition(), CMainWnd::WindowRect(wxGetDisplaySize()).GetPosition()) << "not moved";
}

TEST_F(MainWndTest, ChoosingTheShownPanelRebuildsItAndKeepsItsState) {
    MainPanel()->m_nGroupPos[2] = 4;
    wxWeakRef<CMainPanelDlg> first = dynamic_cast<CMainPanelDlg*>(MainPanel()->m_pDlg);
    ASSERT_TRUE(first);
    EXPECT_TRUE(SendCommand(window, ID_MAIN_PANEL));
    EXPECT_EQ(first.get(), nullptr) << "the old window is gone";
    auto* second = dynamic_cast<CMainPanelDlg*>(MainPanel()->m_pDlg);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_pGroup[2]->m_nPos, 4);
    EXPECT_EQ(app.m_pActivePanel, MainPanel());
    int panelWindows = 0;
    for (wxWindow* child : window->GetChildren()) {
        panelWindows += dynamic_cast<CPanelWindow*>(child) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(panelWindows, 1);
}

TEST_F(MainWndTest, StatusPanelTakesThePlaceOfTheMainPanel) {
    wxWeakRef<CMainPanelDlg> main = dynamic_cast<CMainPanelDlg*>(MainPanel()->m_pDlg);
    EXPECT_TRUE(SendCommand(window, ID_STATUS_PANEL));
    EXPECT_EQ(main.get(), nullptr);
    EXPECT_EQ(MainPanel()->m_pDlg, nullptr);
    auto* status = dynamic_cast<CStatusPanelDlg*>(StatusPanel()->m_pDlg);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(app.m_pActivePanel, StatusPanel());
    const DialogTemplate& t = *FindDialogTemplate(IDD_STATUS_PANEL);
    const wxSize panelSize = DialogToPixels(TemplateBaseUnits(status), 0, 0, t.cx, t.cy).GetSize();
    EXPECT_EQ(window->GetSize().x, panelSize.x);
    EXPECT_EQ(window->GetClientSize().y, panelSize.y);
    EXPECT_TRUE(SendCommand(window, ID_MAIN_PANEL));
    EXPECT_EQ(StatusPanel()->m_pDlg, nullptr);
    EXPECT_NE(MainPanel()->m_pDlg, nullptr);
}

TEST_F(MainWndTest, BadPanelNameShowsTheFatalMessageAndEndsTheProgram) {
    MainPanel()->m_strName = "main panel"; // the lookup is case-sensitive
    SendCommand(window, ID_MAIN_PANEL);
    ASSERT_EQ(facade.m_messages.size(), 1u);
    EXPECT_EQ(facade.m_messages[0], "CPan1Obj failed conversion, fatal");
    EXPECT_TRUE(facade.m_mainWindowDestroyed);
    PumpEvents(0);
    EXPECT_EQ(window.get(), nullptr);
    EXPECT_TRUE(app.m_panels.empty()) << "destroying the main window released the panels";
    EXPECT_EQ(app.m_pInstrument, nullptr);
}

TEST_F(MainWndTest, TimerArrivingDuringTimerHandlingIsDropped) {
    std::vector<std::string> log;
    auto first = std::make_unique<CCountingPanel>("first", &log);
    first->m_nestedTarget = window;
    app.m_panels.push_back(std::move(first));
    app.m_panels.push_back(std::make_unique<CCountingPanel>("second", &log));

    wxTimer timer(window);
    wxTimerEvent tick(timer);
    window->ProcessWindowEvent(tick);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"})) << "the nested timer was handled";
    EXPECT_EQ(window->m_bInTimer, 0);
    EXPECT_TRUE(facade.m_messages.empty());

    // The guard is down again: the next timer is handled.
    window->ProcessWindowEvent(tick);
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(MainWndTest, TimerReportsAnEntryThatIsNoPanel) {
    app.m_panels.push_back(std::make_unique<CSFPObject>("stray"));
    wxTimer timer(window);
    wxTimerEvent tick(timer);
    window->ProcessWindowEvent(tick);
    ASSERT_EQ(facade.m_messages.size(), 1u);
    EXPECT_EQ(facade.m_messages[0], "CPanel failed conversion, fatal");
    EXPECT_EQ(window->m_bInTimer, 0);
}

TEST_F(MainWndTest, ExitReleasesThePanelObjectsAndTheInstrument) {
    app.m_resourceName = "VXI0::112::INSTR";
    ASSERT_NE(app.m_pInstrument, nullptr);
    EXPECT_TRUE(SendCommand(window, ID_EXIT));
    PumpEvents(0);
    EXPECT_EQ(window.get(), nullptr);
    EXPECT_TRUE(app.m_panels.empty());
    EXPECT_EQ(app.m_pInstrument, nullptr);
    EXPECT_TRUE(app.m_resourceName.empty());
    EXPECT_TRUE(app.m_labelsFileName.empty());
    EXPECT_TRUE(facade.m_messages.empty()) << "no question to the operator";
}

TEST_F(MainWndTest, ResetMessageAndRefreshCommandReachTheWindow) {
    EXPECT_TRUE(SendWindowMessage(window, WM_USER_RESET));
    EXPECT_FALSE(SendWindowMessage(window, WM_USER_RESET + 1)) << "other messages are not handled";
    EXPECT_TRUE(SendCommand(window, ID_REFRESH));
    EXPECT_TRUE(SendCommand(window, ID_RESET));
    EXPECT_TRUE(SendCommand(window, ID_SELF_TEST));
    EXPECT_TRUE(SendCommand(window, ID_CONFIG));
    EXPECT_NE(MainPanel()->m_pDlg, nullptr);
}

TEST_F(MainWndTest, HelpOpensTheBookOrSaysItCannot) {
    const char* bin = std::getenv("SFP_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    EXPECT_FALSE(window->OpenHelp("/nonexistent/rqk4712v.hhp"));
    ASSERT_EQ(facade.m_messages.size(), 1u);
    EXPECT_EQ(facade.m_messages[0], "Cannot open the help file /nonexistent/rqk4712v.hhp.");
    EXPECT_TRUE(window->OpenHelp(wxString::FromUTF8(bin) + "/help/rqk4712v.hhp"));
    EXPECT_EQ(facade.m_messages.size(), 1u);
}

TEST_F(MainWndTest, BothHelpCommandsLookForTheBookBesideTheProgram) {
    // The test program has no help folder beside it, so each command reports the book it looked for.
    const std::string expected =
        "Cannot open the help file " + std::string(CMainWnd::HelpBookFile().utf8_str()) + ".";
    EXPECT_TRUE(SendCommand(window, ID_HELP_CONTENTS));
    EXPECT_TRUE(SendCommand(window, ID_HELP_INDEX));
    EXPECT_EQ(facade.m_messages, (std::vector<std::string>{expected, expected}));
    EXPECT_NE(expected.find("/help/rqk4712v.hhp"), std::string::npos);
}

} // namespace
