// The unattended picture of a window whose start-up fails: the window goes away before it was painted.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>

#include "platform/wx/WindowCapture.h"
#include "tests/support/GuiTestHelpers.h"

TEST(PaintedWindowSaver, AWindowDestroyedBeforeItsPictureLeavesNothingToSave) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(50, 50), wxSize(200, 150));
    frame->Show();
    int calls = 0;
    CPaintedWindowSaver saver(frame, "/nonexistent/picture.png", [&calls](bool) { ++calls; });
    frame->Destroy();
    PumpEvents(300); // the saver sees idle time after the window is gone
    EXPECT_EQ(calls, 0);
}
