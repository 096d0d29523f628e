// A bare wxWidgets frame of the main window's size with a small menu, started and saved the way the
// program's --screenshot run is: the yardstick for the program's start-up time.
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/timer.h>

#include "platform/StartupClock.h"
#include "platform/WindowCapture.h"

namespace {

class CBareFrameApp : public wxApp {
public:
    bool OnInit() override {
        wxInitAllImageHandlers();
        m_file = argc > 1 ? argv[1] : wxString("/tmp/bare-frame.png");
        auto* frame = new wxFrame(nullptr, wxID_ANY, "RQK4712V", wxDefaultPosition, wxSize(402, 404),
                                  wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX);
        auto* bar = new wxMenuBar();
        auto* menu = new wxMenu();
        menu->Append(wxID_EXIT, "E&xit");
        bar->Append(menu, "&System");
        frame->SetMenuBar(bar);
        frame->Centre();
        frame->Show();
        m_timer.SetOwner(this);
        Bind(wxEVT_IDLE, &CBareFrameApp::OnIdle, this);
        Bind(wxEVT_TIMER, &CBareFrameApp::OnTimer, this);
        return true;
    }

private:
    void OnIdle(wxIdleEvent& event) {
        event.Skip();
        wxWindow* top = GetTopWindow();
        if (m_armed || top == nullptr || !top->IsShownOnScreen()) {
            return;
        }
        m_armed = true;
        ReportStartupClock();
        m_timer.StartOnce(400);
    }
    void OnTimer(wxTimerEvent&) {
        wxWindow* top = GetTopWindow();
        CaptureWindow(top).SaveFile(m_file, wxBITMAP_TYPE_PNG);
        top->Destroy();
    }

    wxString m_file;
    wxTimer m_timer;
    bool m_armed = false;
};

} // namespace

wxIMPLEMENT_APP(CBareFrameApp);
