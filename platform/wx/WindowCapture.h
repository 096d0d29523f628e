// Pictures of windows as they stand on the screen.
#pragma once

#include <functional>
#include <set>
#include <wx/event.h>
#include <wx/image.h>
#include <wx/string.h>
#include <wx/timer.h>

class wxWindow;

// The top-level window with its menu bar and client area, read back from the screen after every
// pending paint has been done. An invalid image when the window is not shown.
wxImage CaptureWindow(wxWindow* window);

// Saves a top-level window as a PNG as soon as it has really been painted: every window inside it that
// the program draws itself (not the toolkit's own controls) must have had a paint event, and then an
// idle moment must pass in which flushing what is pending and waiting for the X server brings no
// further paint. Painting comes in waves, as the toolkit lays out and the server exposes the windows
// one by one; a fixed wait would be either too long or too short. When the window is not painted
// within the time limit it saves what the screen shows, so it never waits without bound. When the
// window is destroyed first, nothing is saved and Done is not called.
class CPaintedWindowSaver : public wxEvtHandler {
public:
    // Called once, after the attempt, with whether the file was written.
    using Done = std::function<void(bool saved)>;

    CPaintedWindowSaver(wxWindow* top, const wxString& file, Done done, int limitMs = 5000);
    ~CPaintedWindowSaver() override;

private:
    // Watches the paints of the window and its descendants; true when every one the program draws
    // itself has been painted.
    bool WatchAndCheck(wxWindow* window);
    void OnIdle(wxIdleEvent& event);
    void Save();

    wxWindow* m_top;
    wxString m_file;
    Done m_done;
    int m_limitMs;
    wxTimer m_limit;
    std::set<wxWindow*> m_watched;
    std::set<wxWindow*> m_painted;
    long m_paints = 0;
    long m_paintsSeen = 0;
    bool m_finished = false;
};
