// The facade's progress window: shown over the main window, which it keeps disabled, and a real click on
// its Cancel made while the work is busy is seen by the next report.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/progdlg.h>
#include <wx/stopwatch.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "platform/wx/WxFacade.h"

TEST(ProgressWindow, CancelClickedWhileTheWorkIsBusyEndsItAtTheNextReport) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(50, 50), wxSize(400, 400));
    wxTheApp->SetTopWindow(frame);
    frame->Show();
    CWxFacade facade;
    ASSERT_TRUE(facade.ShowProgress("Searching for the module: resource 2 of 30, GPIB0::2::INSTR", 1, 30));
    wxProgressDialog* window = facade.ProgressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetParent(), frame);
    EXPECT_EQ(window->GetMessage(), "Searching for the module: resource 2 of 30, GPIB0::2::INSTR");
    EXPECT_FALSE(frame->IsEnabled());
    EXPECT_EQ(ModalDepth(), 1);

    wxWindow* cancel = window->FindWindow(wxID_CANCEL);
    ASSERT_NE(cancel, nullptr);
    wxStopWatch watch;
    while (!cancel->IsShownOnScreen() && watch.Time() < 5000) {
        facade.ShowProgress("Searching for the module: resource 2 of 30, GPIB0::2::INSTR", 1, 30);
        wxMilliSleep(10);
    }
    // The click goes to the X server while the work is busy (no events are handled here) ...
    wxUIActionSimulator pointer;
    const wxPoint contact = cancel->GetScreenRect().GetPosition() + cancel->GetSize() / 2;
    pointer.MouseMove(contact);
    pointer.MouseClick();
    // ... and a later report handles it: the work is told to stop.
    bool goOn = true;
    for (watch.Start(); goOn && watch.Time() < 5000; wxMilliSleep(20)) {
        goOn = facade.ShowProgress("Searching for the module: resource 3 of 30, GPIB0::3::INSTR", 2, 30);
    }
    EXPECT_FALSE(goOn) << "the click on Cancel was never seen";

    facade.EndProgress();
    EXPECT_EQ(facade.ProgressWindow(), nullptr);
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_EQ(ModalDepth(), 0);
    frame->Destroy();
    wxYield();
}
