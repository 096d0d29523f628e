// The status panel in the main window: its controls and colours, the three buttons against the non-live
// and the scripted instrument, failures reported once, and Escape hiding it until Panels > Status
// builds a fresh one.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/imagpng.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "app/wx/MainWnd.h"
#include "controls/wx/ReadoutButton.h"
#include "instrument/DriverInstrument.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "panels/wx/DisplayField.h"
#include "panels/wx/StatusPanelDlg.h"
#include "platform/CommandIds.h"
#include "platform/wx/TemplateBuilder.h"
#include "platform/wx/WindowCapture.h"
#include "platform/wx/WindowEvents.h"
#include "resources/ResourceIds.h"
#include "tests/support/GuiTestHelpers.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

constexpr std::int32_t kSomeDriverFailure = VI_ERROR_SYSTEM_ERROR; // neither time-out nor queue

class StatusPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No VISA library: start-up runs on the non-live instrument after its one message.
        setenv("RQK4712V_VISA_LIBRARY", "/nonexistent/libvisa.so", 1);
        window = new CMainWnd();
        wxTheApp->SetTopWindow(window);
        SetUpPanels();
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

    // Replaces the non-live instrument by a scripted one.
    CScriptedInstrument& UseScriptedInstrument() {
        auto scripted = std::make_unique<CScriptedInstrument>();
        CScriptedInstrument& ref = *scripted;
        app.m_pInstrument = std::move(scripted);
        return ref;
    }

    CStatObj* StatusObject() { return ToStatObj(FindPanel(IDS_STATUS_PANEL)); }
    CStatusPanelDlg* OpenStatusPanel() {
        EXPECT_TRUE(SendCommand(window, ID_STATUS_PANEL));
        return Shown();
    }
    CStatusPanelDlg* Shown() { return dynamic_cast<CStatusPanelDlg*>(StatusObject()->m_pDlg); }

    // Clicks a button of the panel as the button itself reports a click: a command event that travels
    // up from the button to the panel.
    static void Press(CStatusPanelDlg* dlg, int item) {
        wxWindow* button = TemplateItemWindow(dlg, item);
        ASSERT_NE(button, nullptr) << item;
        wxCommandEvent click(wxEVT_BUTTON, WxId(item));
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
    }
    static std::pair<std::string, std::string> Reading(CStatusPanelDlg* dlg) {
        return {dlg->m_pNumberField->m_strText, dlg->m_pMessageField->m_strText};
    }

    CDestroyingFacade facade;
    CSfpAppData app;
    wxWeakRef<CMainWnd> window;
};

TEST_F(StatusPanelTest, BuildsItsControlsInTheirColoursAndFitsTheMainWindow) {
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(app.m_pActivePanel, StatusObject());
    EXPECT_EQ(dlg->m_pPanel, StatusObject());

    // Every read-out stands on its item, in the item's rectangle.
    const std::vector<std::pair<int, wxWindow*>> attached = {
        {IDC_STATUS_TITLE, dlg->m_pTitle},         {IDC_ERROR_BOX, dlg->m_pErrorBox},
        {IDC_LOWER_BOX, dlg->m_pLowerBox},         {IDC_ERROR_NUMBER, dlg->m_pNumberField},
        {IDC_ERROR_MESSAGE, dlg->m_pMessageField}, {IDC_STATUS_BYTE, dlg->m_pStatusByte}};
    for (const auto& [item, control] : attached) {
        ASSERT_NE(control, nullptr) << item;
        EXPECT_EQ(TemplateItemWindow(dlg, item), control) << item;
        EXPECT_EQ(control->GetRect(), TemplateItemRect(dlg, item)) << item;
        EXPECT_EQ(control->GetParent(), dlg) << item;
    }

    const COLORREF shadow = PanelColor(kPanelShadow);
    const COLORREF highlight = PanelColor(kPanelHighlight);
    ASSERT_NE(shadow, highlight) << "sunken and raised must be told apart";
    EXPECT_EQ(dlg->m_pTitle->m_crBack, RGB(0, 128, 128));
    EXPECT_EQ(dlg->m_pTitle->m_crText, RGB(0, 0, 0));
    EXPECT_EQ(dlg->m_pTitle->m_crEdge1, shadow);
    EXPECT_EQ(dlg->m_pTitle->m_strText, "Status Panel");
    for (CDisplayField* frame : {dlg->m_pErrorBox, dlg->m_pLowerBox}) {
        EXPECT_EQ(frame->m_crBack, RGB(192, 192, 192));
        EXPECT_EQ(frame->m_crEdge1, highlight) << "raised: the edge colours exchanged";
        EXPECT_EQ(frame->m_crEdge2, shadow);
        EXPECT_EQ(frame->m_strText, "");
    }
    for (CDisplayField* field : {dlg->m_pNumberField, dlg->m_pMessageField}) {
        EXPECT_EQ(field->m_crBack, RGB(255, 255, 255));
        EXPECT_EQ(field->m_crText, RGB(0, 0, 0));
        EXPECT_EQ(field->m_crEdge1, shadow);
        EXPECT_EQ(field->m_crEdge2, highlight);
        EXPECT_EQ(field->m_strText, "");
    }
    EXPECT_EQ(dlg->m_pStatusByte->m_crBack, RGB(255, 255, 255));
    EXPECT_EQ(dlg->m_pStatusByte->m_crEdge1, shadow);
    EXPECT_EQ(dlg->m_pStatusByte->m_crEdge2, highlight);
    EXPECT_EQ(dlg->m_pStatusByte->m_pFont, nullptr);
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "*");

    // The main window is fitted to the panel: outer width = panel width, client height = panel height.
    EXPECT_EQ(window->GetSize().x, dlg->GetClientSize().x);
    EXPECT_EQ(window->GetClientSize().y, dlg->GetClientSize().y);
}

TEST_F(StatusPanelTest, NonLiveInstrumentAnswersZeroAndNoneAndOpcShowsNothing) {
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    Press(dlg, IDC_OPC);
    EXPECT_EQ(Reading(dlg), std::make_pair(std::string(), std::string()));
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "*");

    Press(dlg, IDC_READ_ERROR_QUEUE);
    EXPECT_EQ(Reading(dlg), std::make_pair(std::string("0"), std::string("None")));
    Press(dlg, IDC_STATUS_BYTE);
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "0");
    EXPECT_TRUE(facade.m_messages.empty());
}

TEST_F(StatusPanelTest, ReadsTheErrorQueueOneEntryPerPressInOrder) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    instrument.m_errors = {{-113, "Undefined header"}, {-222, "Data out of range"}, {2147483647, "Big"}};
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);

    std::vector<std::pair<std::string, std::string>> seen;
    for (int press = 0; press < 4; ++press) {
        Press(dlg, IDC_READ_ERROR_QUEUE);
        seen.push_back(Reading(dlg));
    }
    EXPECT_EQ(seen[0], std::make_pair(std::string("-113"), std::string("Undefined header")));
    EXPECT_EQ(seen[1], std::make_pair(std::string("-222"), std::string("Data out of range")));
    EXPECT_EQ(seen[2], std::make_pair(std::string("2147483647"), std::string("Big")));
    EXPECT_EQ(seen[3].first, "0") << "an empty queue reads code 0";
    EXPECT_EQ(instrument.m_calls, std::vector<std::string>(4, "ErrorQuery"));
    EXPECT_TRUE(facade.m_messages.empty());
}

TEST_F(StatusPanelTest, FailedErrorQueryShowsWhatTheQueryLeft) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    instrument.m_errors = {{-113, "Undefined header"}};
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    Press(dlg, IDC_READ_ERROR_QUEUE);
    // A query that fails inside leaves code 0 and an empty message; the old reading is replaced.
    instrument.FailOn("ErrorQuery", kSomeDriverFailure);
    Press(dlg, IDC_READ_ERROR_QUEUE);
    EXPECT_EQ(Reading(dlg), std::make_pair(std::string("0"), std::string()));
}

TEST_F(StatusPanelTest, FailingStatusByteKeepsTheShownValueAndIsReportedOnce) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    instrument.m_statusByte = 96;
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);

    instrument.FailOn("ReadStatusByte", kSomeDriverFailure);
    Press(dlg, IDC_STATUS_BYTE);
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "*");
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"API failure."});

    Press(dlg, IDC_STATUS_BYTE);
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "96");

    // A failure after a reading keeps that reading.
    instrument.m_statusByte = 4;
    instrument.FailOn("ReadStatusByte", kSomeDriverFailure);
    Press(dlg, IDC_STATUS_BYTE);
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "96");
    EXPECT_EQ(facade.m_messages.size(), 2u);
    EXPECT_EQ(Reading(dlg), std::make_pair(std::string(), std::string())) << "other read-outs untouched";
}

TEST_F(StatusPanelTest, OpcQueryAsksTheModuleAndReportsAFailure) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    Press(dlg, IDC_OPC);
    EXPECT_EQ(instrument.m_calls, std::vector<std::string>{"QueryOpc"});
    EXPECT_TRUE(facade.m_messages.empty());

    // The module's own complaint: the report reads the module's queue.
    instrument.m_errors = {{-410, "Query INTERRUPTED"}};
    instrument.FailOn("QueryOpc", kStatusInstrumentError);
    Press(dlg, IDC_OPC);
    ASSERT_EQ(facade.m_messages.size(), 1u);
    EXPECT_NE(facade.m_messages[0].find("Query INTERRUPTED"), std::string::npos) << facade.m_messages[0];
    EXPECT_EQ(Reading(dlg), std::make_pair(std::string(), std::string()));
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "*");
}

TEST_F(StatusPanelTest, EscapeHidesThePanelAndPanelsStatusBuildsAFreshOne) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    instrument.m_errors = {{-113, "Undefined header"}};
    instrument.m_statusByte = 16;
    wxWeakRef<CStatusPanelDlg> first = OpenStatusPanel();
    ASSERT_TRUE(first);
    ASSERT_TRUE(WaitUntilShown(first));
    Press(first, IDC_READ_ERROR_QUEUE);
    Press(first, IDC_STATUS_BYTE);
    ASSERT_EQ(first->m_pStatusByte->m_strText, "16");

    // Escape pressed with the focus in the panel, as the key reaches the focused control.
    wxWindow* focused = TemplateItemWindow(first, IDC_READ_ERROR_QUEUE);
    focused->SetFocus();
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(focused);
    focused->ProcessWindowEvent(escape);
    PumpEvents();
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->IsShown());
    EXPECT_EQ(StatusObject()->m_pDlg, static_cast<CPanelWindow*>(first.get())) << "the hidden window stays";
    EXPECT_EQ(app.m_pActivePanel, StatusObject());

    CStatusPanelDlg* fresh = OpenStatusPanel();
    PumpEvents();
    EXPECT_FALSE(first) << "the hidden window is destroyed";
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->IsShown());
    EXPECT_EQ(fresh->m_pStatusByte->m_strText, "*");
    EXPECT_EQ(Reading(fresh), std::make_pair(std::string(), std::string()));
}

TEST_F(StatusPanelTest, EnterOnAButtonPressesItAndElsewhereHidesThePanel) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    instrument.m_errors = {{-113, "Undefined header"}};
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(WaitUntilShown(dlg));
    window->Raise();
    PumpEvents(100);
    // The panel opens with the focus on Read Error Queue: a real Enter presses it.
    ASSERT_EQ(wxWindow::FindFocus(), TemplateItemWindow(dlg, IDC_READ_ERROR_QUEUE));
    wxUIActionSimulator keyboard;
    keyboard.Char(WXK_RETURN);
    PumpEvents(200);
    EXPECT_EQ(Reading(dlg), std::make_pair(std::string("-113"), std::string("Undefined header")));
    EXPECT_TRUE(dlg->IsShown());

    // With the focus on a control that is no push button, Enter is the panel's OK.
    dlg->m_pStatusByte->SetFocus();
    PumpEvents(100);
    ASSERT_EQ(wxWindow::FindFocus(), dlg->m_pStatusByte);
    keyboard.Char(WXK_RETURN);
    PumpEvents(200);
    EXPECT_FALSE(dlg->IsShown());
    EXPECT_EQ(StatusObject()->m_pDlg, static_cast<CPanelWindow*>(dlg));
    EXPECT_EQ(instrument.m_calls, std::vector<std::string>{"ErrorQuery"});
}

TEST_F(StatusPanelTest, ClosingThePanelDeletesItsControlsWithIt) {
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    wxWeakRef<CDisplayField> title = dlg->m_pTitle;
    wxWeakRef<CReadoutButton> statusByte = dlg->m_pStatusByte;
    SendCommand(window, ID_MAIN_PANEL);
    PumpEvents();
    EXPECT_EQ(StatusObject()->m_pDlg, nullptr);
    EXPECT_FALSE(title);
    EXPECT_FALSE(statusByte);
}

TEST_F(StatusPanelTest, RealClickOnTheStatusByteReadsIt) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    instrument.m_statusByte = 64;
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(WaitUntilShown(dlg));
    wxUIActionSimulator mouse;
    const wxRect r = dlg->m_pStatusByte->GetScreenRect();
    mouse.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    PumpEvents();
    mouse.MouseClick();
    PumpEvents(200);
    EXPECT_EQ(dlg->m_pStatusByte->m_strText, "64");
    EXPECT_EQ(instrument.m_calls, std::vector<std::string>{"ReadStatusByte"});
}

TEST_F(StatusPanelTest, RealEscapeKeyAfterOpeningFromTheMenuHidesThePanel) {
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(WaitUntilShown(dlg));
    window->Raise();
    PumpEvents(100);
    EXPECT_EQ(wxWindow::FindFocus(), TemplateItemWindow(dlg, IDC_READ_ERROR_QUEUE));
    wxUIActionSimulator keyboard;
    keyboard.Char(WXK_ESCAPE);
    PumpEvents(200);
    EXPECT_FALSE(dlg->IsShown());
    EXPECT_EQ(StatusObject()->m_pDlg, static_cast<CPanelWindow*>(dlg));
}

TEST_F(StatusPanelTest, OnScreenThePanelShowsItsColoursAndReadings) {
    CScriptedInstrument& instrument = UseScriptedInstrument();
    instrument.m_errors = {{-113, "Undefined header"}};
    instrument.m_statusByte = 16;
    CStatusPanelDlg* dlg = OpenStatusPanel();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(WaitUntilShown(dlg));
    Press(dlg, IDC_READ_ERROR_QUEUE);
    Press(dlg, IDC_STATUS_BYTE);
    PumpEvents(200);
    const wxImage shot = CaptureWindow(window);
    ASSERT_TRUE(shot.IsOk());
    // The picture is kept for a look at the panel (SFP_SCREENSHOT_DIR, else the temporary folder).
    const char* folder = getenv("SFP_SCREENSHOT_DIR");
    const wxString file = wxFileName(folder != nullptr ? wxString(folder) : wxFileName::GetTempDir(),
                                     "rqk4712v-status-panel.png")
                              .GetFullPath();
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    EXPECT_TRUE(shot.SaveFile(file, wxBITMAP_TYPE_PNG)) << file;

    const wxPoint origin = window->GetScreenPosition();
    auto pixel = [&](wxWindow* w, int x, int y) {
        return PixelAt(shot, w->ClientToScreen(wxPoint(x, y)).x - origin.x,
                       w->ClientToScreen(wxPoint(x, y)).y - origin.y);
    };
    const wxSize panel = dlg->GetClientSize();
    EXPECT_EQ(pixel(dlg, 2, panel.y - 3), wxColour(64, 64, 64)) << "the panel's ground";
    EXPECT_EQ(pixel(dlg, panel.x - 3, panel.y / 2), wxColour(64, 64, 64));
    EXPECT_EQ(pixel(dlg->m_pTitle, 4, 4), wxColour(0, 128, 128)) << "the title band";
    EXPECT_EQ(pixel(dlg->m_pLowerBox, 6, dlg->m_pLowerBox->GetClientSize().y / 2), wxColour(192, 192, 192));
    EXPECT_EQ(pixel(dlg->m_pNumberField, 3, 3), wxColour(255, 255, 255));
    EXPECT_EQ(pixel(dlg->m_pStatusByte, 3, 3), wxColour(255, 255, 255));
    // The reading is drawn: the number field holds dark text pixels.
    int dark = 0;
    const wxSize number = dlg->m_pNumberField->GetClientSize();
    for (int x = 2; x < number.x - 2; ++x) {
        for (int y = 2; y < number.y - 2; ++y) {
            dark += pixel(dlg->m_pNumberField, x, y).Red() < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 5);
}

} // namespace
