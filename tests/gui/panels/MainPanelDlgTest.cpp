// The main panel window: what it builds on template 103, the identification fields, the six group
// controls, how it takes new positions and types, and that the keyboard cannot close it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/weakref.h>

#include "app/SfpAppData.h"
#include "controls/LampGeometry.h"
#include "controls/wx/BitmapStatic.h"
#include "controls/wx/GroupButton.h"
#include "controls/wx/LampButton.h"
#include "instrument/DriverInstrument.h"
#include "instrument/NonLiveInstrument.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "panels/StatObj.h"
#include "panels/wx/DisplayField.h"
#include "panels/wx/MainPanelDlg.h"
#include "platform/CommandIds.h"
#include "platform/UserException.h"
#include "platform/wx/Drawing.h"
#include "platform/wx/TemplateBuilder.h"
#include "platform/wx/WindowCapture.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "tests/support/GuiTestHelpers.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

// A scripted instrument whose card number query can fail as a driver call does: it stores the status
// and raises the user exception.
class CFailingCardInstrument : public CScriptedInstrument {
public:
    short GetCardNumber() override {
        if (m_failCard) {
            m_lastStatus = m_failStatus;
            throw CUserException();
        }
        return CScriptedInstrument::GetCardNumber();
    }
    bool m_failCard = false;
    std::int32_t m_failStatus = kStatusTimeOut;
};

const wxColour kGreen(0, 255, 0);
const wxColour kDarkGrey(64, 64, 64);
const wxColour kLightGrey(192, 192, 192);
const wxColour kTeal(0, 128, 128);

class MainPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        labelsFile = std::filesystem::temp_directory_path() /
                     ("mainpanel-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".lbl");
        auto scripted = std::make_unique<CFailingCardInstrument>();
        instrument = scripted.get();
        instrument->m_labelsFileName = labelsFile.string();
        std::ofstream{labelsFile}; // no labels of its own
        app.m_pInstrument = std::move(scripted);
        app.m_indicatorColor = RGB(0, 255, 0);
        frame = new wxFrame(nullptr, wxID_ANY, "main panel", wxPoint(30, 30), wxSize(300, 400));
        // The panel keeps its template size, as in the main window.
        frame->Bind(wxEVT_SIZE, [](wxSizeEvent&) {});
        SetPanelWindowFactories([this](CPan1Obj* panel) { return new CMainPanelDlg(frame, panel); }, nullptr);
    }
    void TearDown() override {
        if (frame) {
            frame->Destroy();
        }
        PumpEvents(0);
        SetPanelWindowFactories(nullptr, nullptr);
        std::filesystem::remove(labelsFile);
    }

    // Creates the two panel objects (the main-panel object reads the labels file) and opens the main
    // panel in the frame.
    CMainPanelDlg* Open() {
        app.m_panels.push_back(std::make_unique<CPan1Obj>());
        app.m_panels.push_back(std::make_unique<CStatObj>());
        return Reopen();
    }
    // Opens the main panel again: a new window built from the main-panel object.
    CMainPanelDlg* Reopen() {
        ShowPanel(IDS_MAIN_PANEL);
        return dynamic_cast<CMainPanelDlg*>(MainPanel()->m_pDlg);
    }
    CPan1Obj* MainPanel() { return dynamic_cast<CPan1Obj*>(app.m_panels.at(0).get()); }
    int Count(const std::string& call) const {
        return static_cast<int>(std::count(instrument->m_calls.begin(), instrument->m_calls.end(), call));
    }

    static inline int counter = 0;
    std::filesystem::path labelsFile;
    CRecordingFacade facade;
    CSfpAppData app;
    CFailingCardInstrument* instrument = nullptr;
    wxWeakRef<wxFrame> frame;
};

TEST_F(MainPanelTest, NonLivePanelShowsUnknownSlotAndAddressAndADarkLamp) {
    ASSERT_NE(Open(), nullptr);
    app.m_pInstrument = std::make_unique<CNonLiveInstrument>();
    app.m_indicatorColor = RGB(64, 64, 64);
    CMainPanelDlg* dlg = Reopen();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->m_pSlotField->m_strText, "Slot: U");
    EXPECT_EQ(dlg->m_pAddrField->m_strText, "Addr Unknown");
    ASSERT_TRUE(WaitUntilShown(dlg));
    ASSERT_TRUE(RunUntil([&] { return dlg->m_pLamp->PaintCount() > 0; }));
    const wxRect disc = ToWx(LampDisc(LampSquare(FromWx(wxRect(dlg->m_pLamp->GetClientSize())))));
    const wxImage lamp = dlg->m_pLamp->Picture().ConvertToImage();
    ASSERT_TRUE(lamp.IsOk());
    EXPECT_EQ(PixelAt(lamp, disc.x + disc.width / 2, disc.y + disc.height / 2), kDarkGrey);
}

TEST_F(MainPanelTest, LiveLampIsGreenAndTakenOnceWhenThePanelIsBuilt) {
    CMainPanelDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    app.m_indicatorColor = RGB(64, 64, 64); // a later change does not reach the open panel
    ASSERT_TRUE(WaitUntilShown(dlg));
    EXPECT_EQ(dlg->m_pLamp->m_crLamp, RGB(0, 255, 0));
    EXPECT_EQ(dlg->m_pLamp->m_crBack, RGB(192, 192, 192));
    ASSERT_TRUE(RunUntil([&] { return dlg->m_pLamp->PaintCount() > 0; }));
    const wxRect disc = ToWx(LampDisc(LampSquare(FromWx(wxRect(dlg->m_pLamp->GetClientSize())))));
    const wxImage lamp = dlg->m_pLamp->Picture().ConvertToImage();
    ASSERT_TRUE(lamp.IsOk());
    EXPECT_EQ(PixelAt(lamp, disc.x + disc.width / 2, disc.y + disc.height / 2), kGreen);
}

TEST_F(MainPanelTest, IdentificationTextsFitTheirFieldsWhole) {
    instrument->m_logicalAddress = 10914; // a GPIB connection shows the card
    instrument->m_card = 99;
    instrument->m_address = "GPIB-VXI0::255::INSTR";
    CMainPanelDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(dlg->m_pSlotField->m_strText, "Card: 99");
    ASSERT_EQ(dlg->m_pAddrField->m_strText, "GPIB-VXI0::255");
    // Inside its two-pixel edge, in the font the field draws with.
    wxBitmap bitmap(1, 1);
    wxMemoryDC dc(bitmap);
    dc.SetFont(StockSystemFont());
    auto fits = [&](const CDisplayField* field, const std::string& text) {
        const wxSize extent = dc.GetTextExtent(text);
        const wxSize inside = field->GetClientSize() - wxSize(2, 2);
        return extent.x <= inside.x && extent.y <= inside.y;
    };
    for (const char* text : {"Card: 99", "Slot: 12", "Slot: U"}) {
        EXPECT_TRUE(fits(dlg->m_pSlotField, text)) << text;
    }
    EXPECT_TRUE(fits(dlg->m_pAddrField, dlg->m_pAddrField->m_strText));
}

TEST_F(MainPanelTest, EveryItemGetsItsControlWithItsColours) {
    CMainPanelDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    const COLORREF shadow = PanelColor(kPanelShadow);
    const COLORREF highlight = PanelColor(kPanelHighlight);
    struct Field {
        CDisplayField* field;
        int item;
        COLORREF back;
        bool raised;
    };
    const Field fields[] = {
        {dlg->m_pHeader, IDC_HEADER, RGB(0, 128, 128), true},
        {dlg->m_pInfoStrip, IDC_INFO_STRIP, PanelColor(kPanelLightGrey), false},
        {dlg->m_pSlotField, IDC_SLOT, PanelColor(kPanelWhite), false},
        {dlg->m_pAddrField, IDC_ADDRESS, PanelColor(kPanelWhite), false},
        {dlg->m_pBody, IDC_BODY, RGB(192, 192, 192), true},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.item);
        ASSERT_NE(f.field, nullptr);
        EXPECT_EQ(f.field, TemplateItemWindow(dlg, f.item));
        EXPECT_EQ(f.field->GetId(), WxId(f.item));
        EXPECT_EQ(f.field->GetRect(), TemplateItemRect(dlg, f.item));
        EXPECT_EQ(f.field->m_crBack, f.back);
        EXPECT_EQ(f.field->m_crText, PanelColor(kPanelBlack));
        EXPECT_EQ(f.field->m_crEdge1, f.raised ? highlight : shadow);
        EXPECT_EQ(f.field->m_crEdge2, f.raised ? shadow : highlight);
        EXPECT_TRUE(f.field->m_strText.empty() == (f.item != IDC_SLOT && f.item != IDC_ADDRESS));
    }
    EXPECT_EQ(dlg->m_crHeader, RGB(0, 128, 128));
    EXPECT_EQ(dlg->m_pLamp, TemplateItemWindow(dlg, IDC_LAMP));
    ASSERT_EQ(dlg->m_pLogo, TemplateItemWindow(dlg, IDC_LOGO));
    ASSERT_EQ(dlg->m_pPnpLogo, TemplateItemWindow(dlg, IDC_PNP_LOGO));
    EXPECT_EQ(dlg->m_pLogo->m_nBitmapId, IDB_LOGO);
    EXPECT_EQ(dlg->m_pPnpLogo->m_nBitmapId, IDB_PNP_LOGO);
    EXPECT_EQ(dlg->m_pPanel, MainPanel());

    // On the screen: dark grey ground around the frames, the teal band, the light grey body.
    ASSERT_TRUE(WaitUntilShown(dlg));
    const wxImage picture = CaptureWindow(dlg);
    ASSERT_TRUE(picture.IsOk());
    const wxSize units = TemplateBaseUnits(dlg);
    auto at = [&](int x, int y) {
        const wxPoint p = DialogToPixels(units, x, y, 1, 1).GetPosition();
        return PixelAt(picture, p.x, p.y);
    };
    EXPECT_EQ(PixelAt(picture, 1, picture.GetHeight() / 2), kDarkGrey);
    EXPECT_EQ(PixelAt(picture, picture.GetWidth() - 2, picture.GetHeight() - 2), kDarkGrey);
    EXPECT_EQ(at(8, 14), kTeal);
    EXPECT_EQ(at(7, 120), kLightGrey);
}

TEST_F(MainPanelTest, SixGroupControlsInTwoColumnsWithTheirGroupsTypesPositionsAndLabels) {
    // A labels file that names group 3's pole and two of its channels.
    std::ofstream(labelsFile) << "BANK03[Relay A|a0|a1]\n";
    app.m_panels.push_back(std::make_unique<CPan1Obj>());
    app.m_panels.push_back(std::make_unique<CStatObj>());
    CPan1Obj* panel = MainPanel();
    const int types[6] = {0, 1, 2, 3, 4, 3};
    const int positions[6] = {11, 9, -1, 2, 5, 0};
    for (int g = 0; g < 6; ++g) {
        panel->m_nGroupType[g] = types[g];
        panel->m_nGroupPos[g] = positions[g];
    }
    CMainPanelDlg* dlg = Reopen();
    ASSERT_NE(dlg, nullptr);

    const int items[6] = {1045, 1044, 1046, 1052, 1050, 1051};
    for (int g = 0; g < 6; ++g) {
        SCOPED_TRACE(g);
        CGroupButton* group = dlg->m_pGroup[g];
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group, TemplateItemWindow(dlg, items[g]));
        EXPECT_EQ(group->GetRect(), TemplateItemRect(dlg, items[g]));
        EXPECT_EQ(group->m_nGroupIndex, g);
        EXPECT_EQ(group->m_bFirstOnTop, g < 3 ? 1 : 0);
        EXPECT_EQ(group->m_nType, types[g]);
        EXPECT_EQ(group->m_nPos, positions[g]);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(group->m_strLabel[k], panel->m_szLabels[g][k]);
        }
        EXPECT_EQ(group->m_strPole, panel->m_szLabels[g][6]);
    }
    EXPECT_EQ(dlg->m_pGroup[0]->m_strPole, "Com 0");
    EXPECT_EQ(dlg->m_pGroup[1]->m_strLabel[4], "14");
    EXPECT_EQ(dlg->m_pGroup[3]->m_strPole, "Relay A");
    EXPECT_EQ(dlg->m_pGroup[3]->m_strLabel[0], "a0");
    EXPECT_EQ(dlg->m_pGroup[3]->m_strLabel[1], "a1");
    EXPECT_EQ(dlg->m_pGroup[3]->m_strLabel[2], "32");

    // Left column 0, 1, 2 downwards; right column 5, 4, 3 downwards, so group 3 at the bottom right.
    auto place = [&](int g) { return dlg->m_pGroup[g]->GetPosition(); };
    EXPECT_EQ(place(0).x, place(1).x);
    EXPECT_EQ(place(1).x, place(2).x);
    EXPECT_EQ(place(3).x, place(4).x);
    EXPECT_EQ(place(4).x, place(5).x);
    EXPECT_LT(place(0).x, place(3).x);
    EXPECT_LT(place(0).y, place(1).y);
    EXPECT_LT(place(1).y, place(2).y);
    EXPECT_LT(place(5).y, place(4).y);
    EXPECT_LT(place(4).y, place(3).y);
    EXPECT_EQ(place(3).y, place(2).y);

    // Group 3's pole label is drawn: the picture differs from that of the default label.
    ASSERT_TRUE(WaitUntilShown(dlg));
    ASSERT_TRUE(RunUntil([&] { return dlg->m_pGroup[3]->PaintCount() > 0; }));
    const wxImage named = dlg->m_pGroup[3]->Picture().ConvertToImage();
    dlg->m_pGroup[3]->m_strPole = "Com 3";
    dlg->m_pGroup[3]->Refresh();
    dlg->m_pGroup[3]->Update();
    const wxImage plain = dlg->m_pGroup[3]->Picture().ConvertToImage();
    ASSERT_TRUE(named.IsOk() && plain.IsOk());
    EXPECT_NE(std::memcmp(named.GetData(), plain.GetData(), named.GetWidth() * named.GetHeight() * 3), 0);
}

TEST_F(MainPanelTest, FailingInstrumentCallEndsTheIdentificationAndIsReported) {
    ASSERT_NE(Open(), nullptr);
    instrument->m_logicalAddress = 10914; // a GPIB connection: the card number is asked for
    instrument->m_failCard = true;
    instrument->m_calls.clear();
    CMainPanelDlg* dlg = Reopen();
    ASSERT_NE(dlg, nullptr);
    // The time-out report: the device is cleared and the operator told.
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{LoadString(IDS_TIME_OUT)});
    EXPECT_EQ(Count("DeviceClear"), 1);
    // The slot field was made but got no text; the address field was never made.
    ASSERT_NE(dlg->m_pSlotField, nullptr);
    EXPECT_EQ(dlg->m_pSlotField->m_strText, "");
    EXPECT_EQ(dlg->m_pAddrField, nullptr);
    EXPECT_EQ(dynamic_cast<CDisplayField*>(TemplateItemWindow(dlg, IDC_ADDRESS)), nullptr);
    // The rest of the panel is built in any case.
    EXPECT_NE(dlg->m_pBody, nullptr);
    for (CGroupButton* group : dlg->m_pGroup) {
        EXPECT_NE(group, nullptr);
    }
}

TEST_F(MainPanelTest, NewTypesOnTheShownPanelReachTheControlsAndRunResetOnce) {
    CMainPanelDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(WaitUntilShown(dlg));
    int paints[6];
    for (int g = 0; g < 6; ++g) {
        paints[g] = dlg->m_pGroup[g]->PaintCount();
    }
    instrument->m_calls.clear();
    MainPanel()->SetGroupTypes({0, 1, 2, 3, 4, 3});
    const int types[6] = {0, 1, 2, 3, 4, 3};
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(dlg->m_pGroup[g]->m_nType, types[g]);
    }
    // One Reset: one card query, then every group reset in turn.
    const std::vector<std::string> reset = {
        "QueryCardType 1",    "QueryCardOption 1",     "SetAttenuation 0 0",    "SetAttenuation 1 0",
        "SetAttenuation 2 0", "OpenRouteList 130:133", "OpenRouteList 140:145", "OpenRouteList 150:153"};
    EXPECT_EQ(instrument->m_calls, reset);
    // The new positions reached the controls and every control was drawn again.
    const int expected[6] = {0, 0, 0, -1, -1, -1};
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(dlg->m_pGroup[g]->m_nPos, expected[g]);
        EXPECT_GT(dlg->m_pGroup[g]->PaintCount(), paints[g]) << "group " << g;
    }
    EXPECT_EQ(MainPanel()->m_pDlg, static_cast<CPanelWindow*>(dlg));

    // Group 0, drawn as an attenuator, becomes a switch: it shows its channel labels, not the steps.
    MainPanel()->SetGroupTypes({3, -1, -1, -1, -1, -1});
    EXPECT_EQ(dlg->m_pGroup[0]->m_strLabel[1], "01");
}

TEST_F(MainPanelTest, ShowGroupPositionsSetsEveryControlWithoutRepainting) {
    app.m_panels.push_back(std::make_unique<CPan1Obj>());
    app.m_panels.push_back(std::make_unique<CStatObj>());
    const int types[6] = {0, 1, 2, 3, 4, 3};
    for (int g = 0; g < 6; ++g) {
        MainPanel()->m_nGroupType[g] = types[g];
        MainPanel()->m_nGroupPos[g] = 1;
    }
    CMainPanelDlg* dlg = Reopen();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(WaitUntilShown(dlg));
    int paints[6];
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(dlg->m_pGroup[g]->m_nPos, 1);
        paints[g] = dlg->m_pGroup[g]->PaintCount();
    }
    dlg->ShowGroupPositions(EveryGroup(-1), {});
    PumpEvents(100);
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(dlg->m_pGroup[g]->m_nPos, -1);
        EXPECT_EQ(dlg->m_pGroup[g]->PaintCount(), paints[g]) << "group " << g << " was repainted";
    }
    // Through the main-panel object the same.
    MainPanel()->SetGroupPositions({3, 2, 1, 0, 5, 3});
    const int positions[6] = {3, 2, 1, 0, 5, 3};
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(dlg->m_pGroup[g]->m_nPos, positions[g]);
    }
    EXPECT_TRUE(instrument->m_calls.empty());
}

TEST_F(MainPanelTest, EnterEscapeAndBackgroundDoubleClickChangeNothing) {
    CMainPanelDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(WaitUntilShown(dlg));
    wxWeakRef<CMainPanelDlg> watched = dlg;
    int keysAtTheFrame = 0;
    frame->Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent& event) {
        ++keysAtTheFrame;
        event.Skip();
    });
    int commandsAtTheFrame = 0;
    frame->Bind(wxEVT_BUTTON, [&](wxCommandEvent& event) {
        ++commandsAtTheFrame;
        event.Skip();
    });
    const int before[6] = {dlg->m_pGroup[0]->m_nPos, dlg->m_pGroup[1]->m_nPos, dlg->m_pGroup[2]->m_nPos,
                           dlg->m_pGroup[3]->m_nPos, dlg->m_pGroup[4]->m_nPos, dlg->m_pGroup[5]->m_nPos};
    instrument->m_calls.clear();

    for (int key : {WXK_RETURN, WXK_NUMPAD_ENTER, WXK_ESCAPE}) {
        wxKeyEvent press(wxEVT_CHAR_HOOK);
        press.m_keyCode = key;
        press.SetEventObject(dlg);
        EXPECT_TRUE(dlg->ProcessWindowEvent(press)) << key;
    }
    for (int id : {wxID_OK, wxID_CANCEL}) {
        wxCommandEvent command(wxEVT_BUTTON, id);
        command.SetEventObject(dlg);
        EXPECT_TRUE(dlg->ProcessWindowEvent(command)) << id;
    }
    wxMouseEvent doubleClick(wxEVT_LEFT_DCLICK);
    doubleClick.SetPosition(wxPoint(1, 100));
    EXPECT_TRUE(dlg->ProcessWindowEvent(doubleClick));
    PumpEvents(100);

    EXPECT_EQ(keysAtTheFrame, 0) << "Enter and Escape end at the panel";
    EXPECT_EQ(commandsAtTheFrame, 0) << "OK and Cancel end at the panel";
    ASSERT_TRUE(watched);
    EXPECT_TRUE(dlg->IsShown());
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(MainPanel()->m_pDlg, static_cast<CPanelWindow*>(dlg));
    EXPECT_EQ(app.m_pActivePanel, MainPanel());
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(dlg->m_pGroup[g]->m_nPos, before[g]);
    }
    EXPECT_TRUE(instrument->m_calls.empty());
    EXPECT_TRUE(facade.m_messages.empty());

    // Other keys pass on as usual.
    wxKeyEvent other(wxEVT_CHAR_HOOK);
    other.m_keyCode = 'A';
    other.SetEventObject(dlg);
    dlg->ProcessWindowEvent(other);
    EXPECT_EQ(keysAtTheFrame, 1);
}

TEST_F(MainPanelTest, ClosingDeletesTheControlsInFieldOrderAndReopeningKeepsTheState) {
    CMainPanelDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    std::vector<int> deleted;
    wxWindow* controls[] = {dlg->m_pHeader,   dlg->m_pLamp,      dlg->m_pInfoStrip, dlg->m_pLogo,
                            dlg->m_pPnpLogo,  dlg->m_pSlotField, dlg->m_pAddrField, dlg->m_pBody,
                            dlg->m_pGroup[0], dlg->m_pGroup[1],  dlg->m_pGroup[2],  dlg->m_pGroup[3],
                            dlg->m_pGroup[4], dlg->m_pGroup[5]};
    for (wxWindow* control : controls) {
        ASSERT_NE(control, nullptr);
        control->Bind(wxEVT_DESTROY, [&deleted, control](wxWindowDestroyEvent& event) {
            if (event.GetEventObject() == control) {
                deleted.push_back(SystemNumber(control->GetId()));
            }
            event.Skip();
        });
    }
    wxWeakRef<CMainPanelDlg> watched = dlg;
    dlg->m_pGroup[4]->m_nPos = 2; // a click's new position, recorded in the panel object too
    MainPanel()->m_nGroupPos[4] = 2;
    MainPanel()->CloseDlg();
    PumpEvents(0);
    EXPECT_FALSE(watched);
    EXPECT_EQ(MainPanel()->m_pDlg, nullptr);
    const std::vector<int> order = {1000, 1004, 1006, 1002, 1001, 1010, 1011,
                                    1012, 1045, 1044, 1046, 1052, 1050, 1051};
    EXPECT_EQ(deleted, order);

    CMainPanelDlg* again = Reopen();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->m_pGroup[4]->m_nPos, 2);
}

} // namespace
