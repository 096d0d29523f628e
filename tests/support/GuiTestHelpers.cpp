#include "tests/support/GuiTestHelpers.h"

#include <wx/app.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>
#include <wx/window.h>

void PumpEvents(int milliseconds) {
    wxStopWatch watch;
    do {
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    } while (watch.Time() < milliseconds);
}

bool WaitUntilShown(wxWindow* window) {
    wxWindow* top = wxGetTopLevelParent(window);
    top->Show();
    for (int i = 0; i < 100 && !top->IsShownOnScreen(); ++i) {
        PumpEvents(10);
    }
    PumpEvents(200);
    top->Update();
    return top->IsShownOnScreen();
}

wxColour PixelAt(const wxImage& image, int x, int y) {
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

void CDestroyingFacade::DestroyMainWindow() {
    CRecordingFacade::DestroyMainWindow();
    if (wxWindow* top = wxTheApp->GetTopWindow()) {
        top->Destroy();
    }
}
