// Helpers of the application's GUI tests: running the wx event queue and reading the screen.
#pragma once

#include <wx/colour.h>
#include <wx/image.h>
#include <wx/stopwatch.h>

#include "tests/support/RecordingFacade.h"

class wxWindow;

// Handles pending events, idle processing (which deletes destroyed top-level windows) and X events
// for about the given time.
void PumpEvents(int milliseconds = 50);
// Shows the window's top-level parent and waits until it stands on the screen.
bool WaitUntilShown(wxWindow* window);
// Handles events until the condition holds, for at most ten seconds; whether it held.
template <typename F>
bool RunUntil(F condition) {
    wxStopWatch watch;
    while (!condition()) {
        if (watch.Time() > 10000) {
            return false;
        }
        PumpEvents(10);
    }
    return true;
}
// The colour of one pixel of an image.
wxColour PixelAt(const wxImage& image, int x, int y);

// A recording facade whose DestroyMainWindow also destroys the application's top window, as the real
// one does.
class CDestroyingFacade : public CRecordingFacade {
public:
    void DestroyMainWindow() override;
};
