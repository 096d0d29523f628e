// The live panel on the simulated module, worked with real keys through the X server: the focus goes
// through the tab stops, keys on a focused group switch the module as clicks do, and the focus mark is
// shown only once the keyboard is in use.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include "app/GroupCommands.h"
#include "app/SfpAppData.h"
#include "app/wx/MainWnd.h"
#include "controls/wx/GroupButton.h"
#include "controls/wx/ReadoutButton.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "panels/wx/MainPanelDlg.h"
#include "panels/wx/StatusPanelDlg.h"
#include "platform/CommandIds.h"
#include "platform/FocusMark.h"
#include "platform/wx/Accessibility.h"
#include "platform/wx/Drawing.h"
#include "platform/wx/WindowCapture.h"
#include "resources/ResourceIds.h"
#include "tests/integration/instrument/SimulatedBench.h"
#include "tests/support/GuiTestHelpers.h"

namespace {

// One module for each test, so that no test sees another's switching or fault counts: the simulated
// library reads its bench once per program while a resource manager session is open, and discovery
// keeps one open. The second route close that module 113 receives times out.
const std::string kBench = R"(resources:
  - name: VXI0::112::INSTR
    slot: 3
    module: &module {card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}}
  - name: VXI0::113::INSTR
    slot: 4
    module: *module
    faults: {commands: [{header: "ROUT:CLOS", action: timeout, when: 2}]}
  - {name: VXI0::114::INSTR, slot: 5, module: *module}
  - {name: VXI0::115::INSTR, slot: 6, module: *module}
)";

class KeyboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_bench = new CSimulatedBench("sfp-keyboard");
        s_bench->Use(kBench);
        setenv("RQK4712V_DRIVER_LIBRARY", DRIVER_PATH, 1);
    }
    static void TearDownTestSuite() {
        delete s_bench;
        s_bench = nullptr;
    }

    // Starts the panel on the module at the resource, as the program does.
    void Start(const std::string& resource) {
        ASSERT_TRUE(s_bench->Made());
        m_resource = resource;
        const std::filesystem::path labels = s_bench->Folder() / "none.lbl";
        std::ofstream{labels}; // no labels of its own
        app.TakeCommandLine("/a " + resource + " /l " + labels.string());
        m_window = new CMainWnd();
        wxTheApp->SetTopWindow(m_window);
        SetUpPanels();
        ASSERT_TRUE(WaitUntilShown(m_window));
        ASSERT_TRUE(facade.m_messages.empty()) << facade.m_messages.front();
        m_panel = dynamic_cast<CMainPanelDlg*>(MainPanel()->m_pDlg);
        ASSERT_NE(m_panel, nullptr);
        // The panel gives the focus to its first tab stop, group 1; the window takes the X focus.
        m_window->Raise();
        ASSERT_TRUE(RunUntil([&] { return wxWindow::FindFocus() == Group(1); })) << "no keyboard focus";
    }
    void TearDown() override {
        if (m_window) {
            m_window->Destroy();
        }
        PumpEvents(0);
    }

    CPan1Obj* MainPanel() { return dynamic_cast<CPan1Obj*>(app.m_panels.at(0).get()); }
    CGroupButton* Group(int g) { return m_panel->m_pGroup[g]; }

    // Types one key and waits until the X server has delivered it and the panel has handled it.
    void Key(int code, int modifiers = wxMOD_NONE) {
        wxUIActionSimulator keyboard;
        keyboard.Char(code, modifiers);
        PumpEvents(100);
    }
    bool TabTo(wxWindow* window, int modifiers = wxMOD_NONE) {
        wxWindow* before = wxWindow::FindFocus();
        Key(WXK_TAB, modifiers);
        return RunUntil([&] { return wxWindow::FindFocus() != before; }) && wxWindow::FindFocus() == window;
    }

    // The state file of the simulated module: "closed" and "attenuation", six numbers each.
    std::vector<int> ModuleState(const std::string& what) {
        std::string file = m_resource;
        file.replace(file.find("::"), 2, "__").replace(file.find("::"), 2, "__");
        for (const auto& entry : std::filesystem::directory_iterator(s_bench->Folder() / "state")) {
            if (!entry.path().string().ends_with("." + file + ".state")) {
                continue;
            }
            std::ifstream in(entry.path());
            std::string word;
            while (in >> word) {
                if (word == what) {
                    std::vector<int> values(6);
                    for (int& v : values) {
                        in >> v;
                    }
                    return values;
                }
            }
        }
        return {};
    }

    // The control as the owner drawing draws it afresh, and with the focus mark over it.
    static wxImage Fresh(COwnerDrawButton* control, bool withMark) {
        wxBitmap bitmap(control->GetClientSize(), 24);
        {
            wxMemoryDC dc(bitmap);
            PrepareFreshContext(dc, control->GetFont());
            control->DrawItem(dc, wxRect(bitmap.GetSize()), ODA_DRAWENTIRE, 0);
        }
        wxImage image = bitmap.ConvertToImage();
        if (withMark) {
            for (const PixelPoint& dot : FocusMarkDots(FromWx(bitmap.GetSize()))) {
                image.SetRGB(dot.x, dot.y, 0, 0, 0);
            }
        }
        return image;
    }
    // True once the screen shows the control exactly as the fresh drawing, with or without the mark.
    static bool Shows(COwnerDrawButton* control, bool withMark) {
        const wxImage wanted = Fresh(control, withMark);
        return RunUntil([&] {
            const wxImage screen = CaptureWindow(control);
            return screen.IsOk() && screen.GetSize() == wanted.GetSize() &&
                   memcmp(screen.GetData(), wanted.GetData(), 3u * wanted.GetWidth() * wanted.GetHeight()) ==
                       0;
        });
    }

    static inline CSimulatedBench* s_bench = nullptr;
    std::string m_resource;
    CRecordingFacade facade;
    CSfpAppData app;
    wxWeakRef<CMainWnd> m_window;
    CMainPanelDlg* m_panel = nullptr;
};

TEST_F(KeyboardTest, TabReachesGroupThreeAndRightClosesItsNextContact) {
    ASSERT_NO_FATAL_FAILURE(Start("VXI0::112::INSTR"));
    // Focus given by the program shows no mark.
    EXPECT_TRUE(Shows(Group(1), false));
    // The template's tab order: groups 1, 0, 2, 4, 5, 3. Each group takes the mark as the focus arrives.
    for (int g : {0, 2, 4, 5, 3}) {
        ASSERT_TRUE(TabTo(Group(g))) << "group " << g;
    }
    EXPECT_TRUE(Shows(Group(3), true));
    EXPECT_TRUE(Shows(Group(5), false));
    EXPECT_TRUE(Shows(Group(1), false));

    Key(WXK_RIGHT);
    ASSERT_TRUE(RunUntil([&] { return ModuleState("closed").at(3) == 0; }));
    EXPECT_EQ(MainPanel()->m_nGroupPos[3], 0);
    EXPECT_TRUE(Shows(Group(3), true)); // the new position, drawn afresh, with the mark
    EXPECT_EQ(AccessibleName(Group(3)), "Group 3, four-position switch, contact 0 closed");
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(KeyboardTest, DigitsChooseStepsMissingOnesBeepTimeOutsRestore) {
    ASSERT_NO_FATAL_FAILURE(Start("VXI0::113::INSTR"));
    ASSERT_TRUE(TabTo(Group(0)));
    Key('5');
    ASSERT_TRUE(RunUntil([&] { return ModuleState("attenuation").at(0) == 5; }));
    EXPECT_EQ(MainPanel()->m_nGroupPos[0], 5);

    Group(3)->SetFocus();
    ASSERT_TRUE(RunUntil([&] { return wxWindow::FindFocus() == Group(3); }));
    Key('7'); // a four-position switch has no contact 7
    ASSERT_TRUE(RunUntil([&] { return facade.m_beeps == 1; }));
    Key('2');
    ASSERT_TRUE(RunUntil([&] { return ModuleState("closed").at(3) == 2; }));
    EXPECT_TRUE(facade.m_messages.empty()); // the 7 sent nothing the module refused

    Key(WXK_UP); // the module's second route close times out: the position goes back
    ASSERT_TRUE(RunUntil([&] { return !facade.m_messages.empty(); }));
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Time Out !"});
    EXPECT_EQ(Group(3)->m_nPos, 2);
    EXPECT_EQ(MainPanel()->m_nGroupPos[3], 2);
    EXPECT_EQ(ModuleState("closed").at(3), 2);
    EXPECT_EQ(facade.m_waitDepth, 0);
}

TEST_F(KeyboardTest, PointerAloneMovesNoFocusAndDrawsNoMark) {
    ASSERT_NO_FATAL_FAILURE(Start("VXI0::114::INSTR"));
    wxUIActionSimulator pointer;
    const wxPoint contact = Group(4)->ClientToScreen(
        wxPoint(Group(4)->m_rcElem[3].GetLeft() + 3, Group(4)->m_rcElem[3].GetTop() + 3));
    pointer.MouseMove(contact);
    ASSERT_TRUE(RunUntil([&] { return wxGetMousePosition() == contact; }));
    pointer.MouseClick();
    ASSERT_TRUE(RunUntil([&] { return ModuleState("closed").at(4) == 3; }));
    EXPECT_EQ(wxWindow::FindFocus(), Group(1));
    EXPECT_TRUE(Shows(Group(4), false));
    EXPECT_TRUE(Shows(Group(1), false));
}

TEST_F(KeyboardTest, F5RefreshesAndTheStatusPanelHasTabStops) {
    ASSERT_NO_FATAL_FAILURE(Start("VXI0::115::INSTR"));
    app.m_pInstrument->CloseRoute(142); // behind the panel's back
    Key(WXK_F5);
    ASSERT_TRUE(RunUntil([&] { return MainPanel()->m_nGroupPos[4] == 2; }));

    m_window->OnStatusPanel();
    auto* status = dynamic_cast<CStatusPanelDlg*>(dynamic_cast<CStatObj*>(app.m_panels.at(1).get())->m_pDlg);
    ASSERT_NE(status, nullptr);
    wxWindow* readErrors = wxWindow::FindWindowById(WxId(IDC_READ_ERROR_QUEUE), status);
    wxWindow* opc = wxWindow::FindWindowById(WxId(IDC_OPC), status);
    ASSERT_TRUE(RunUntil([&] { return wxWindow::FindFocus() == readErrors; }));
    ASSERT_TRUE(TabTo(opc));
    ASSERT_TRUE(TabTo(status->m_pStatusByte));
    EXPECT_TRUE(Shows(status->m_pStatusByte, true));
    Key(WXK_SPACE); // presses the status byte read-out
    EXPECT_TRUE(RunUntil([&] { return status->m_pStatusByte->m_strText != "*"; }));
    ASSERT_TRUE(TabTo(opc, wxMOD_SHIFT));
    Key(WXK_ESCAPE);
    EXPECT_TRUE(RunUntil([&] { return !status->IsShown(); }));

    m_window->OnMainPanel();
    m_panel = dynamic_cast<CMainPanelDlg*>(MainPanel()->m_pDlg);
    EXPECT_TRUE(RunUntil([&] { return wxWindow::FindFocus() == Group(1); }));
}

} // namespace
