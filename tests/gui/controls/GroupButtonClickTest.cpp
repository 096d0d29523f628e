// Releases and double clicks on a group control, as synthetic mouse events at the centres of the drawn
// elements: the commands sent to the instrument, the positions kept, failures and the wait cursor.
#include <cstring>
#include <gtest/gtest.h>
#include <wx/frame.h>

#include "ControlsTestSupport.h"
#include "app/SfpAppData.h"
#include "controls/wx/GroupButton.h"
#include "panels/Pan1Obj.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

using Calls = std::vector<std::string>;

class GroupClick : public ::testing::Test {
protected:
    GroupClick() {
        auto instrument = std::make_unique<CScriptedInstrument>();
        m_instrument = instrument.get();
        m_app.m_pInstrument = std::move(instrument);
        auto panel = std::make_unique<CPan1Obj>();
        m_panel = panel.get();
        m_app.m_panels.push_back(std::move(panel));
        m_frame = new wxFrame(nullptr, wxID_ANY, "group");
        m_frame->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ++m_clicks; });
    }
    ~GroupClick() override { delete m_frame; }

    // A group control on the frame, drawn once so that its hit rectangles are known.
    CGroupButton* Make(int type, int group, int pos, int firstOnTop = 1) {
        auto* b = new CGroupButton(type, "Com", "a", "b", "c", "d", "e", "f", group, firstOnTop);
        b->Create(m_frame, 1045, wxPoint(0, 0), kGroupSize);
        b->SetPosition(pos);
        m_panel->m_nGroupPos[group] = pos;
        m_panel->m_nGroupType[group] = type;
        CPicture pic(kGroupSize);
        pic.Draw(*b);
        return b;
    }
    static void Send(CGroupButton* b, wxEventType type, const wxPoint& at) {
        wxMouseEvent e(type);
        e.SetPosition(at);
        e.SetEventObject(b);
        e.SetId(b->GetId());
        b->ProcessWindowEvent(e);
    }
    static void Release(CGroupButton* b, const wxPoint& at) {
        Send(b, wxEVT_LEFT_DOWN, at);
        Send(b, wxEVT_LEFT_UP, at);
    }

    CRecordingFacade m_facade;
    CSfpAppData m_app;
    CScriptedInstrument* m_instrument;
    CPan1Obj* m_panel;
    wxFrame* m_frame;
    int m_clicks = 0;
};

TEST_F(GroupClick, ContactClosesThenReclickOpensThenAnotherCloses) {
    CGroupButton* b = Make(3, 2, -1);
    Release(b, Centre(b->m_rcElem[3]));
    EXPECT_EQ(m_instrument->m_calls, (Calls{"CloseRoute 123"}));
    EXPECT_EQ(b->m_nPos, 3);
    EXPECT_EQ(m_panel->m_nGroupPos[2], 3);
    EXPECT_EQ(m_clicks, 1);

    Release(b, Centre(b->m_rcElem[3]));
    EXPECT_EQ(m_instrument->m_calls.back(), "OpenRoute 123");
    EXPECT_EQ(b->m_nPos, -1);
    EXPECT_EQ(m_panel->m_nGroupPos[2], -1);

    Release(b, Centre(b->m_rcElem[1]));
    EXPECT_EQ(m_instrument->m_calls.back(), "CloseRoute 121");
    EXPECT_EQ(m_instrument->m_calls.size(), 3u);
    EXPECT_EQ(m_facade.m_waitBegins, 3);
    EXPECT_EQ(m_facade.m_waitDepth, 0);
}

TEST_F(GroupClick, ChannelNumbersCarryCardAndGroup) {
    m_instrument->m_card = 12;
    CGroupButton* b = Make(4, 5, -1, 0);
    Release(b, Centre(b->m_rcElem[4]));
    EXPECT_EQ(m_instrument->m_calls, (Calls{"CloseRoute 1254"}));
}

TEST_F(GroupClick, PoleAdvancesAndWraps) {
    CGroupButton* b = Make(3, 1, -1);
    Release(b, Centre(b->m_rcPole));
    EXPECT_EQ(b->m_nPos, 0);
    b->SetPosition(3);
    Release(b, Centre(b->m_rcPole));
    EXPECT_EQ(m_instrument->m_calls, (Calls{"CloseRoute 110", "CloseRoute 110"}));
    EXPECT_EQ(b->m_nPos, 0);
    Release(b, Centre(b->m_rcPole));
    EXPECT_EQ(m_instrument->m_calls.back(), "CloseRoute 111");
}

TEST_F(GroupClick, AttenuatorStepsAreSentInDecibels) {
    CGroupButton* a = Make(0, 1, 0);
    Release(a, Centre(a->m_rcElem[7]));
    Release(a, Centre(a->m_rcElem[7])); // the selected step again: the same value, same position
    EXPECT_EQ(a->m_nPos, 7);
    CGroupButton* b = Make(1, 4, 9);
    Release(b, Centre(b->m_rcElem[6]));
    b->SetPosition(9);
    Release(b, Centre(b->m_rcPole)); // 90 dB advances to 0 dB
    CGroupButton* c = Make(2, 0, 0);
    Release(c, Centre(c->m_rcElem[7]));
    Release(c, Centre(c->m_rcElem[9])); // a position the type lacks is no element
    EXPECT_EQ(m_instrument->m_calls, (Calls{"SetAttenuation 1 7", "SetAttenuation 1 7", "SetAttenuation 4 60",
                                            "SetAttenuation 4 0", "SetAttenuation 0 70"}));
    EXPECT_EQ(m_panel->m_nGroupPos[4], 0);
    EXPECT_EQ(m_panel->m_nGroupPos[0], 7);
    EXPECT_EQ(c->m_nPos, 7);
}

TEST_F(GroupClick, ClickOutsideTheElementsSendsNothing) {
    CGroupButton* b = Make(3, 0, 2);
    Release(b, wxPoint(kGroupSize.x / 2, 1));
    EXPECT_TRUE(m_instrument->m_calls.empty());
    EXPECT_EQ(b->m_nPos, 2);
    EXPECT_EQ(m_panel->m_nGroupPos[0], 2);
    EXPECT_EQ(m_facade.m_waitDepth, 0);
    EXPECT_EQ(m_clicks, 1); // still a button click for the parent
}

TEST_F(GroupClick, TimeOutRestoresThePositionOtherFailuresReadTheGroupBack) {
    CGroupButton* b = Make(3, 0, 1);
    m_instrument->FailOn("CloseRoute", kStatusTimeOut);
    Release(b, Centre(b->m_rcElem[2]));
    EXPECT_EQ(b->m_nPos, 1);
    EXPECT_EQ(m_panel->m_nGroupPos[0], 1);
    EXPECT_EQ(m_facade.m_messages.size(), 1u);
    EXPECT_EQ(m_facade.m_waitDepth, 0);
    EXPECT_EQ(m_clicks, 0); // a failed release is not passed on

    // Any other failure: after the report the group is read back and shows what the module holds.
    m_instrument->FailOn("CloseRoute", VI_ERROR_RSRC_NFOUND); // not a time-out
    m_instrument->m_readPositions = {0, -1, -1, -1, -1, -1};
    Release(b, Centre(b->m_rcElem[3]));
    EXPECT_EQ(b->m_nPos, 0);
    EXPECT_EQ(m_panel->m_nGroupPos[0], 0);
    EXPECT_EQ(m_facade.m_messages.size(), 2u);
    EXPECT_EQ(m_facade.m_waitDepth, 0);
    // The time-out was reported after a device clear and a look at the error queue, and asked nothing
    // more of the module.
    EXPECT_EQ(m_instrument->m_calls, (Calls{"CloseRoute 102", "DeviceClear", "ErrorQuery", "CloseRoute 103",
                                            "QueryClosedList 100:103"}));

    CGroupButton* a = Make(1, 3, 2);
    m_instrument->FailOn("SetAttenuation", kStatusTimeOut);
    Release(a, Centre(a->m_rcElem[5]));
    EXPECT_EQ(a->m_nPos, 2);
    EXPECT_EQ(m_instrument->m_calls[m_instrument->m_calls.size() - 3], "SetAttenuation 3 50");
    EXPECT_EQ(m_instrument->m_calls.back(), "ErrorQuery");
}

TEST_F(GroupClick, NegativeTypesIgnoreClicks) {
    CGroupButton* b = Make(3, 0, 1);
    const wxPoint contact = Centre(b->m_rcElem[2]);
    const wxPoint pole = Centre(b->m_rcPole);
    for (int type : {-1, -2, -3}) {
        b->SetType(type);
        Release(b, contact);
        Release(b, pole);
        Send(b, wxEVT_LEFT_DCLICK, pole);
        Send(b, wxEVT_LEFT_UP, pole);
    }
    EXPECT_TRUE(m_instrument->m_calls.empty());
    EXPECT_EQ(b->m_nPos, 1);
    EXPECT_EQ(m_facade.m_waitDepth, 0);
}

TEST_F(GroupClick, DoubleClickOnThePoleAdvancesTwiceWithOneWaitCursor) {
    CGroupButton* b = Make(4, 3, -1, 0);
    const wxPoint pole = Centre(b->m_rcPole);
    Send(b, wxEVT_LEFT_DOWN, pole);
    Send(b, wxEVT_LEFT_UP, pole);
    Send(b, wxEVT_LEFT_DCLICK, pole);
    EXPECT_EQ(b->m_bDblClk, 1);
    Send(b, wxEVT_LEFT_UP, pole);
    EXPECT_EQ(m_instrument->m_calls, (Calls{"CloseRoute 130", "CloseRoute 131"}));
    EXPECT_EQ(b->m_nPos, 1);
    EXPECT_EQ(b->m_bDblClk, 0);
    EXPECT_EQ(m_facade.m_waitBegins, 1); // the second release shows no wait cursor
    EXPECT_EQ(m_facade.m_waitDepth, 0);

    // A double click elsewhere is an ordinary press; its release is an ordinary click.
    Send(b, wxEVT_LEFT_DCLICK, Centre(b->m_rcElem[4]));
    EXPECT_EQ(b->m_bDblClk, 0);
    Send(b, wxEVT_LEFT_UP, Centre(b->m_rcElem[4]));
    EXPECT_EQ(m_instrument->m_calls.back(), "CloseRoute 134");
    EXPECT_EQ(m_facade.m_waitBegins, 2);

    // A failure on the second release clears the double click and leaves the wait cursor balanced.
    m_instrument->FailOn("CloseRoute", VI_ERROR_SYSTEM_ERROR);
    Send(b, wxEVT_LEFT_DCLICK, pole);
    Send(b, wxEVT_LEFT_UP, pole);
    EXPECT_EQ(b->m_bDblClk, 0);
    EXPECT_EQ(m_facade.m_waitDepth, 0);
}

TEST_F(GroupClick, NoCommandBeforeTheFirstDrawing) {
    auto* b = new CGroupButton(3, "Com 0", "00", "01", "02", "03", nullptr, nullptr, 0, 1);
    b->Create(m_frame, wxID_ANY, wxPoint(0, 0), kGroupSize);
    Release(b, wxPoint(100, 10));
    Release(b, wxPoint(10, 35));
    EXPECT_TRUE(m_instrument->m_calls.empty());
    EXPECT_EQ(b->m_nPos, -1);
}

TEST(GroupControl, SetPositionRefusesValuesBeyondTheType) {
    CGroupButton b(3, "Com 0", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 1);
    b.SetPosition(2);
    b.SetPosition(5);
    EXPECT_EQ(b.m_nPos, 2);
    b.SetPosition(-1);
    EXPECT_EQ(b.m_nPos, -1);
    b.SetPosition(4);
    EXPECT_EQ(b.m_nPos, -1);
    // A position left over from another type becomes 0 when a value beyond the type is refused.
    b.SetType(4);
    b.SetPosition(5);
    b.SetType(3);
    b.SetPosition(9);
    EXPECT_EQ(b.m_nPos, 0);
    // A type without elements takes any position.
    b.SetType(-3);
    b.SetPosition(40);
    EXPECT_EQ(b.m_nPos, 40);
    EXPECT_EQ(b.m_strLabel[0], "");
    b.SetType(2);
    EXPECT_EQ(b.PositionCount(), 8);
}

TEST(GroupControl, SetLabelsTakesSevenFields) {
    CGroupButton b(3, "Com 0", "00", "01", "02", "03", "04", "05", 0, 1);
    char labels[kLabelsPerBank][kLabelSize] = {"In", "Out", "", "A", "B", "C", "Com 00"};
    std::memcpy(labels[5], "12345678", 8); // a full field without terminator
    b.SetLabels(labels);
    EXPECT_EQ(b.m_strLabel[0], "In");
    EXPECT_EQ(b.m_strLabel[2], "");
    EXPECT_EQ(b.m_strLabel[5], "12345678");
    EXPECT_EQ(b.m_strPole, "Com 00");
}

} // namespace
