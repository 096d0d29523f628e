// End to end with the real pointer: a group control in a shown frame, clicked through the X server; once
// through the real driver and the simulated module.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ControlsTestSupport.h"
#include "app/SfpAppData.h"
#include "controls/wx/GroupButton.h"
#include "instrument/DriverInstrument.h"
#include "panels/Pan1Obj.h"
#include "panels/PanelLookup.h"
#include "tests/integration/instrument/SimulatedBench.h"
#include "tests/support/GuiTestHelpers.h"
#include "tests/support/RecordingFacade.h"
#include "tests/support/ScriptedInstrument.h"

namespace {

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

#if defined(DRIVER_PATH)
// The closed channel of each group of the module's card 1, from the simulated module's state file.
std::vector<int> ClosedChannels(const std::filesystem::path& stateFolder) {
    for (const auto& entry : std::filesystem::directory_iterator(stateFolder)) {
        if (entry.path().extension() != ".state") {
            continue;
        }
        std::ifstream file(entry.path());
        for (std::string line; std::getline(file, line);) {
            std::istringstream words(line);
            std::string word;
            while (words >> word && word != "closed") {
            }
            std::vector<int> closed(6);
            if (words >> closed[0] >> closed[1] >> closed[2] >> closed[3] >> closed[4] >> closed[5]) {
                return closed;
            }
        }
    }
    return {};
}

TEST(GroupPointer, AFailedClickShowsWhatTheModuleHolds) {
    // The module refuses the second close command; the driver reports the error it queued.
    CSimulatedBench bench("sfp-group-pointer");
    ASSERT_TRUE(bench.Made());
    bench.Use(R"(resources:
  - name: VXI0::112::INSTR
    module:
      card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}
    faults:
      commands:
        - {header: "ROUT:CLOS", action: error, when: 2}
)");
    CRecordingFacade facade;
    CSfpAppData app;
    app.m_cardNumber = 1;
    CDynamicLibrary library;
    ASSERT_TRUE(library.Load(DRIVER_PATH));
    DriverSession session = 0;
    char name[] = "VXI0::112::INSTR";
    ASSERT_EQ(library.Function<DriverInitFn>("rqk4712v_init")(name, 0, 0, &session), 0);
    library.Function<DriverTimeOutFn>("rqk4712v_timeOut")(session, 2000);
    library.Function<DriverErrorQueryDetectFn>("rqk4712v_errorQueryDetect")(session, 1);
    app.m_pInstrument = std::make_unique<CDriverInstrument>(session, library);
    app.m_panels.push_back(std::make_unique<CPan1Obj>());
    CPan1Obj* pan1 = FindMainPanel();
    pan1->m_nGroupType[3] = 3;

    auto* frame = new wxFrame(nullptr, wxID_ANY, "group", wxPoint(50, 50), wxSize(300, 200));
    auto* group = new CGroupButton(3, "Com 3", "30", "31", "32", "33", "34", "35", 3, 0);
    auto* fresh = new CGroupButton(3, "Com 3", "30", "31", "32", "33", "34", "35", 3, 0);
    ASSERT_TRUE(group->Create(frame, 1052, wxPoint(10, 10), kGroupSize));
    ASSERT_TRUE(fresh->Create(frame, wxID_ANY, wxPoint(10, 100), kGroupSize));
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(RunUntil([&] { return group->PaintCount() > 0 && fresh->PaintCount() > 0; }));

    wxUIActionSimulator pointer;
    auto click = [&](int contact) {
        const wxPoint at = group->ClientToScreen(Centre(group->m_rcElem[contact]));
        pointer.MouseMove(at);
        ASSERT_TRUE(RunUntil([&] { return wxGetMousePosition() == at; }));
        pointer.MouseClick();
    };
    click(1);
    ASSERT_TRUE(RunUntil([&] { return pan1->m_nGroupPos[3] == 1; })) << "the first click never arrived";
    click(2);
    ASSERT_TRUE(RunUntil([&] { return !facade.m_messages.empty(); })) << "the failure was not reported";
    EXPECT_EQ(facade.m_messages, std::vector<std::string>{"Instrument reports error: -240  Hardware error"});

    // The module still has channel 1 closed; the control, redrawn as when the error box closes, and the
    // main-panel object show it.
    const std::vector<int> closed = ClosedChannels(bench.Folder() / "state");
    ASSERT_EQ(closed.size(), 6u) << "no state file";
    EXPECT_EQ(closed[3], 1);
    EXPECT_EQ(pan1->m_nGroupPos[3], closed[3]);
    fresh->SetPosition(closed[3]);
    const int paints = group->PaintCount();
    const int freshPaints = fresh->PaintCount();
    group->Refresh();
    fresh->Refresh();
    ASSERT_TRUE(RunUntil([&] { return group->PaintCount() > paints && fresh->PaintCount() > freshPaints; }));
    const wxImage shown = group->Picture().ConvertToImage();
    const wxImage expected = fresh->Picture().ConvertToImage();
    ASSERT_EQ(shown.GetSize(), expected.GetSize());
    EXPECT_EQ(
        std::memcmp(shown.GetData(), expected.GetData(),
                    3u * static_cast<size_t>(shown.GetWidth()) * static_cast<size_t>(shown.GetHeight())),
        0)
        << "the picture differs from a fresh drawing of the module's state";
    EXPECT_EQ(facade.m_waitDepth, 0);
    frame->Destroy();
    wxYield();
}
#endif

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
