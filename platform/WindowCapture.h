// Pictures of windows as they stand on the screen.
#pragma once

#include <functional>
#include <wx/event.h>
#include <wx/image.h>
#include <wx/string.h>
#include <wx/timer.h>

class wxWindow;

// The top-level window with its menu bar and client area, read back from the screen after every
// pending paint has been done. An invalid image when the window is not shown.
wxImage CaptureWindow(wxWindow* window);

// Saves a top-level window as a PNG as soon as it has really been painted: it counts the paint events
// of the window and of every window inside it (as they stand when the watch starts), and takes the
// picture at the first idle moment after a paint that brings no further paint once everything pending
// has been painted and the X server has caught up. Painting comes in waves, as the server exposes the
// windows one by one; a fixed wait would be either too long or too short. When nothing is painted
// within the time limit it saves what the screen shows, so it never waits without bound.
class CPaintedWindowSaver : public wxEvtHandler {
public:
    // Called once, after the attempt, with whether the file was written.
    using Done = std::function<void(bool saved)>;

    CPaintedWindowSaver(wxWindow* top, const wxString& file, Done done, int limitMs = 5000);
    ~CPaintedWindowSaver() override;

private:
    void Watch(wxWindow* window);
    void OnIdle(wxIdleEvent& event);
    void Save();

    wxWindow* m_top;
    wxString m_file;
    Done m_done;
    int m_limitMs;
    wxTimer m_limit;
    long m_paints = 0;
    long m_paintsSeen = 0;
    bool m_finished = false;
};
