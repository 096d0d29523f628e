// End to end with the real pointer: a group control in a shown frame, clicked through the X server.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/stopwatch.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "ControlsTestSupport.h"
#include "app/SfpAppData.h"
#include "controls/GroupButton.h"
#include "panels/Pan1Obj.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

// Runs the event loop until the condition holds or five seconds pass.
template <typename F>
bool RunUntil(F condition) {
    wxStopWatch watch;
    while (!condition()) {
        if (watch.Time() > 5000) {
            return false;
        }
        wxYield();
        wxMilliSleep(10);
    }
    return true;
}

TEST(GroupPointer, RealClicksOperateTheGroupAndRepaintIt) {
    CRecordingFacade facade;
    CSfpAppData app;
    auto instrument = std::make_unique<CScriptedInstrument>();
    CScriptedInstrument* calls = instrument.get();
    app.m_pInstrument = std::move(instrument);
    auto panel = std::make_unique<CPan1Obj>();
    CPan1Obj* pan1 = panel.get();
    app.m_panels.push_back(std::move(panel));

    auto* frame = new wxFrame(nullptr, wxID_ANY, "group", wxPoint(50, 50), wxSize(300, 200));
    auto* group = new CGroupButton(3, "Com 2", "20", "21", "22", "23", "24", "25", 2, 1);
    ASSERT_TRUE(group->Create(frame, 1046, wxPoint(20, 20), kGroupSize));
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(RunUntil([&] { return group->PaintCount() > 0; })) << "the control was never painted";
    ASSERT_FALSE(group->m_rcElem[2].IsEmpty());

    wxUIActionSimulator pointer;
    const wxPoint contact = group->ClientToScreen(Centre(group->m_rcElem[2]));
    pointer.MouseMove(contact);
    // The pointer must stand on the element before the button goes down (a loaded X server is slow).
    ASSERT_TRUE(RunUntil([&] { return wxGetMousePosition() == contact; }));
    pointer.MouseClick();
    ASSERT_TRUE(RunUntil([&] { return !calls->m_calls.empty(); })) << "the click never arrived";
    EXPECT_EQ(calls->m_calls, (std::vector<std::string>{"CloseRoute 122"}));
    EXPECT_EQ(pan1->m_nGroupPos[2], 2);
    // The release repainted the control: contact 2 and the pole are now yellow.
    ASSERT_TRUE(RunUntil([&] {
        const wxImage img = group->Picture().ConvertToImage();
        return At(img, Centre(group->m_rcElem[2])) == kYellowPx;
    }));
    EXPECT_EQ(At(group->Picture().ConvertToImage(), Centre(group->m_rcPole)), kYellowPx);

    // A double click on the pole advances twice.
    const wxPoint pole = group->ClientToScreen(Centre(group->m_rcPole));
    pointer.MouseMove(pole);
    ASSERT_TRUE(RunUntil([&] { return wxGetMousePosition() == pole; }));
    pointer.MouseDblClick();
    ASSERT_TRUE(RunUntil([&] { return calls->m_calls.size() >= 3; }));
    EXPECT_EQ(calls->m_calls[1], "CloseRoute 123");
    EXPECT_EQ(calls->m_calls[2], "CloseRoute 120");
    EXPECT_EQ(group->m_nPos, 0);
    EXPECT_EQ(facade.m_waitDepth, 0);
    frame->Destroy();
    wxYield();
}

TEST(GroupPointer, GroupWithoutTypeShowsTheWindowBehindIt) {
    // The drawing leaves the area of a group of no known type untouched: the panel's ground shows.
    auto* frame = new wxFrame(nullptr, wxID_ANY, "group", wxPoint(50, 50), wxSize(300, 200));
    frame->SetBackgroundColour(wxColour(64, 64, 64));
    auto* group = new CGroupButton(-3, "Com 0", "00", "01", "02", "03", "04", "05", 0, 1);
    ASSERT_TRUE(group->Create(frame, 1045, wxPoint(20, 20), kGroupSize));
    frame->Show();
    ASSERT_TRUE(RunUntil([&] { return group->PaintCount() > 0; }));
    const wxImage picture = group->Picture().ConvertToImage();
    EXPECT_EQ(At(picture, wxPoint(kGroupSize.x / 2, kGroupSize.y / 2)), kDarkGreyPx);
    EXPECT_EQ(At(picture, wxPoint(0, 0)), kDarkGreyPx);
    frame->Destroy();
    wxYield();
}

} // namespace
