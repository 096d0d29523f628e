// A bare wxWidgets frame of the main window's size with a small menu, started and saved the way the
// program's --screenshot run is (as soon as it has been painted): the yardstick for the program's
// start-up time.
#include <memory>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/menu.h>

#include "platform/wx/StartupClock.h"
#include "platform/wx/WindowCapture.h"

namespace {

class CBareFrameApp : public wxApp {
public:
    bool OnInit() override {
        ReportStartupClock("init");
        wxInitAllImageHandlers();
        const wxString file = argc > 1 ? argv[1] : wxString("/tmp/bare-frame.png");
        auto* frame = new wxFrame(nullptr, wxID_ANY, "RQK4712V", wxDefaultPosition, wxSize(402, 404),
                                  wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX);
        auto* bar = new wxMenuBar();
        auto* menu = new wxMenu();
        menu->Append(wxID_EXIT, "E&xit");
        bar->Append(menu, "&System");
        frame->SetMenuBar(bar);
        frame->Centre();
        frame->Show();
        ReportStartupClock("window");
        m_saver = std::make_unique<CPaintedWindowSaver>(frame, file, [frame](bool) { frame->Destroy(); });
        return true;
    }
    int OnExit() override {
        m_saver.reset();
        return wxApp::OnExit();
    }

private:
    std::unique_ptr<CPaintedWindowSaver> m_saver;
};

} // namespace

wxIMPLEMENT_APP(CBareFrameApp);
